#include "ktestexportdlg.h"
#include "ktesthttp.h"

#include <kexportbutton.h>
#include <kexportcombobox.h>
#include <kexportimagemgr.h>
#include <kexportlineedit.h>
#include <kliteiconbutton.h>
#include <kexportloadingtips.h>
#include <kexportpicturedlg.h>
#include <kexportsettings.h>
#include <kexporttypeitem.h>
#include <khostconfig.h>
#include <kpreviewpage.h>
#include <krangelineedit.h>
#include <kregistry.h>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QPointer>

#include <QPixmapCache>

#include <cstdio>
#include <limits>
#include <malloc.h>
#include <unistd.h>
#ifdef KTAVRO_TEST_ASAN
#include <sanitizer/allocator_interface.h>
#endif

using namespace ktest;

namespace {

// Bytes the heap holds for live allocations, over all of malloc's arenas. Resident size is
// no measure of a leak: freed pages that arenas of finished threads keep vary by tens of MB
// from one run to the next.
qint64 liveHeapKb()
{
#ifdef KTAVRO_TEST_ASAN
    return qint64(__sanitizer_get_current_allocated_bytes()) / 1024;
#else
    char *text = nullptr;
    size_t size = 0;
    FILE *stream = ::open_memstream(&text, &size);
    if (!stream || ::malloc_info(0, stream) != 0) {
        if (stream)
            std::fclose(stream);
        std::free(text);
        return -1;
    }
    std::fclose(stream);
    const QByteArray info(text, int(size));
    std::free(text);
    // The last totals are the whole process's: free chunks in the arenas, then what they
    // took from the system; chunks of their own mapping are all live.
    auto total = [&info](const char *what) {
        const QRegularExpression pattern(QStringLiteral("<%1 type=\"%2\"[^>]*size=\"(\\d+)\"")
                                             .arg(QLatin1String(what[0] == 'c' ? "system" : "total"),
                                                  QLatin1String(what)));
        qint64 last = -1;
        for (auto it = pattern.globalMatch(QString::fromLatin1(info)); it.hasNext();)
            last = it.next().captured(1).toLongLong();
        return last;
    };
    const qint64 free = total("fast") + total("rest");
    return (total("current") - free + total("mmap")) / 1024;
#endif
}

int openHandles()
{
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size();
}

// The text of a report: its query after "&d=".
QByteArray reportText(const QByteArray &target)
{
    const int at = target.indexOf("&d=");
    return at < 0 ? QByteArray() : ktest::decodeReport(target.mid(at + 3));
}

} // namespace

class TestExportPictureDlg : public QObject, ktest::ExportDialogFixture
{
    Q_OBJECT

    QStringList m_pictures;
    bool m_viewerStarts = true;

    // A shown dialog whose first preview has arrived.
    KExportPictureDlg *showDialog(int formatIndex = -1)
    {
        auto *dialog = new KExportPictureDlg(nullptr, QStringLiteral("test_export"), QString(), formatIndex);
        dialog->setHostWindow(m_window.get());
        dialog->show();
        QTest::qWait(1100);
        waitIdle(dialog);
        return dialog;
    }

    // Until nothing runs, or the dialog has closed itself.
    static void waitIdle(QPointer<KExportPictureDlg> dialog)
    {
        QTRY_VERIFY_WITH_TIMEOUT(
            !dialog || (!dialog->client()->isPreviewRunning() && !dialog->client()->manager()->isBusy()), 60000);
        QCoreApplication::processEvents();
    }

    static void clickType(KExportPictureDlg *dialog, int type)
    {
        dialog->client()->typeItem(type)->click();
    }

    static void selectQuality(KExportPictureDlg *dialog, int quality)
    {
        KExportComboBox *combo = dialog->client()->qualityCombo();
        combo->setCurrentRow(dialog->client()->qualityRows().indexOf(quality));
    }

    void exportAndWait(QPointer<KExportPictureDlg> dialog)
    {
        dialog->client()->exportButton()->click();
        waitIdle(dialog);
    }

