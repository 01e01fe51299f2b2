#include "ktestmain.h"

#include <kpictureviewer.h>

#include <QScrollBar>
#include <QTemporaryDir>

namespace {

// A long picture with bands a person and a test can tell apart: green on top, red near the
// bottom (past the rows a raster painter reaches), blue for the last rows, grey between;
// black down the right edge.
const QRgb kTop = qRgb(0, 160, 0), kNearEnd = qRgb(220, 0, 0), kEnd = qRgb(0, 0, 230), kMiddle = qRgb(200, 200, 200);
const QRgb kRightEdge = qRgb(0, 0, 0); // the last kEdge columns
constexpr int kWidth = 1200, kHeight = 40000, kEdge = 50;

QImage longPicture()
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
        const QRgb colour = y < 200 ? kTop : y >= kHeight - 20 ? kEnd : y >= kHeight - 300 ? kNearEnd : kMiddle;
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        std::fill(line, line + kWidth - kEdge, colour);
        std::fill(line + kWidth - kEdge, line + kWidth, kRightEdge);
    }
    image.setDotsPerMeterX(5906); // 150 dpi
    image.setDotsPerMeterY(5906);
    return image;
}

bool near(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) < 24 && qAbs(qGreen(a) - qGreen(b)) < 24 && qAbs(qBlue(a) - qBlue(b)) < 24;
}

} // namespace

