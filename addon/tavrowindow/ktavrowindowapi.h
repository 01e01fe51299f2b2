#pragma once

#include <QRect>
#include <QString>

class QWidget;

// The legacy tool window as the commands see it. The window lives in its own module
// (libktavro_tavrowindow.so) so that the add-on itself never loads the web engine.
class KTavroWindowApi
{
public:
    virtual ~KTavroWindowApi() = default;
    virtual QWidget *widget() = 0;
    // Places and shows the window, loads its page and has the legacy picture made at
    // picturePath; posts it to the sharing service when upload is set. With wait set it
    // returns once the picture is made (true when it was), else at once (true when the
    // work started).
    virtual bool showWithPicture(const QRect &rect, const QString &picturePath, bool upload, bool wait) = 0;
};

// The one function the module exports: a new window, deleted on close, for a main window.
extern "C" {
typedef KTavroWindowApi *(*KTavroWindowFactoryFn)(QWidget *mainWindow);
}
#define KTAVRO_WINDOW_FACTORY "KTavroWindowCreate"
