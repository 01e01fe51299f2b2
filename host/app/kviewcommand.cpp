#include "kviewcommand.h"

#include "kcommandreport.h"
#include "kpictureviewer.h"
#include "ksignals.h"

#include <kpathtext.h>

#include <QApplication>

#include <cstdio>

using kpathtext::printable;

namespace kviewcommand {

namespace {

using namespace kcommandreport;

struct Request
{
    QString file;
    bool help = false;
    QString error;
};

Request parse(const QStringList &arguments)
{
    Request request;
    QStringList positional;
    bool optionsEnded = false;
    for (const QString &argument : arguments) {
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument.size() == 1)
            positional.append(argument);
        else if (argument == QLatin1String("--"))
            optionsEnded = true;
        else if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            request.help = true;
        else if (argument.startsWith(QLatin1String("-src="))) // who asked; nothing depends on it
            continue;
        else
            request.error = QCoreApplication::translate("KViewCommand", "Unknown option '%1'.").arg(printable(argument));
    }
    if (request.error.isEmpty() && !request.help && positional.size() != 1)
        request.error = QCoreApplication::translate("KViewCommand", "Name one picture file.");
    request.file = positional.value(0);
    return request;
}

} // namespace

QString usage()
{
    return QCoreApplication::translate("KViewCommand", "Usage: brindlex view FILE\n"
                                                       "Shows a picture: 0 fits it to the window, 1 shows it at 100 %, + and - zoom,\n"
                                                       "Ctrl+wheel zooms at the pointer, arrows, Page Up/Down, Home and End scroll.\n");
}

int run(const QStringList &arguments)
{
    const Request request = parse(arguments);
    const int answered = answerUsage(request.help, request.error, usage(), false);
    if (answered >= 0)
        return answered;
    QImage picture;
    const QString problem = kpicture::load(request.file, &picture);
    if (!problem.isEmpty())
        return print(failure(Failed, QCoreApplication::translate("KViewCommand", "Cannot show the picture"),
                             QStringLiteral("%1: %2").arg(printable(request.file), problem)),
                     false);
    KPictureViewer viewer(request.file, picture);
    picture = QImage(); // the view holds the only copy
    viewer.show();
    ksignals::onCancel([] { QApplication::quit(); });
    return QApplication::exec() == 0 ? Success : Failed;
}

} // namespace kviewcommand