    // Exports and returns the longest time the interface thread did not answer a 5 ms timer;
    // tipShown gets the time from the click to the loading tip (-1 when it was not shown).
    static qint64 exportStall(QPointer<KExportPictureDlg> dialog, qint64 *tipShown)
    {
        QElapsedTimer clock;
        QElapsedTimer stallClock;
        qint64 longest = 0;
        QTimer recorder;
        recorder.setInterval(5);
        QObject::connect(&recorder, &QTimer::timeout, [&] { longest = std::max(longest, stallClock.restart() - 5); });
        clock.start();
        dialog->client()->exportButton()->click();
        *tipShown = dialog->client()->loadingTips()->isVisible() ? clock.elapsed() : -1;
        stallClock.start();
        recorder.start();
        waitIdle(dialog);
        recorder.stop();
        return longest;
    }

private slots:
    void initTestCase()
    {
        KExportPictureClientWidget::Hooks hooks;
        hooks.tips = [this](QWidget *, const QString &title, const QString &text, int buttons) {
            return answerTip(title, text, buttons);
        };
        hooks.openPicture = [this](const QString &file) {
            m_pictures << file;
            return m_viewerStarts;
        };
        hooks.openUrl = [this](const QUrl &url) {
            m_urls << url;
            return true;
        };
        KExportPictureClientWidget::setHooks(hooks);
        presentPaths();
    }

    void init()
    {
        resetFixture();
        m_pictures.clear();
        m_viewerStarts = true;
        kexportsettings::setImageFormat(-1);
        kexportsettings::setOutputFilePath(QString());
        kexportsettings::setBackupToCloud(false);
    }

    void cleanup()
    {
        KHostConfig::setEditionNumber(1);
        closeDocument();
    }

    void typeControlsFollowTheDocument_data()
    {
        QTest::addColumn<int>("doc");
        QTest::addColumn<int>("pages");
        QTest::addColumn<bool>("longEnabled");
        QTest::addColumn<bool>("eachVisible");
        QTest::addColumn<bool>("longChecked");
        QTest::addColumn<bool>("rangeOffered");
        QTest::addColumn<bool>("marginsVisible");
        QTest::newRow("writer, one page") << int(Writer) << 1 << false << true << false << false << false;
        QTest::newRow("writer, three pages") << int(Writer) << 3 << true << true << true << true << true;
        QTest::newRow("spreadsheet") << int(Sheet) << 1 << true << false << true << false << false;
        QTest::newRow("pdf") << int(Pdf) << 3 << true << true << false << true << false;
    }
    void typeControlsFollowTheDocument()
    {
        QFETCH(int, doc);
        QFETCH(int, pages);
        openDocument(Doc(doc), pages);
        QPointer<KExportPictureDlg> dialog = showDialog();
        KExportPictureClientWidget *c = dialog->client();
        KExportTypeItem *longItem = c->typeItem(KExportTypeItem::LongPicture);
        QTEST(longItem->isEnabled(), "longEnabled");
        QTEST(!c->typeItem(KExportTypeItem::EachPage)->isHidden(), "eachVisible");
        QTEST(longItem->isChecked(), "longChecked");
        QTEST(c->isLongPicture(), "longChecked");
        QTEST(!c->pageRadio(1)->isHidden(), "rangeOffered");
        QTEST(!c->marginsLink()->isHidden(), "marginsVisible");
        QCOMPARE(longItem->toolTip().isEmpty(), longItem->isEnabled());
        // Whatever is offered, one export writes pictures.
        exportAndWait(dialog);
        QVERIFY(!m_tips.isEmpty());
        QCOMPARE(m_tips.last().title, QStringLiteral("Export success"));
        QVERIFY(!exportOutputs(m_folder).isEmpty());
        dialog->close();
    }

