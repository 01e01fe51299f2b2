#include "ktestmain.h"
#include "ktestexport.h"

#include <kexportimagemgr.h>
#include <kexportimagetaskqz.h>
#include <kexportimagetaskvyd.h>
#include <khostconfig.h>
#include <kpresentationbackend.h>
#include <ksheetbackend.h>
#include <kxapplication.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

namespace {

using ktest::Outcome;
const auto run = ktest::runTask;

const QRgb kAccent = qRgb(43, 76, 126); // the deck's top bar and bottom rule

// Rows at the top (or bottom) of column x that are white.
int whiteRowsFrom(const QImage &picture, int x, bool fromTop)
{
    int rows = 0;
    for (int i = 0; i < picture.height(); ++i) {
        const int y = fromTop ? i : picture.height() - 1 - i;
        if (qRed(picture.pixel(x, y)) < 250)
            break;
        ++rows;
    }
    return rows;
}

const QString kSheetLayout = QStringLiteral("width A 100\nwidth B 80\nwidth C 60\n"
                                            "height 1 20\nheight 2 20\nheight 3 20\n");

} // namespace

class TestSlideSheetTasks : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_tmp.reset(new QTemporaryDir);
        m_dir.setPath(m_tmp->path());
    }
    void cleanup()
    {
        KxApplication::coreApplication()->setActiveDocument(nullptr);
        KHostConfig::reload();
    }

    // Slides meet edge to edge; edge bands and half gaps pad only where the options ask.
    void slidesStackEdgeToEdge_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QList<PageRange>>("selected");
        QTest::addColumn<int>("pageGap");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("bottom");
        QTest::addColumn<int>("above"); // white rows above the first slide
        QTest::addColumn<int>("below");
        const QList<PageRange> all;
        const QList<PageRange> second{{2, 2}};
        QTest::newRow("three at 100 %") << 96 << all << 0 << 0 << 0 << 0 << 0;
        QTest::newRow("three at 200 %") << 192 << all << 0 << 0 << 0 << 0 << 0;
        QTest::newRow("one with bands, automatic gap") << 192 << second << 0 << 20 << 25 << 40 + 15 << 15 + 50;
        QTest::newRow("one with bands, gap 30") << 192 << second << 30 << 20 << 25 << 40 + 30 << 30 + 50;
    }

    void slidesStackEdgeToEdge()
    {
        QFETCH(int, dpi);
        QFETCH(QList<PageRange>, selected);
        QFETCH(int, pageGap);
        QFETCH(int, top);
        QFETCH(int, bottom);
        QFETCH(int, above);
        QFETCH(int, below);
        openDeck(3);
        ExportImageOptions o = options(QStringLiteral("deck.png"));
        o.dpi = dpi;
        o.pages = selected;
        o.pageGap = pageGap;
        o.firstPageTop = top;
        o.lastPageBottom = bottom;
        KExportImageTaskVyd task;
        const Outcome out = run(task, o);
        QCOMPARE(out.code, KExportImageTask::Success);
        const int count = selected.isEmpty() ? 3 : 1;
        QCOMPARE(out.text("pageCount"), QString::number(count));
        const QImage picture = out.picture();
        const int slide = 720 * dpi / 96;
        QCOMPARE(picture.size(), QSize(1280 * dpi / 96, above + count * slide + below));
        QCOMPARE(whiteRowsFrom(picture, 2, true), above);
        QCOMPARE(whiteRowsFrom(picture, 2, false), below);
        for (int k = 0; k < count; ++k) {
            QCOMPARE(picture.pixel(2, above + k * slide), kAccent); // top bar right at the seam
            QCOMPARE(picture.pixel(2, above + k * slide + slide - 1), kAccent); // bottom rule
        }
    }

    void slidesPerPageAndPreview()
    {
        openDeck(3);
        ExportImageOptions o = options(QStringLiteral("Deck"), false);
        o.pages = {{2, 3}};
        KExportImageTaskVyd task;
        QCOMPARE(task.pageCount(), 3);
        QCOMPARE(task.previewImage().size(), QSize(1280, 720));
        const Outcome out = run(task, o);
        QCOMPARE(out.code, KExportImageTask::Success);
        QCOMPARE(QDir(m_dir.filePath(QStringLiteral("Deck"))).entryList(QDir::Files),
                 QStringList({"Deck_02.png", "Deck_03.png"}));
        QCOMPARE(QImage(m_dir.filePath(QStringLiteral("Deck/Deck_02.png"))).size(), QSize(1280, 720));
    }

    void sheetPictureScalesTrimsAndKeepsMargin_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("scale");
        QTest::newRow("100 %") << 96 << 1;
        QTest::newRow("200 %") << 192 << 2;
        QTest::newRow("600 %") << 576 << 6;
    }

    void sheetPictureScalesTrimsAndKeepsMargin()
    {
        QFETCH(int, dpi);
        QFETCH(int, scale);
        openSheet(threeByThree(), kSheetLayout);
        ExportImageOptions o = options(QStringLiteral("sheet.png"));
        o.dpi = dpi;
        KExportImageTaskQz task;
        const Outcome out = run(task, o);
        QCOMPARE(out.code, KExportImageTask::Success);
        QCOMPARE(out.text("pageCount"),
                 QStringLiteral("3,3,%1,%2").arg(240 * scale).arg(60 * scale));
        const QImage picture = out.picture();
        picture.save(ktest::artifactPath(QStringLiteral("sheet-%1.png").arg(dpi)));
        QCOMPARE(picture.size(), QSize(240 * scale + 30, 60 * scale + 30));
        QCOMPARE(qRound(picture.dotsPerMeterX() * 0.0254), dpi);
        QCOMPARE(whiteRowsFrom(picture, 40, true), 15);
        QCOMPARE(whiteRowsFrom(picture, 40, false), 15);
        QVERIFY(qRed(picture.pixel(15, 15)) < 250);              // grid corner just inside the margin
        QCOMPARE(picture.pixel(14, 40), qRgb(255, 255, 255));     // margin left of it
        QCOMPARE(picture.pixel(picture.width() - 15, 40), qRgb(255, 255, 255));
        QVERIFY(qRed(picture.pixel(picture.width() - 16, 40)) < 250);
    }

    // 3000 rows of 20 pixels at 200 %: far past the rows one painter can address.
    void tallSheetIsPaintedToItsLastRow()
    {
        QList<QStringList> cells;
        for (int r = 1; r <= 3000; ++r)
            cells << QStringList{QStringLiteral("row %1").arg(r), QString::number(r * 7)};
        openSheet(cells, QString());
        ExportImageOptions o = options(QStringLiteral("tall.bmp"));
        o.dpi = 192;
        KExportImageTaskQz task;
        const Outcome out = run(task, o);
        QCOMPARE(out.code, KExportImageTask::Success);
        const QImage picture = out.picture();
        QVERIFY(picture.height() > 3000 * 20 * 2);
        // Every row's bottom grid line is there, the last one included.
        int lines = 0;
        for (int y = 15; y < picture.height() - 15; ++y)
            lines += qRed(picture.pixel(picture.width() / 2, y)) < 250 ? 1 : 0;
        QVERIFY2(lines >= 3000, qPrintable(QString::number(lines)));
        // Text of the last row, left of the first column's middle.
        bool text = false;
        for (int y = picture.height() - 15 - 38; y < picture.height() - 17 && !text; ++y) {
            for (int x = 20; x < 100 && !text; ++x)
                text = qRed(picture.pixel(x, y)) < 200;
        }
        QVERIFY(text);
    }

    void sheetFailuresSayWhy_data()
    {
        QTest::addColumn<QList<QStringList>>("cells");
        QTest::addColumn<bool>("longPicture");
        QTest::addColumn<QString>("why");
        QList<QStringList> wide{QStringList()};
        for (int c = 0; c < 20000; ++c)
            wide[0] << QStringLiteral("x");
        QTest::newRow("empty") << QList<QStringList>() << true << "The sheet is empty";
        QTest::newRow("too wide") << wide << true << "65535";
        QTest::newRow("per page, which sheets do not do") << threeByThree() << false << "";
    }

    void sheetFailuresSayWhy()
    {
        QFETCH(QList<QStringList>, cells);
        QFETCH(bool, longPicture);
        QFETCH(QString, why);
        openSheet(cells, QString());
        KExportImageTaskQz task;
        const Outcome out = run(task, options(QStringLiteral("Sheet.jpg"), longPicture));
        QCOMPARE(out.code, KExportImageTask::Failed);
        QVERIFY2(out.text("detail").contains(why), qPrintable(out.text("detail")));
        QVERIFY(m_dir.isEmpty());
    }

    void sheetExportStopsWhenCancelled()
    {
        QList<QStringList> cells;
        for (int r = 1; r <= 20000; ++r)
            cells << QStringList{QStringLiteral("r%1").arg(r), QStringLiteral("b"), QStringLiteral("c")};
        openSheet(cells, QString());
        ExportImageOptions o = options(QStringLiteral("big.bmp"));
        o.dpi = 192;
        KExportImageTaskQz task;
        QSignalSpy finished(&task, &KExportImageTask::exportFinished);
        task.startTask(o);
        QThread::msleep(150);
        QElapsedTimer clock;
        clock.start();
        task.cancel();
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).value<KExportImageTask::ExitCode>(), KExportImageTask::Canceled);
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("big.bmp"))));
    }

    void drawingObjectRightOfTheCellsWidensThePicture()
    {
        QImage logo(50, 30, QImage::Format_RGB32);
        logo.fill(QColor(200, 40, 40));
        QVERIFY(logo.save(m_dir.filePath(QStringLiteral("logo.png"))));
        openSheet(threeByThree(), kSheetLayout + QStringLiteral("picture E1 logo.png\n"));
        KExportImageTaskQz task;
        const Outcome out = run(task, options(QStringLiteral("wide.png")));
        QCOMPARE(out.code, KExportImageTask::Success);
        QCOMPARE(out.text("pageCount"), QStringLiteral("3,5,368,60"));
        const QImage picture = out.picture();
        QCOMPARE(picture.width(), 240 + 64 + 64 + 30); // D and E at their default width
        QCOMPARE(picture.pixel(15 + 304 + 10, 15 + 10), qRgb(200, 40, 40));
    }

    void framingCutsTheWhiteBorderAndAddsTheMargin()
    {
        QImage painted(60, 40, QImage::Format_RGB32);
        painted.fill(Qt::white);
        painted.setPixel(30, 20, qRgb(0, 0, 0));
        painted.setPixel(10, 5, qRgb(0, 0, 0));
        const QImage framed = KExportImageTaskQz::framed(painted);
        QCOMPARE(framed.size(), QSize(21 + 30, 16 + 30));
        QCOMPARE(framed.pixel(15, 15), qRgb(0, 0, 0));
        QCOMPARE(framed.pixel(14, 15), qRgb(255, 255, 255));
        painted.fill(Qt::white);
        QCOMPARE(KExportImageTaskQz::framed(painted).size(), QSize(31, 31)); // one pixel kept
    }

    void areaTooLargeIsReportedThroughTheManager_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<bool>("tooLarge");
        QTest::newRow("3200 x 3200 above 3072") << 192 << true;
        QTest::newRow("1600 x 1600 within") << 96 << false;
    }

    void areaTooLargeIsReportedThroughTheManager()
    {
        QFETCH(int, dpi);
        QFETCH(bool, tooLarge);
        KHostConfig::setEditionNumber(5);
        openSheet({{QStringLiteral("x")}}, QStringLiteral("width A 1600\nheight 1 1600\n"));
        KExportImageMgr manager(new KExportImageTaskQz, nullptr);
        QSignalSpy finished(&manager, &KExportImageMgr::exportFinished);
        ExportImageOptions o = options(QStringLiteral("big.png"));
        o.dpi = dpi;
        QVERIFY(manager.startExport(o));
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.at(0).at(0).value<KExportImageTask::ExitCode>(), KExportImageTask::Success);
        QCOMPARE(manager.areaTooLarge(), tooLarge);
    }

    void sheetExportsInTheCaller()
    {
        openSheet(threeByThree(), kSheetLayout);
        KExportImageTaskQz task;
        ExportImageOptions o = options(QStringLiteral("caller.png"));
        o.exportInCaller = true;
        QSignalSpy spy(&task, &KExportImageTask::exportFinished);
        task.startTask(o);
        QVERIFY(QFileInfo::exists(m_dir.filePath(QStringLiteral("caller.png")))); // written before the worker ran
        task.wait();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<KExportImageTask::ExitCode>(), KExportImageTask::Success);
        QCOMPARE(task.pageCount(), 1);
        QCOMPARE(task.previewImage().size(), QSize(270, 90));
    }

