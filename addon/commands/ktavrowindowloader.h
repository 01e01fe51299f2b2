#pragma once

class KTavroWindowApi;
class QWidget;

// Loads the tool window's module on first use, beside the add-on's own module (or the
// file named by $KTAVRO_TAVROWINDOW_MODULE), and makes windows through its factory.
namespace ktavrowindowloader {
// Null, with a warning, when the module or its factory cannot be found.
KTavroWindowApi *create(QWidget *mainWindow);
} // namespace ktavrowindowloader