    void qualityListFollowsTheType_data()
    {
        QTest::addColumn<int>("doc");
        QTest::addColumn<QList<int>>("longRows");
        QTest::newRow("writer") << int(Writer) << QList<int>{0, 1};
        QTest::newRow("pdf") << int(Pdf) << QList<int>{0};
    }
    void qualityListFollowsTheType()
    {
        QFETCH(int, doc);
        QFETCH(QList<int>, longRows);
        openDocument(Doc(doc), 3);
        QPointer<KExportPictureDlg> dialog = showDialog();
        KExportPictureClientWidget *c = dialog->client();
        const QList<int> all{0, 1, 2, 3};
        clickType(dialog, KExportTypeItem::EachPage);
        QCOMPARE(c->qualityRows(), all);
        selectQuality(dialog, 3);
        clickType(dialog, KExportTypeItem::LongPicture);
        QCOMPARE(c->qualityRows(), longRows);
        QVERIFY(c->qualityCombo()->currentRow() >= 0);
        clickType(dialog, KExportTypeItem::EachPage);
        QCOMPARE(c->qualityRows(), all);
        // The quality given up for the long picture comes back.
        QCOMPARE(c->qualityCombo()->currentItem()->value().toInt(), 3);
        dialog->close();
    }

    void longPictureLimits_data()
    {
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("quality");
        QTest::addColumn<QString>("range");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("pageCount");
        QTest::newRow("16 pages at 200 %") << 16 << 1 << QString() << QStringLiteral(
            "15 doc pages can support when export image as long picture\n whit 200 %,please adjust doc pages or "
            "reduce the image quality and try again")
                                           << QString();
        QTest::newRow("26 pages at 100 %") << 26 << 0 << QString() << QStringLiteral(
            "25 doc pages can support when export image as long picture\n whit 100 %,please adjust doc pages and "
            "try again")
                                           << QString();
        QTest::newRow("25 pages at 100 %") << 25 << 0 << QString() << QString() << QStringLiteral("25");
        QTest::newRow("1-3 and 2-5 count 5") << 16 << 1 << QStringLiteral("1-3,2-5") << QString() << QStringLiteral("5");
        QTest::newRow("1-10 and 5-15 count 15") << 16 << 1 << QStringLiteral("1-10,5-15") << QString() << QStringLiteral("15");
    }
    void longPictureLimits()
    {
        QFETCH(int, pages);
        QFETCH(int, quality);
        QFETCH(QString, range);
        QFETCH(QString, refusal);
        openDocument(Writer, pages);
        QPointer<KExportPictureDlg> dialog = showDialog();
        KExportPictureClientWidget *c = dialog->client();
        selectQuality(dialog, quality);
        if (!range.isEmpty()) {
            c->pageRadio(1)->click();
            QVERIFY(!c->rangeEdit()->isHidden());
            QVERIFY(!c->exportButton()->isEnabled());
            QTest::keyClicks(c->rangeEdit(), range);
            QVERIFY(c->exportButton()->isEnabled());
        }
        exportAndWait(dialog);
        QVERIFY(!m_tips.isEmpty());
        if (!refusal.isEmpty()) {
            QCOMPARE(m_tips.last().title, QStringLiteral("Out of range"));
            QCOMPARE(m_tips.last().text, refusal);
            QCOMPARE(m_tips.last().buttons, int(KTipsDialog::OkButton));
            QVERIFY(exportOutputs(m_folder).isEmpty());
        } else {
            QCOMPARE(m_tips.last().title, QStringLiteral("Export success"));
            QTEST(lastExportEvent(QStringLiteral("end")).value(QStringLiteral("pageCount")), "pageCount");
            QVERIFY(QFileInfo(picturePath(QStringLiteral("doc.png"))).size() > 0);
        }
        dialog->close();
    }