private:
    void openDeck(int slides)
    {
        QString markdown;
        for (int i = 1; i <= slides; ++i)
            markdown += QStringLiteral("# Slide %1\n\nBody of slide %1\n\n---\n").arg(i);
        setDocument(KPresentationBackend::fromDeck(markdown, m_dir.path()), "vyd");
    }

    void openSheet(const QList<QStringList> &cells, const QString &sideFile)
    {
        setDocument(KSheetBackend::fromCells(cells, sideFile, m_dir.path()), "qz");
    }

    template <typename Backend>
    void setDocument(Backend *backend, const char *component)
    {
        QCoreApplication::setApplicationName(QLatin1String(component));
        KxApplication::coreApplication()->setActiveDocument(backend);
        backend->Release(); // the application holds it now
    }

    static QList<QStringList> threeByThree()
    {
        return {{"Name", "Qty", "Ok"}, {"Bolts", "120", "yes"}, {"Nuts", "75", "no"}};
    }

    ExportImageOptions options(const QString &name, bool longPicture = true) const
    {
        return ktest::exportOptions(m_dir.absolutePath(), name, longPicture);
    }

    QScopedPointer<QTemporaryDir> m_tmp;
    QDir m_dir;
};

KTAVRO_TEST_MAIN(TestSlideSheetTasks)
#include "tst_slidesheettasks.moc"
