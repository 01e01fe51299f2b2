#include "kconvertcommand.h"

#include "kcommandreport.h"

#include "ksignals.h"

#include <kdocumentloader.h>
#include <kopeningcancel.h>
#include <kpathtext.h>
#include <kwriterbackend.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using kpathtext::printable;
using kpathtext::sameFile;

namespace kconvertcommand {

namespace {

using namespace kcommandreport;

QString failedTitle()
{
    return QCoreApplication::translate("KConvertCommand", "Convert failed");
}

struct Request
{
    QString document;
    QString output;
    bool overwrite = false;
    bool json = false;
    bool help = false;
    QString error;
};

Request parse(const QStringList &arguments)
{
    Request request;
    QStringList positional;
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--overwrite"))
            request.overwrite = true;
        else if (argument == QLatin1String("--json"))
            request.json = true;
        else if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            request.help = true;
        else if (argument.startsWith(QLatin1Char('-')) && argument.size() > 1)
            request.error = QCoreApplication::translate("KConvertCommand", "Unknown option '%1'.").arg(printable(argument));
        else
            positional.append(argument);
    }
    if (request.error.isEmpty() && !request.help && positional.size() != 2)
        request.error = QCoreApplication::translate("KConvertCommand", "Name one document and one output file.");
    request.document = positional.value(0);
    request.output = positional.value(1);
    return request;
}

// The refusal of an output that may not be written; empty when it may.
QVariantMap refuseOutput(const Request &request)
{
    const QString shown = printable(request.output);
    if (sameFile(request.output, request.document))
        return failure(Failed, failedTitle(), QCoreApplication::translate("KConvertCommand", "The output is the document itself; choose another file"), shown);
    if (occupied(request.output) && !request.overwrite)
        return failure(Failed, failedTitle(), QCoreApplication::translate("KConvertCommand", "The file already exists; --overwrite replaces it"), shown);
    // Converting makes no folders; a folder that takes no files is refused before the document opens.
    const QFileInfo folder(QFileInfo(request.output).absolutePath());
    if (!folder.isDir() || !folder.isWritable())
        return failure(Failed, failedTitle(), QCoreApplication::translate("KConvertCommand", "%1: cannot be written").arg(shown),
                       QStringLiteral("%1: %2").arg(printable(folder.filePath()),
                                                    folder.isDir() ? QCoreApplication::translate("KConvertCommand", "no permission to write in it")
                                                                   : QCoreApplication::translate("KConvertCommand", "no such folder")));
    return {};
}

} // namespace

QString usage()
{
    return QCoreApplication::translate("KConvertCommand", "Usage: brindlex convert DOCUMENT OUTPUT.pdf [--overwrite] [--json]\n"
                                                          "Prints a writer document (text, Markdown, HTML, office text) to PDF.\n");
}

namespace {

const int kRandomPart = 6; // the XXXXXX of the partial's name

// Removes partial prints of runs that were killed before they could: a running print holds
// a lock on its partial for as long as it lives, so an unlocked one has no owner.
void removeStalePartials(const QFileInfo &target)
{
    const QDir folder(target.absolutePath());
    const QString prefix = QStringLiteral(".") + target.fileName() + QLatin1Char('.');
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.size() != prefix.size() + kRandomPart || !name.startsWith(prefix))
            continue;
        const QByteArray path = QFile::encodeName(folder.filePath(name));
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.constData());
        ::close(fd);
    }
}

// Opens the partial and locks it. A sweep of another run may remove it between the two;
// then it is made anew.
bool openLocked(QTemporaryFile &partial)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        // Asking for the name links the file, which Qt first makes without one.
        if (!partial.open() || partial.fileName().isEmpty())
            return false;
        struct stat info{};
        if (::flock(partial.handle(), LOCK_EX | LOCK_NB) == 0 && ::fstat(partial.handle(), &info) == 0 && info.st_nlink > 0)
            return true;
        partial.close();
        partial.remove();
    }
    return false;
}

// Printed beside the output and renamed over it once complete: a failed or cancelled print
// never leaves a partial PDF, nor costs the file that was there.
int printAtomically(KWriterBackend *writer, const Request &request)
{
    const QFileInfo target(request.output);
    removeStalePartials(target);
    QTemporaryFile partial(target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX"));
    // Kept open while printing: the lock marks the partial as owned.
    if (!openLocked(partial))
        return print(failure(Failed, failedTitle(), printable(request.output), partial.errorString()), request.json);
    QString error;
    if (!writer->printToPdf(partial.fileName(), &error))
        return print(failure(Failed, failedTitle(), printable(error)), request.json);
    if (kopening::cancelRequested())
        return print({{QStringLiteral("exitCode"), Canceled}}, request.json);
    if (::rename(QFile::encodeName(partial.fileName()).constData(), QFile::encodeName(request.output).constData()) != 0)
        return print(failure(Failed, failedTitle(), printable(request.output), QString::fromLocal8Bit(std::strerror(errno))),
                     request.json);
    partial.setAutoRemove(false);
    return print({{QStringLiteral("exitCode"), Success}, {QStringLiteral("fileName"), request.output}}, request.json);
}

} // namespace

int run(const QStringList &arguments)
{
    const Request request = parse(arguments);
    const int answered = answerUsage(request.help, request.error, usage(), request.json);
    if (answered >= 0)
        return answered;
    const QString problem = documentProblem(request.document);
    if (!problem.isEmpty())
        return print(failure(Failed, failedTitle(), problem), request.json);
    const QVariantMap refused = refuseOutput(request);
    if (!refused.isEmpty())
        return print(refused, request.json);
    const KOpenedDocument opened = [&request] {
        ksignals::OpeningWatch watch([&request] { print({{QStringLiteral("exitCode"), Canceled}}, request.json); });
        return KDocumentLoader::open(request.document);
    }();
    if (opened.cancelled)
        return print({{QStringLiteral("exitCode"), Canceled}}, request.json);
    auto *writer = dynamic_cast<KWriterBackend *>(opened.object.get());
    if (!writer) {
        const QString message =
            opened.error.isEmpty() ? request.document + QCoreApplication::translate("KConvertCommand", ": not a writer document") : opened.error;
        return print(failure(Failed, failedTitle(), printable(message)), request.json);
    }
    return printAtomically(writer, request);
}

} // namespace kconvertcommand