    void finishedQuestionOpensThePicture_data()
    {
        QTest::addColumn<bool>("longPicture");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("viewerStarts");
        QTest::addColumn<int>("pictures");
        QTest::addColumn<int>("urls");
        QTest::addColumn<bool>("closes");
        QTest::newRow("open the long picture") << true << int(KTipsDialog::ResultOpen) << true << 1 << 0 << true;
        QTest::newRow("open without a viewer") << true << int(KTipsDialog::ResultOpen) << false << 1 << 1 << true;
        QTest::newRow("open the page folder") << false << int(KTipsDialog::ResultOpenPath) << true << 0 << 1 << true;
        QTest::newRow("close the question") << false << int(KTipsDialog::ResultClosed) << true << 0 << 0 << false;
    }
    void finishedQuestionOpensThePicture()
    {
        QFETCH(bool, longPicture);
        QFETCH(int, answer);
        QFETCH(int, urls);
        QFETCH(bool, viewerStarts);
        m_viewerStarts = viewerStarts;
        openDocument(Writer, 3);
        QPointer<KExportPictureDlg> dialog = showDialog();
        clickType(dialog, longPicture ? KExportTypeItem::LongPicture : KExportTypeItem::EachPage);
        m_answers << answer;
        exportAndWait(dialog);
        QCOMPARE(m_tips.last().buttons, int(KTipsDialog::OpenButton | KTipsDialog::OpenPathButton));
        const QString written = longPicture ? picturePath(QStringLiteral("doc.png"))
                                            : picturePath(QStringLiteral("doc/doc_01.png"));
        QVERIFY2(QFileInfo(written).size() > 0, qPrintable(exportOutputs(m_folder).join(',')));
        QTEST(m_pictures.size(), "pictures");
        QCOMPARE(m_urls.size(), urls);
        for (const QString &p : m_pictures)
            QCOMPARE(QFileInfo(p).canonicalFilePath(), QFileInfo(written).canonicalFilePath());
        if (answer == KTipsDialog::ResultOpenPath)
            QCOMPARE(m_urls.first().toLocalFile(), QFileInfo(written).absolutePath());
        QFETCH(bool, closes);
        QTRY_COMPARE(dialog.isNull(), closes);
        if (dialog)
            dialog->close();
    }

    // Export after export through the dialog, as a person exporting all afternoon: neither
    // memory nor open files pile up. The first exports warm the caches (fonts, thread pools)
    // and are not counted; each dialog's icons fill the bounded pixmap cache, which is emptied
    // before each count.
    void repeatedExportsKeepMemoryAndHandlesFlat()
    {
        auto liveKb = [] {
            QPixmapCache::clear();
            return liveHeapKb();
        };
        openDocument(Writer, 3);
        qint64 warmKb = 0;
        int warmHandles = 0;
        for (int i = 1; i <= 20; ++i) {
            QPointer<KExportPictureDlg> dialog = showDialog();
            clickType(dialog, i % 2 ? KExportTypeItem::EachPage : KExportTypeItem::LongPicture);
            exportAndWait(dialog);
            QVERIFY2(!exportOutputs(m_folder).isEmpty(), qPrintable(QString::number(i)));
            dialog->close();
            QTRY_VERIFY(!dialog); // closing deletes it
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            for (const QString &name : exportOutputs(m_folder))
                QVERIFY(QFileInfo(picturePath(name)).isDir() ? QDir(picturePath(name)).removeRecursively()
                                                            : QFile::remove(picturePath(name)));
            if (i == 5) {
                warmKb = liveKb();
                warmHandles = openHandles();
            }
        }
        const qint64 liveNowKb = liveKb();
        QVERIFY(warmKb > 0 && liveNowKb > 0);
        qInfo("after 20 exports: %lld kB live on the heap (%+lld kB since the fifth), %d open files (%+d)", liveNowKb,
              liveNowKb - warmKb, openHandles(), openHandles() - warmHandles);
        QCOMPARE(openHandles(), warmHandles);
        // A page's picture is MBs; what is left per export must stay far below one.
        QVERIFY2(liveNowKb - warmKb < 1024, qPrintable(QString::number(liveNowKb - warmKb)));
    }

    void cancelLeavesNothingBehind_data()
    {
        QTest::addColumn<bool>("longPicture");
        QTest::newRow("long picture") << true;
        QTest::newRow("each page") << false;
    }
    void cancelLeavesNothingBehind()
    {
        QFETCH(bool, longPicture);
        openDocument(Writer, 12);
        QPointer<KExportPictureDlg> dialog = showDialog();
        clickType(dialog, longPicture ? KExportTypeItem::LongPicture : KExportTypeItem::EachPage);
        KExportPictureClientWidget *c = dialog->client();
        c->exportButton()->click();
        QVERIFY(!c->loadingTips()->isHidden() || !c->manager()->isBusy());
        c->onCancelExport();
        waitIdle(dialog);
        QVERIFY(c->loadingTips()->isHidden());
        QCOMPARE(exportOutputs(m_folder), QStringList());
        for (const Tip &t : qAsConst(m_tips))
            QVERIFY(t.title != QLatin1String("Export success"));
        dialog->close();
    }