class TestPictureViewer : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;
    QString m_longFile;
    QImage m_long;

    std::unique_ptr<KPictureViewer> shownViewer()
    {
        auto viewer = std::make_unique<KPictureViewer>(m_longFile, m_long);
        viewer->resize(1000, 800);
        viewer->show();
        if (!QTest::qWaitForWindowExposed(viewer.get()))
            return nullptr;
        return viewer;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        m_longFile = m_tmp.filePath(QStringLiteral("long.png"));
        QVERIFY(longPicture().save(m_longFile));
        QCOMPARE(kpicture::load(m_longFile, &m_long), QString());
    }

    void longPictureIsReadWithSizeAndResolution()
    {
        QCOMPARE(m_long.size(), QSize(kWidth, kHeight));
        QCOMPARE(m_long.format(), QImage::Format_RGB32);
        QCOMPARE(m_long.pixel(10, kHeight - 1), kEnd);
        const KPictureViewer viewer(m_longFile, m_long);
        QVERIFY2(viewer.statusText().startsWith(QStringLiteral("1200 x 40000 pixels, 150 dpi, ")), qPrintable(viewer.statusText()));
        QVERIFY(viewer.windowTitle().contains(QStringLiteral("long.png")));
        QVERIFY(viewer.windowTitle().contains(QStringLiteral("1200 x 40000")));
    }

    void picturesWithTransparencyKeepIt()
    {
        QImage source(40, 30, QImage::Format_ARGB32);
        source.fill(qRgba(255, 0, 0, 128));
        const QString file = m_tmp.filePath(QStringLiteral("half.png"));
        QVERIFY(source.save(file));
        QImage read;
        QCOMPARE(kpicture::load(file, &read), QString());
        QCOMPARE(read.format(), QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(qAlpha(read.pixel(5, 5)), 128);
    }

    void resolutionIsRounded_data()
    {
        QTest::addColumn<int>("dotsPerMeter");
        QTest::addColumn<int>("dpi");
        QTest::newRow("96 dpi") << 3780 << 96;
        QTest::newRow("300 dpi") << 11811 << 300;
        QTest::newRow("600 dpi") << 23622 << 600;
        QTest::newRow("unknown") << 0 << 0;
        QTest::newRow("nonsense") << -5 << 0;
    }

    void resolutionIsRounded()
    {
        QFETCH(int, dotsPerMeter);
        QFETCH(int, dpi);
        QCOMPARE(kpicture::dotsPerInch(dotsPerMeter), dpi);
    }

    void fitScale_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("area");
        QTest::addColumn<double>("scale");
        QTest::newRow("larger, whole") << QSize(1600, 1200) << QSize(800, 800) << 0.5;
        QTest::newRow("taller, whole") << QSize(800, 1600) << QSize(800, 800) << 0.5;
        QTest::newRow("smaller, never enlarged") << QSize(100, 50) << QSize(800, 600) << 1.0;
        QTest::newRow("long, by width beside the scroll bar") << QSize(1600, 40000) << QSize(816, 600) << 0.5;
        QTest::newRow("long and narrow, full size") << QSize(300, 40000) << QSize(800, 600) << 1.0;
        QTest::newRow("wide panorama, whole") << QSize(20000, 1000) << QSize(1000, 800) << 0.05;
        QTest::newRow("width decides") << QSize(1000, 700) << QSize(500, 400) << 0.5;
        QTest::newRow("empty area") << QSize(100, 100) << QSize(0, 0) << 1.0;
    }

    void fitScale()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, area);
        QFETCH(double, scale);
        QCOMPARE(KPictureView::fitScale(picture, area, 16), scale);
    }

    void keysAndWheelZoom_data()
    {
        QTest::addColumn<QString>("keys"); // typed after "1" (100 %); "w" is Ctrl+wheel up, "W" down
        QTest::addColumn<double>("scale");
        QTest::addColumn<bool>("fitted");
        QTest::newRow("100 %") << "" << 1.0 << false;
        QTest::newRow("zoom in") << "+" << 1.5 << false;
        QTest::newRow("zoom in twice") << "++" << 2.0 << false;
        QTest::newRow("equals zooms in") << "=" << 1.5 << false;
        QTest::newRow("zoom out") << "-" << 0.75 << false;
        QTest::newRow("out and back") << "-+" << 1.0 << false;
        QTest::newRow("fit") << "0" << -1.0 << true; // the view's own fit, checked apart
        QTest::newRow("fit then 100 %") << "01" << 1.0 << false;
        QTest::newRow("wheel in") << "w" << 1.25 << false;
        QTest::newRow("wheel out") << "W" << 0.8 << false;
        QTest::newRow("largest zoom holds") << QString(20, QLatin1Char('+')) << KPictureView::kMaxScale << false;
    }

    void keysAndWheelZoom()
    {
        QFETCH(QString, keys);
        QFETCH(double, scale);
        QFETCH(bool, fitted);
        auto viewer = shownViewer();
        QVERIFY(viewer);
        KPictureView *view = viewer->view();
        if (fitted) // depends on the viewport the style leaves
            scale = view->fitScale();
        QVERIFY(view->isFitted());
        QTest::keyClick(view, Qt::Key_1);
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum() / 2);
        const QPoint at(300, 200);
        for (const QChar key : keys) {
            if (key.toLower() == QLatin1Char('w')) {
                const QPointF before = view->pictureAt(at);
                const int delta = key == QLatin1Char('w') ? 120 : -120;
                QWheelEvent wheel(at, view->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                                  Qt::ControlModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(view->viewport(), &wheel);
                // The row under the pointer stays there.
                QVERIFY(qAbs(view->pictureAt(at).y() - before.y()) < 2);
            } else {
                QTest::keyClick(view, key.toLatin1());
            }
        }
        QVERIFY(qAbs(view->scale() - scale) < 1e-6);
        QCOMPARE(view->isFitted(), fitted);
        QVERIFY(viewer->statusText().endsWith(QStringLiteral("%1 %%2").arg(qRound(scale * 100)).arg(fitted ? " (fit)" : "")));
    }

    void scrollingReachesEveryRow_data()
    {
        QTest::addColumn<QString>("zoom"); // key giving the zoom
        QTest::newRow("fit") << "0";
        QTest::newRow("100 %") << "1";
        QTest::newRow("150 %") << "+";
    }

    void scrollingReachesEveryRow()
    {
        QFETCH(QString, zoom);
        auto viewer = shownViewer();
        QVERIFY(viewer);
        KPictureView *view = viewer->view();
        QTest::keyClick(view, Qt::Key_1);
        QTest::keyClick(view, zoom.at(0).toLatin1());
        const QSize area = view->viewport()->size();
        const int x = area.width() / 2;

        QTest::keyClick(view, Qt::Key_End);
        view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum());
        QImage shown = view->viewport()->grab().toImage();
        QVERIFY(near(shown.pixel(area.width() - 3, 5), kRightEdge));
        QVERIFY(qAbs(view->pictureAt(QPointF(x, area.height())).y() - kHeight) < 1);
        QVERIFY2(near(shown.pixel(x, area.height() - 3), kEnd), qPrintable(QString::number(shown.pixel(x, area.height() - 3), 16)));
        QVERIFY(near(shown.pixel(x, area.height() - 60), kNearEnd));
        QVERIFY(near(shown.pixel(x, 5), kMiddle));
        if (zoom == QLatin1String("0"))
            shown.save(ktest::artifactPath(QStringLiteral("viewer-long-end-fit.png")));

        // Page Down from the top walks the whole picture without skipping a screen.
        QTest::keyClick(view, Qt::Key_Home);
        QCOMPARE(view->verticalScrollBar()->value(), 0);
        QVERIFY(near(view->viewport()->grab().toImage().pixel(x, 5), kTop));
        int pages = 0;
        for (int last = -1; view->verticalScrollBar()->value() != last && pages < 1000; ++pages) {
            last = view->verticalScrollBar()->value();
            QTest::keyClick(view, Qt::Key_PageDown);
            QVERIFY(view->verticalScrollBar()->value() - last <= area.height());
        }
        QCOMPARE(view->verticalScrollBar()->value(), view->verticalScrollBar()->maximum());
        QVERIFY(pages >= int(kHeight * view->scale() / area.height()));

        QTest::keyClick(view, Qt::Key_Up);
        QVERIFY(view->verticalScrollBar()->value() < view->verticalScrollBar()->maximum());
    }

    void resizingKeepsTheEndInView_data()
    {
        QTest::addColumn<bool>("atEnd");
        QTest::newRow("at the end") << true;
        QTest::newRow("in the middle") << false;
    }

    void resizingKeepsTheEndInView()
    {
        QFETCH(bool, atEnd);
        auto viewer = shownViewer();
        QVERIFY(viewer);
        KPictureView *view = viewer->view();
        QTest::keyClick(view, Qt::Key_1);
        QScrollBar *bar = view->verticalScrollBar();
        bar->setValue(atEnd ? bar->maximum() : bar->maximum() / 2);
        const int before = bar->value();
        viewer->resize(900, 600);
        QTRY_VERIFY(bar->maximum() > before);
        QCOMPARE(bar->value(), atEnd ? bar->maximum() : before);
    }

    void windowIsGrabbedForLooking_data()
    {
        QTest::addColumn<QString>("zoom");
        QTest::addColumn<QString>("name");
        QTest::newRow("fit") << "0" << "viewer-fit.png";
        QTest::newRow("100 %") << "1" << "viewer-100.png";
    }

    void windowIsGrabbedForLooking()
    {
        QFETCH(QString, zoom);
        QFETCH(QString, name);
        // A page-like picture: text lines on white, so scaling faults are visible.
        QImage page(1588, 33000, QImage::Format_RGB32);
        page.fill(Qt::white);
        for (int y = 40; y + 20 < page.height(); y += 36) {
            for (int row = y; row < y + 14; ++row) {
                auto *line = reinterpret_cast<QRgb *>(page.scanLine(row));
                const int end = 120 + (y * 7919 % 1200);
                std::fill(line + 100, line + end, qRgb(40, 40, 40));
            }
        }
        KPictureViewer viewer(QStringLiteral("page.png"), page);
        viewer.resize(1000, 800);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QTest::keyClick(viewer.view(), zoom.at(0).toLatin1());
        const QImage shot = viewer.grab().toImage();
        QVERIFY(shot.save(ktest::artifactPath(name)));
        // The picture's white fills the middle of the view at both zooms.
        const QImage inner = viewer.view()->viewport()->grab().toImage();
        QCOMPARE(inner.pixel(inner.width() / 2, 10), qRgb(255, 255, 255));
    }
};

KTAVRO_TEST_MAIN(TestPictureViewer)
#include "tst_pictureviewer.moc"
