#include "kofficeconverter.h"

#include "kopeningcancel.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <csignal>
#include <unistd.h>

namespace {

// Whether a process of the group still runs (orphaned helpers may stay zombies a while).
bool groupAlive(pid_t group)
{
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : pids) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        // "pid (name) state ppid pgrp ...": the name may hold anything but ends at the last ')'.
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields.at(2).toInt() == group && fields.at(0) != "Z")
            return true;
    }
    return false;
}

// LibreOffice starts helpers of its own; in a session of its own the whole tree can be
// ended at once, and a terminal's signals reach only us.
class KConverterProcess : public QProcess
{
public:
    ~KConverterProcess() override { endAll(); }

    void endAll()
    {
        if (state() == QProcess::NotRunning)
            return;
        const pid_t group = pid_t(processId());
        ::kill(-group, SIGKILL);
        waitForFinished(-1);
        // Helpers outlive the leader by a moment; their folder is removed after them.
        for (int i = 0; i < 100 && groupAlive(group); ++i)
            QThread::msleep(10);
    }

protected:
QT_WARNING_PUSH
QT_WARNING_DISABLE_DEPRECATED
    void setupChildProcess() override { ::setsid(); }
QT_WARNING_POP
};

QString filterFor(const QString &target)
{
    if (target == QLatin1String("csv"))
        return QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1"); // comma, quote, UTF-8
    return target;
}

QString lastLines(const QByteArray &output)
{
    const QStringList lines = QString::fromLocal8Bit(output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.mid(qMax(0, lines.size() - 3)).join(QStringLiteral(" / ")).trimmed();
}

KOfficeConverter::Result failure(const QString &text)
{
    KOfficeConverter::Result result;
    result.error = text;
    return result;
}

} // namespace

QString KOfficeConverter::executable()
{
    QString found = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    return found;
}

KOfficeConverter::Result KOfficeConverter::convert(const QString &source, const QString &target, int timeoutMs)
{
    const QString soffice = executable();
    if (soffice.isEmpty())
        return failure(QCoreApplication::translate("KOfficeConverter", "%1: opening .%2 documents needs LibreOffice (soffice), which is not installed")
                           .arg(source, QFileInfo(source).suffix().toLower()));
    kopening::hold();
    const std::shared_ptr<QTemporaryDir> folder(new QTemporaryDir, [](QTemporaryDir *dir) {
        delete dir;
        kopening::release();
    });
    if (!folder->isValid())
        return failure(QCoreApplication::translate("KOfficeConverter", "%1: no temporary folder for the conversion").arg(source));
    const QString outDir = folder->filePath(QStringLiteral("out"));
    const QString profile = QUrl::fromLocalFile(folder->filePath(QStringLiteral("profile"))).toString();
    KConverterProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    // Its own temporary files go to the folder too, so that a killed converter leaves none.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString scratch = folder->filePath(QStringLiteral("tmp"));
    if (!QDir().mkpath(scratch))
        return failure(QCoreApplication::translate("KOfficeConverter", "%1: no temporary folder for the conversion").arg(source));
    environment.insert(QStringLiteral("TMPDIR"), scratch);
    process.setProcessEnvironment(environment);
    process.start(soffice, {QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--nologo"),
                            QStringLiteral("--nolockcheck"), QStringLiteral("-env:UserInstallation=") + profile,
                            QStringLiteral("--convert-to"), filterFor(target), QStringLiteral("--outdir"), outDir,
                            QFileInfo(source).absoluteFilePath()});
    if (!process.waitForStarted())
        return failure(QCoreApplication::translate("KOfficeConverter", "%1: LibreOffice could not be started: %2").arg(source, process.errorString()));
    QElapsedTimer clock;
    clock.start();
    while (process.state() != QProcess::NotRunning && !process.waitForFinished(50)) {
        if (kopening::cancelRequested()) {
            process.endAll();
            return failure(QCoreApplication::translate("KOfficeConverter", "%1: the conversion was cancelled").arg(source));
        }
        if (clock.elapsed() >= timeoutMs) {
            process.endAll();
            return failure(QCoreApplication::translate("KOfficeConverter", "%1: LibreOffice did not finish the conversion in %2 s")
                               .arg(source, QString::number(timeoutMs / 1000)));
        }
    }
    const QStringList produced = QDir(outDir).entryList({QStringLiteral("*.") + target}, QDir::Files);
    if (process.exitStatus() != QProcess::NormalExit || produced.isEmpty())
        return failure(QCoreApplication::translate("KOfficeConverter", "%1: LibreOffice could not convert the document (%2)")
                           .arg(source, lastLines(process.readAll())));
    Result result;
    result.folder = folder;
    result.path = QDir(outDir).filePath(produced.first());
    return result;
}