    void usageEventsCarryTheChoices()
    {
        openDocument(Writer, 3);
        QPointer<KExportPictureDlg> dialog = showDialog();
        QCOMPARE(lastExportEvent(QStringLiteral("wndshow")).value(QStringLiteral("type")), QStringLiteral("exportimage"));
        QCOMPARE(lastExportEvent(QStringLiteral("wndshow")).value(QStringLiteral("doc_type")), QStringLiteral("vyx"));
        dialog->client()->watermarkRadio(2)->click();
        dialog->client()->formatCombo()->setCurrentRow(0);
        exportAndWait(dialog);
        const auto begin = lastExportEvent(QStringLiteral("begin"));
        QCOMPARE(begin.value(QStringLiteral("watermark")), QStringLiteral("default"));
        QCOMPARE(begin.value(QStringLiteral("export_type")), QStringLiteral("LongPicture"));
        QCOMPARE(begin.value(QStringLiteral("format")), QStringLiteral("jpg"));
        QCOMPARE(begin.value(QStringLiteral("quality")), QStringLiteral("200%"));
        QCOMPARE(begin.value(QStringLiteral("page")), QStringLiteral("all_page"));
        const auto end = lastExportEvent(QStringLiteral("end"));
        QCOMPARE(end.value(QStringLiteral("result")), QStringLiteral("success"));
        QCOMPARE(end.value(QStringLiteral("pageCount")), QStringLiteral("3"));
        QCOMPARE(end.value(QStringLiteral("upload_to_cloud")), QStringLiteral("flase"));
        QCOMPARE(end.value(QStringLiteral("component_type")), QStringLiteral("vyx"));
        QVERIFY(QFileInfo(picturePath(QStringLiteral("doc.jpg"))).size() > 0);
        dialog->client()->watermarkRadio(1)->click();
        exportAndWait(dialog);
        QVERIFY(lastExportEvent(QStringLiteral("watermark")).contains(QStringLiteral("policy")));
        dialog->close();
    }

    void backupCopiesIntoTheCloud_data()
    {
        QTest::addColumn<bool>("longPicture");
        QTest::addColumn<QStringList>("cloudFiles");
        QTest::newRow("long picture") << true << QStringList{"cloudapp/ktavro/doc.png"};
        QTest::newRow("each page") << false << QStringList{"cloudapp/ktavro/doc/doc_01.png", "cloudapp/ktavro/doc/doc_02.png"};
    }
    void backupCopiesIntoTheCloud()
    {
        QFETCH(bool, longPicture);
        QFETCH(QStringList, cloudFiles);
        const QString cloud = m_folder + QStringLiteral("/../cloud-") + QFileInfo(m_folder).fileName();
        KHostConfig::setValue(QStringLiteral("cloudRoot"), cloud);
        KHostConfig::setValue(QStringLiteral("userId"), QStringLiteral("u7"));
        KRegistry::setValue(kCloudKey, QString(), QStringLiteral("lumo cloud"));
        openDocument(Writer, 2);
        QPointer<KExportPictureDlg> dialog = showDialog();
        QVERIFY(!dialog->client()->backupCheckBox()->isHidden());
        dialog->client()->backupCheckBox()->setChecked(true);
        clickType(dialog, longPicture ? KExportTypeItem::LongPicture : KExportTypeItem::EachPage);
        exportAndWait(dialog);
        for (const QString &f : cloudFiles)
            QTRY_VERIFY2_WITH_TIMEOUT(QFileInfo::exists(cloud + QStringLiteral("/u7/") + f), qPrintable(f), 10000);
        KRegistry::remove(kCloudKey, QString());
        dialog->close();
        QDir(cloud).removeRecursively();
    }

