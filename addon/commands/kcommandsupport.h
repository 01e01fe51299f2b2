#pragma once

#include <kcommand.h>
#include <kxmainwindow.h>

#include <QString>
#include <QVariant>

// What the add-on's commands share: their host window, the document it shows, the
// component and the copy a clone starts from.
namespace kcommandsupport {

KxMainWindow *mainWindowOf(const KCommand *command);
// Whether the command's window shows a document now.
bool hasActiveDocument(const KCommand *command);
// The application name compared without case ("vyx", "vyd", "qz", "pdf").
bool isComponent(const char *name);
// The legacy picture: "<appdata>/brindlex/dudevu6/tavro/ktavroimage.png", where appdata is
// the variable of that name, else the user's data folder. The folder is the picture's own:
// the picture thread empties it before every run.
QString legacyImagePath();
// Where a window for the given main window goes: over it, or over the screen's available
// area when the screen is smaller than 1024 x 770.
QRect placementFor(const QWidget *mainWindow);

// A command of the same class for another host, with the source's host-side properties.
template <class Command>
KCommand *cloneOf(const Command *source, QObject *host, const QVariant &argument)
{
    auto *window = static_cast<KxMainWindow *>(KxMainWindow::staticMetaObject.cast(host));
    if (!window)
        return nullptr;
    auto *copy = new Command(window, argument);
    source->copyProperties(copy);
    return copy;
}

} // namespace kcommandsupport
