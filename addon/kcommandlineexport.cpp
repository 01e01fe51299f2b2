#include "kcommandlineexport.h"

#include "kdocumentaccess.h"
#include "kexportimagemgr.h"
#include "kexportrules.h"
#include "koutputpath.h"
#include "watermarklabels.h"
#include "watermarkpicture.h"

#include <kpathtext.h>
#include <kxmainwindow.h>

#include <QDateTime>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QRegularExpression>

#include <cmath>

namespace {

QPointer<KExportImageMgr> g_running;

QString pageCountText(int pageCount)
{
    return pageCount == 1 ? KCommandLineExport::tr("the document has 1 page")
                          : KCommandLineExport::tr("the document has %1 pages").arg(pageCount);
}

// Index of a label among the report labels a function gives for 0..count-1, or -1.
int indexOfLabel(const QString &label, int count, QString (*labelOf)(int))
{
    for (int i = 0; i < count; ++i) {
        if (labelOf(i) == label)
            return i;
    }
    return -1;
}

bool readInt(const QVariantMap &request, const char *key, int low, int high, int *value)
{
    if (!request.contains(QLatin1String(key)))
        return true;
    bool ok = false;
    const int v = request.value(QLatin1String(key)).toString().toInt(&ok);
    if (!ok || v < low || v > high)
        return false;
    *value = v;
    return true;
}

} // namespace

KCommandLineExport::KCommandLineExport(ProgressFn progress)
    : m_progress(progress)
{
}

void KCommandLineExport::cancelRunning()
{
    if (g_running)
        g_running->cancel();
}

QVariantMap KCommandLineExport::refusal(const Refusal &r)
{
    QVariantMap result;
    result.insert(QStringLiteral("exitCode"), r.status);
    result.insert(QStringLiteral("errTitle"), r.title);
    result.insert(QStringLiteral("errMsg"), r.message);
    result.insert(QStringLiteral("detail"), r.detail);
    return result;
}

QVariantMap KCommandLineExport::run(const QVariantMap &request)
{
    m_component = &KExportComponent::current();
    m_document = request.value(QStringLiteral("document")).toString();
    m_window = qobject_cast<KxMainWindow *>(request.value(QStringLiteral("mainWindow")).value<QObject *>());
    KExportImageMgr manager;
    manager.setMainWindow(m_window);
    const int pageCount = manager.pageCount();
    if (pageCount <= 0)
        return refusal({Failed, tr("Export failed"), tr("The document has no page to export")});
    Refusal r = readOptions(request);
    if (!r.isSet() && request.contains(QStringLiteral("pages"))
        && !parsePageRanges(request.value(QStringLiteral("pages")).toString(), pageCount, &m_options.pages))
        r = {UsageError, tr("Invalid pages"), tr("example: 1,3,5-10; %1").arg(pageCountText(pageCount))};
    if (!r.isSet())
        r = readWatermark(request);
    if (!r.isSet())
        r = checkLimits(pageCount);
    if (!r.isSet())
        r = readOutput(request);
    if (r.isSet())
        return refusal(r);
    return execute(manager);
}

KCommandLineExport::Refusal KCommandLineExport::readOptions(const QVariantMap &request)
{
    const QString mode = request.value(QStringLiteral("mode")).toString();
    if (!m_component->offersEachPage && mode == QLatin1String("each"))
        return {UsageError, tr("Invalid mode"),
                tr("A spreadsheet is exported as one long picture only; --each-page is not available")};
    m_options.longPicture = mode.isEmpty() ? m_component->longPictureByDefault : mode == QLatin1String("long");
    m_options.maxPagesPerPicture = m_component->pagesPerPart;
    const QString format = KExportRules::formatOf(request.value(QStringLiteral("format"), QStringLiteral("png")).toString());
    if (format.isEmpty())
        return {UsageError, tr("Invalid format"), tr("The format must be jpg, png, bmp or tif")};
    m_options.suffix = format;
    int quality = 100;
    if (!readInt(request, "quality", 100, 600, &quality) || !KExportRules::qualities().contains(quality))
        return {UsageError, tr("Invalid quality"), tr("The quality must be 100, 200, 300 or 600")};
    if (m_options.longPicture && !KExportRules::allowsLongQuality(*m_component, quality))
        return {UsageError, tr("Invalid quality"), tr("A long picture can be exported at 100 or 200 percent")};
    m_options.dpi = KExportRules::dpiForQuality(quality);
    const bool bands = readInt(request, "firstTop", 0, 10000, &m_options.firstPageTop)
        && readInt(request, "lastBottom", 0, 10000, &m_options.lastPageBottom)
        && readInt(request, "pageGap", 0, 10000, &m_options.pageGap);
    if (!bands)
        return {UsageError, tr("Invalid spacing"), tr("Bands and gaps are whole pixels from 0 to 10000")};
    return {};
}