    void secondExportIsRefused()
    {
        openDocument(Writer, 10);
        QPointer<KExportPictureDlg> dialog = showDialog();
        clickType(dialog, KExportTypeItem::EachPage);
        dialog->client()->exportButton()->click();
        if (!dialog->client()->manager()->isBusy())
            QSKIP("the export finished within the click");
        dialog->client()->exportButton()->click();
        QVERIFY(!m_tips.isEmpty());
        QCOMPARE(m_tips.first().text, QStringLiteral("Another export task is running,please wait and try again"));
        waitIdle(dialog);
        QCOMPARE(m_tips.last().title, QStringLiteral("Export success"));
        dialog->close();
    }

    // Export pressed while the first preview still renders runs once that preview is in.
    void exportWaitsForTheRunningPreview()
    {
        openDocument(Writer, 6);
        QPointer<KExportPictureDlg> dialog = showDialog();
        KExportPictureClientWidget *c = dialog->client();
        c->exportPreviewPage();
        if (!c->isPreviewRunning())
            QSKIP("this host renders the preview on the spot");
        c->exportButton()->click();
        QVERIFY(m_tips.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!m_tips.isEmpty(), 30000);
        QCOMPARE(m_tips.first().title, QStringLiteral("Export success"));
        QVERIFY(QFileInfo(picturePath(QStringLiteral("doc.png"))).size() > 0);
        dialog->close();
    }

