#pragma once

#include "ktestdocuments.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

// Office documents for tests, made by LibreOffice from flat files the tests write.
namespace ktest {

inline QString soffice()
{
    return QStandardPaths::findExecutable(QStringLiteral("soffice"));
}

// Converts source into the folder's "<base>.<target>"; empty on failure.
inline QString sofficeConvert(const QString &source, const QString &target, const QString &folder)
{
    QProcess process;
    const QString profile = QUrl::fromLocalFile(folder + QStringLiteral("/.lo-profile")).toString();
    process.start(soffice(), {QStringLiteral("--headless"), QStringLiteral("--norestore"),
                              QStringLiteral("-env:UserInstallation=") + profile, QStringLiteral("--convert-to"), target,
                              QStringLiteral("--outdir"), folder, source});
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return QString();
    const QString out = folder + QLatin1Char('/') + QFileInfo(source).completeBaseName() + QLatin1Char('.')
        + target.section(QLatin1Char(':'), 0, 0);
    return QFileInfo::exists(out) ? out : QString();
}

// Processes whose command line names the folder: a converter works in a temporary folder
// under TMPDIR, so a test that owns TMPDIR finds what it started.
inline QStringList processesNaming(const QString &folder)
{
    QStringList found;
    QDirIterator it(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        QFile cmdline(it.next() + QStringLiteral("/cmdline"));
        if (cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().contains(folder.toLocal8Bit()))
            found << it.fileName();
    }
    return found;
}

inline QByteArray flatOdf(const QByteArray &mime, const QByteArray &styles, const QByteArray &body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
           " xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\""
           " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
           " xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\""
           " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
           " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
           " office:version=\"1.3\" office:mimetype=\"application/vnd.oasis.opendocument." + mime + "\">"
           + styles + "<office:body>" + body + "</office:body></office:document>\n";
}

// A 16:9 presentation whose slides each hold one dark box with a line of text.
inline QByteArray flatPresentation(const QStringList &texts)
{
    const QByteArray styles =
        "<office:automatic-styles><style:page-layout style:name=\"PM1\"><style:page-layout-properties"
        " fo:page-width=\"28cm\" fo:page-height=\"15.75cm\"/></style:page-layout>"
        "<style:style style:name=\"box\" style:family=\"graphic\"><style:graphic-properties draw:fill=\"solid\""
        " draw:fill-color=\"#1f3864\"/></style:style></office:automatic-styles>"
        "<office:master-styles><style:master-page style:name=\"Default\" style:page-layout-name=\"PM1\"/>"
        "</office:master-styles>";
    QByteArray pages;
    for (const QString &text : texts)
        pages += "<draw:page draw:master-page-name=\"Default\"><draw:frame draw:style-name=\"box\" svg:x=\"2cm\""
                 " svg:y=\"2cm\" svg:width=\"20cm\" svg:height=\"4cm\"><draw:text-box><text:p>"
                 + text.toUtf8() + "</text:p></draw:text-box></draw:frame></draw:page>";
    return flatOdf("presentation", styles, "<office:presentation>" + pages + "</office:presentation>");
}

inline QByteArray flatText(const QStringList &paragraphs)
{
    QByteArray body;
    for (const QString &p : paragraphs)
        body += "<text:p>" + p.toUtf8() + "</text:p>";
    return flatOdf("text", QByteArray(), "<office:text>" + body + "</office:text>");
}

} // namespace ktest
