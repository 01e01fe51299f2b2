#include "kofficeconverter.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace {

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
        return failure(QStringLiteral("%1: opening .%2 documents needs LibreOffice (soffice), which is not installed")
                           .arg(source, QFileInfo(source).suffix().toLower()));
    auto folder = std::make_shared<QTemporaryDir>();
    if (!folder->isValid())
        return failure(QStringLiteral("%1: no temporary folder for the conversion").arg(source));
    const QString outDir = folder->filePath(QStringLiteral("out"));
    const QString profile = QUrl::fromLocalFile(folder->filePath(QStringLiteral("profile"))).toString();
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(soffice, {QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--nologo"),
                            QStringLiteral("--nolockcheck"), QStringLiteral("-env:UserInstallation=") + profile,
                            QStringLiteral("--convert-to"), filterFor(target), QStringLiteral("--outdir"), outDir,
                            QFileInfo(source).absoluteFilePath()});
    if (!process.waitForStarted())
        return failure(QStringLiteral("%1: LibreOffice could not be started: %2").arg(source, process.errorString()));
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return failure(QStringLiteral("%1: LibreOffice did not finish the conversion in %2 s")
                           .arg(source)
                           .arg(timeoutMs / 1000));
    }
    const QStringList produced = QDir(outDir).entryList({QStringLiteral("*.") + target}, QDir::Files);
    if (process.exitStatus() != QProcess::NormalExit || produced.isEmpty())
        return failure(QStringLiteral("%1: LibreOffice could not convert the document (%2)")
                           .arg(source, lastLines(process.readAll())));
    Result result;
    result.folder = folder;
    result.path = QDir(outDir).filePath(produced.first());
    return result;
}