KCommandLineExport::Refusal KCommandLineExport::readWatermark(const QVariantMap &request)
{
    const QString kind = request.value(QStringLiteral("watermark"), QStringLiteral("none")).toString();
    WatermarkSetting &w = m_options.watermark;
    w.setScale(std::max(1, m_options.dpi / 96));
    w.setPolicy(m_options.longPicture ? WatermarkPolicyTile : WatermarkPolicyCenter);
    if (kind == QLatin1String("none"))
        return {};
    m_options.watermarkOn = true;
    m_options.watermarkFont = QString::fromLatin1("Microsoft YaHei"); // kept by Qt's font cache
    m_options.watermarkText = request.value(QStringLiteral("text"), w.text()).toString();
    if (kind == QLatin1String("default")) {
        w.setStyle(WatermarkStylePicture);
        w.setPicture(loadDefaultWatermarkPicture(*m_component, m_options.longPicture));
        return {};
    }
    if (kind != QLatin1String("custom"))
        return {UsageError, tr("Invalid watermark"), tr("The watermark must be none, default or custom")};
    const Refusal bad{UsageError, tr("Invalid watermark"), QString()};
    w.setStyle(WatermarkStyleText);
    w.setText(m_options.watermarkText.left(30));
    if (request.contains(QStringLiteral("style"))) {
        const int style = indexOfLabel(request.value(QStringLiteral("style")).toString(), 6, watermarkStyleLabel);
        if (style < 0)
            return {UsageError, bad.title, tr("The style must be normal, r_triangle, i_triangle, rectangle, circle or ellipse")};
        w.setStyle(style);
    }
    if (request.contains(QStringLiteral("size"))) {
        const int size = indexOfLabel(request.value(QStringLiteral("size")).toString(), 3, watermarkSizeLabel);
        if (size < 0)
            return {UsageError, bad.title, tr("The size must be small, mid or large")};
        w.setSize(size);
    }
    if (request.contains(QStringLiteral("color"))) {
        // toUInt alone takes signs, blanks and a 0x prefix.
        static const QRegularExpression sixDigits(QStringLiteral("^[0-9A-Fa-f]{6}$"));
        const QString hex = request.value(QStringLiteral("color")).toString();
        if (!sixDigits.match(hex).hasMatch())
            return {UsageError, bad.title, tr("The colour must be six hexadecimal digits, RRGGBB")};
        w.setColor(QColor::fromRgb(hex.toUInt(nullptr, 16)));
    }
    if (request.contains(QStringLiteral("opacity"))) {
        bool ok = false;
        const double opacity = request.value(QStringLiteral("opacity")).toString().toDouble(&ok);
        if (!ok || !std::isfinite(opacity) || opacity < 0 || opacity > 1)
            return {UsageError, bad.title, tr("The opacity must lie between 0 and 1")};
        w.setOpacity(opacity);
    }
    int rotate = w.rotate();
    if (!readInt(request, "rotate", 0, 360, &rotate))
        return {UsageError, bad.title, tr("The rotation must be a whole number of degrees from 0 to 360")};
    w.setRotate(rotate);
    m_options.watermarkRotate = rotate > 0;
    const QString tile = request.value(QStringLiteral("tile")).toString();
    if (!tile.isEmpty() && tile != QLatin1String("yes") && tile != QLatin1String("no"))
        return {UsageError, bad.title, tr("Tiling is yes or no")};
    if (!tile.isEmpty())
        w.setPolicy(tile == QLatin1String("yes") ? WatermarkPolicyTile : WatermarkPolicyCenter);
    return {};
}

