#pragma once

#include <QString>

#include <functional>

class QWidget;

// The host's editing commands on the active document of a main window, added to the host's
// command table (KHostCommands) by install():
//   "InsertPictureFromFile": argument the picture's path; without one the user picks it.
namespace kwritercommands {
void install();

// Asks the user for a picture; the file dialog unless replaced (tests). Empty: cancelled.
using PictureChooser = std::function<QString(QWidget *parent)>;
void setPictureChooser(PictureChooser chooser);
} // namespace kwritercommands