    // A PDF long picture beyond the height limit asks first; the question and the answer go
    // to the collection server as reports of the PDF component.
    void tallPdfAsksFirst_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("exported");
        QTest::addColumn<QStringList>("reports");
        QTest::newRow("closed") << int(KTipsDialog::ResultClosed) << false
                                << QStringList{"PDF2photo|Over20Page|Popup", "PDF2photo|Over20Page|Close"};
        QTest::newRow("confirmed") << int(KTipsDialog::ResultOk) << true
                                   << QStringList{"PDF2photo|Over20Page|Popup", "PDF2photo|Over20Page|Confirm"};
    }
    void tallPdfAsksFirst()
    {
        QFETCH(int, answer);
        QFETCH(bool, exported);
        QFETCH(QStringList, reports);
        ktest::HttpRecorder server;
        QVERIFY(server.isListening());
        KHostConfig::setValue(QStringLiteral("serverUrl.InfoCollectServer"), server.url(QStringLiteral("/info")));
        KHostConfig::setValue(QStringLiteral("userId"), QString());
        openDocument(Pdf, 22);
        QPointer<KExportPictureDlg> dialog = showDialog();
        clickType(dialog, KExportTypeItem::LongPicture);
        m_answers << answer;
        exportAndWait(dialog);
        QCOMPARE(m_tips.first().title, QStringLiteral("Out of range"));
        QCOMPARE(m_tips.first().text, QStringLiteral("system will be composed with 20 pages as a long graph."));
        QCOMPARE(!exportOutputs(m_folder).isEmpty(), exported);
        QCOMPARE(m_tips.last().title == QLatin1String("Export success"), exported);
        QTRY_COMPARE_WITH_TIMEOUT(server.requests.size(), 2, 10000);
        for (int i = 0; i < 2; ++i)
            QCOMPARE(QString::fromUtf8(reportText(server.target(i))).section(QStringLiteral("&p3="), 1), reports.at(i));
        const QString first = QString::fromUtf8(reportText(server.target(0)));
        QVERIFY2(first.startsWith(QStringLiteral("dm=/vyx/pdf/info&action=click&")), qPrintable(first));
        QVERIFY2(first.contains(QStringLiteral("&pnum=3&p1=pdf_co&p2=-1&p3=")), qPrintable(first));
        QVERIFY(server.target(0).startsWith("/info?v=D1S1E2&d="));
        dialog->close();
    }

    // A spreadsheet picture beyond the edition's size limit asks before it is kept.
    void sheetSizeLimitAsks_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<QString>("action");
        QTest::newRow("continue output") << int(KTipsDialog::ResultContinueOutput) << true << "yes";
        QTest::newRow("cancel output") << int(KTipsDialog::ResultCancelOutput) << false << "cancel";
        QTest::newRow("closed") << int(KTipsDialog::ResultClosed) << false << "cancel";
    }
    void sheetSizeLimitAsks()
    {
        QFETCH(int, answer);
        QFETCH(bool, kept);
        // The smaller editions allow 3072 x 3072 pixels: a 4000 x 2500 sheet is beyond.
        KHostConfig::setEditionNumber(5);
        QVERIFY(ktest::writeText(m_folder + QStringLiteral("/sheet.csv.sheet"), "width A 4000\nheight 1 2500\n"));
        openDocument(Sheet, 1);
        QPointer<KExportPictureDlg> dialog = showDialog();
        selectQuality(dialog, 0);
        m_answers << answer;
        exportAndWait(dialog);
        QVERIFY(m_tips.size() >= 1);
        QCOMPARE(m_tips.first().title, QStringLiteral("Export Limit"));
        QVERIFY(m_tips.first().text.startsWith(QStringLiteral("Picture length and width product exceeds 10000*10000")));
        QCOMPARE(m_tips.first().buttons, int(KTipsDialog::ContinueOutputButton | KTipsDialog::CancelOutputButton));
        QTEST(lastExportEvent(QStringLiteral("pop")).value(QStringLiteral("action")), "action");
        QCOMPARE(lastExportEvent(QStringLiteral("pop")).value(QStringLiteral("type")), QStringLiteral("output_limit"));
        QCOMPARE(QFileInfo(picturePath(QStringLiteral("sheet.png"))).size() > 0, kept);
        QCOMPARE(m_tips.last().title == QLatin1String("Export success"), kept);
        const QStringList left = kept ? QStringList({"sheet.csv.sheet", "sheet.png"}) : QStringList({"sheet.csv.sheet"});
        QCOMPARE(exportOutputs(m_folder), left);
        dialog->close();
    }

    void choicesAreRemembered_data()
    {
        QTest::addColumn<int>("given");
        QTest::addColumn<int>("expected");
        QTest::newRow("the remembered format") << -1 << 2;
        QTest::newRow("the Save-As format wins") << 0 << 0;
    }
    void choicesAreRemembered()
    {
        QFETCH(int, given);
        openDocument(Writer, 2);
        QPointer<KExportPictureDlg> first = showDialog();
        first->client()->formatCombo()->setCurrentRow(2);
        QVERIFY(first->client()->pathEdit()->text().endsWith(QLatin1String("doc.bmp")));
        first->close();
        QTRY_VERIFY(first.isNull());
        QCOMPARE(kexportsettings::imageFormat(), 2);
        QPointer<KExportPictureDlg> second = showDialog(given);
        QTEST(second->client()->formatCombo()->currentRow(), "expected");
        second->close();
    }

    void browsedFolderIsRemembered()
    {
        openDocument(Writer, 2);
        const QString picked = m_folder + QStringLiteral("/picked");
        QVERIFY(QDir().mkpath(picked));
        KExportLineEdit::setFolderChooser([&](QWidget *, const QString &) { return picked; });
        QPointer<KExportPictureDlg> first = showDialog();
        first->client()->pathEdit()->browseButton()->click();
        KExportLineEdit::setFolderChooser({});
        const QString expected = QDir::toNativeSeparators(picked + QStringLiteral("/doc.png"));
        QCOMPARE(first->client()->pathEdit()->text(), expected);
        first->close();
        QTRY_VERIFY(first.isNull());
        QPointer<KExportPictureDlg> second = showDialog();
        QCOMPARE(second->client()->pathEdit()->text(), expected);
        exportAndWait(second);
        QVERIFY(QFileInfo(expected).size() > 0);
        second->close();
    }

    // Pictures of the dialog for a person to look at.
    void grabStates()
    {
        openDocument(Writer, 4);
        QPointer<KExportPictureDlg> dialog = showDialog();
        auto save = [](const char *state, const QImage &picture) {
            QVERIFY(saveStateGrab(QStringLiteral("exportdlg"), state, picture));
        };
        QTRY_VERIFY(dialog->client()->preview()->isReady());
        save("setup-long", dialog->grab().toImage());
        clickType(dialog, KExportTypeItem::EachPage);
        QTRY_VERIFY(dialog->client()->preview()->isReady());
        save("each-page", dialog->grab().toImage());
        dialog->client()->showExportTips();
        save("exporting", withOverlay(dialog, dialog->grab().toImage(), dialog->client()->loadingTips()));
        dialog->client()->hideExportTips();
        KTipsDialog finished(dialog, QStringLiteral("Export success"),
                             QStringLiteral("image outputed, open file or open output path to view!"),
                             KTipsDialog::OpenButton | KTipsDialog::OpenPathButton, KTipsDialog::CompleteIcon);
        finished.show();
        save("finished", finished.grab().toImage());
        finished.close();
        dialog->close();
    }

    // Construction to first preview, Export to loading tip, and the longest stall of the
    // interface thread while a PDF is exported.
    void responsiveness()
    {
        openDocument(Pdf, 15);
        QElapsedTimer clock;
        clock.start();
        auto *dialog = new KExportPictureDlg(nullptr, QStringLiteral("test_export"));
        QPointer<KExportPictureDlg> guard = dialog;
        dialog->setHostWindow(m_window.get());
        dialog->show();
        QVERIFY(dialog->client());
        const QImage templatePage = dialog->client()->previewPicture();
        QTRY_VERIFY_WITH_TIMEOUT(dialog->client()->preview()->pageImage() != templatePage
                                     && dialog->client()->preview()->isReady(),
                                 5000);
        const qint64 firstPreview = clock.elapsed();
        waitIdle(dialog);
        selectQuality(dialog, 1);
        QSignalSpy progress(dialog->client()->manager(), &KExportImageMgr::exportProgress);
        qint64 tipShown = -1;
        const qint64 longest = exportStall(dialog, &tipShown);
        qInfo("first preview %lld ms, loading tip %lld ms, longest stall %lld ms", firstPreview, tipShown, longest);
        QVERIFY(tipShown >= 0 && tipShown < 500);
        QVERIFY(firstPreview < 3000);
        QVERIFY(longest < 500);
        QCOMPARE(m_tips.last().title, QStringLiteral("Export success"));
        // The tip counted the pages as they were done.
        QVERIFY(progress.count() >= 2);
        QCOMPARE(dialog->client()->loadingTips()->text(), QStringLiteral("Exporting page 15 of 15, please wait..."));
        dialog->close();
    }

    // A 15-page writer document: where the document lets pages render on the worker, the
    // interface never stalls for more than 50 ms; where it demands the caller, pages render
    // between events and the stall stays near one page.
    void writerExportStall_data()
    {
        QTest::addColumn<bool>("longPicture");
        QTest::newRow("long picture") << true;
        QTest::newRow("each page") << false;
    }
    void writerExportStall()
    {
        QFETCH(bool, longPicture);
        openDocument(Writer, 15);
        QPointer<KExportPictureDlg> dialog = showDialog();
        clickType(dialog, longPicture ? KExportTypeItem::LongPicture : KExportTypeItem::EachPage);
        selectQuality(dialog, 1);
        // A stall of the code shows in every run; one of a busy machine's scheduler does not,
        // so the best of up to three runs counts.
        qint64 best = std::numeric_limits<qint64>::max();
        for (int run = 0; run < 3; ++run) {
            qint64 tipShown = -1;
            const qint64 longest = exportStall(dialog, &tipShown);
            const bool inCaller = dialog->client()->options().exportInCaller;
            qInfo("writer, 15 pages, %s: loading tip %lld ms, longest stall %lld ms (%s)",
                  longPicture ? "long picture" : "each page", tipShown, longest,
                  inCaller ? "rendered in the caller" : "rendered on the worker");
            QCOMPARE(m_tips.last().title, QStringLiteral("Export success"));
            QVERIFY(tipShown >= 0 && tipShown < 500);
            best = std::min(best, longest);
            if (best < (inCaller ? 500 : 50))
                break;
        }
        QVERIFY2(best < (dialog->client()->options().exportInCaller ? 500 : 50), qPrintable(QString::number(best)));
        dialog->close();
    }
};

KTAVRO_TEST_MAIN(TestExportPictureDlg)
#include "tst_exportpicturedlg.moc"