KCommandLineExport::Refusal KCommandLineExport::checkLimits(int pageCount)
{
    if (!m_options.longPicture)
        return {};
    const qint64 count = m_options.pages.isEmpty() ? pageCount : countDistinctPages(m_options.pages);
    const KExportRules::Refusal r = KExportRules::longPageLimit(*m_component, m_options.dpi, count);
    if (!r.isSet())
        return {};
    return {Failed, r.title, r.message};
}

KCommandLineExport::Refusal KCommandLineExport::readOutput(const QVariantMap &request)
{
    const QDateTime now = QDateTime::currentDateTime();
    QString output = request.value(QStringLiteral("output")).toString();
    if (output.isEmpty())
        output = KExportRules::defaultOutput(m_document, *m_component, m_options.longPicture, m_options.suffix, now);
    const bool singleFile = m_component->writesSingleFile(m_options.longPicture);
    const KOutputPath::Check check = KOutputPath::check(output, singleFile);
    if (!check.ok)
        return {Failed, tr("Export Image"), check.message, check.detail};
    if (singleFile) {
        const Refusal r = checkPicturePath(check, request);
        if (r.isSet())
            return r;
        const QFileInfo picture(check.normalized);
        m_options.outputDir = picture.absolutePath();
        m_options.fileName = picture.fileName();
        m_options.suffix = KExportRules::formatOf(picture.suffix());
    } else {
        m_options.outputDir = QFileInfo(check.normalized).absoluteFilePath();
        m_options.fileName = KExportRules::baseName(m_document, *m_component, now);
    }
    return {};
}

// The picture's name decides its format; an explicit --format that says otherwise is a
// mistake, not a choice. The document itself is never replaced, not even through a link.
KCommandLineExport::Refusal KCommandLineExport::checkPicturePath(const KOutputPath::Check &check,
                                                                 const QVariantMap &request)
{
    const QString shown = kpathtext::printable(check.normalized);
    const QString suffix = QFileInfo(check.normalized).suffix();
    const QString asked = request.value(QStringLiteral("format")).toString();
    if (request.contains(QStringLiteral("format")) && KExportRules::formatOf(asked) != KExportRules::formatOf(suffix))
        return {UsageError, tr("Invalid format"),
                tr("--format %1 does not match the picture's suffix .%2; name a .%1 file or leave --format out")
                    .arg(kpathtext::printable(asked), kpathtext::printable(suffix))};
    if (check.exists && kpathtext::sameFile(check.normalized, m_document))
        return {Failed, tr("Export Image"), tr("The picture would replace the document itself, choose another file"),
                shown};
    if (check.exists && !request.value(QStringLiteral("overwrite")).toBool())
        return {Failed, tr("Export Image"),
                tr("The file already exists,confirm to replace the original file.") + QStringLiteral(" (--overwrite)"),
                shown};
    return {};
}

QVariantMap KCommandLineExport::execute(KExportImageMgr &manager)
{
    if (m_component->preparesWriterDocument) {
        kdocumentaccess::prepareWriterExport(m_window);
        m_options.exportInCaller = kdocumentaccess::writerRendersInCaller(m_window);
    }
    QVariantMap result;
    int code = Failed;
    QEventLoop loop;
    QObject::connect(&manager, &KExportImageMgr::exportFinished, &loop,
                     [&](const KExportImageTask::ExitCode exitCode, const QVariantMap info) {
                         code = exitCode;
                         result = info;
                         loop.quit();
                     });
    if (m_progress) {
        QObject::connect(&manager, &KExportImageMgr::exportProgress, &loop,
                         [this](int done, int total) { m_progress(done, total); });
    }
    // A refusal is printed with the result, not shown in a window.
    manager.setBusyPresenter([&result](const QString &title, const QString &message) {
        result.insert(QStringLiteral("errTitle"), title);
        result.insert(QStringLiteral("errMsg"), message);
    });
    if (!m_options.longPicture)
        KExportImageTask::keepFreedPagesForReuse(); // this process only exports
    g_running = &manager;
    if (manager.startExport(m_options))
        loop.exec();
    g_running = nullptr;
    result.insert(QStringLiteral("exitCode"), code);
    if (code == Success && manager.areaTooLarge())
        result.insert(QStringLiteral("warning"),
                      tr("The picture is larger than this edition's size limit; some viewers may show it incomplete"));
    return result;
}
