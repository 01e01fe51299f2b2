#include "ktestdocuments.h"
#include "ktestmain.h"

#include <kexportimagethread.h>

#include <kdocumentloader.h>
#include <kxapplication.h>
#include <kxmainwindow.h>

#include <QBuffer>
#include <QImageReader>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

namespace {

const QRgb Ink = qRgb(20, 40, 90);

// Pages of given widths, each with a block of ink in its middle rows, saved as the host does.
class FakePage : public KUnknownImpl<IKPage>
{
public:
    explicit FakePage(QSize size) : m_size(size) {}
    long render(QImage *, int, int) override { return K_FAIL; }
    long saveAsPng(const QString &path, int) override
    {
        QImage page(m_size, QImage::Format_RGB32);
        page.fill(Qt::white);
        for (int y = m_size.height() / 4; y < m_size.height() * 3 / 4; ++y)
            for (int x = 0; x < m_size.width(); ++x)
                page.setPixel(x, y, Ink);
        return page.save(path, "png") ? K_OK : K_FAIL;
    }

private:
    QSize m_size;
};

class FakeRenderer : public KUnknownImpl<IKPageRenderer>
{
public:
    explicit FakeRenderer(QList<QSize> sizes) : m_sizes(std::move(sizes)) {}
    long pageCount(int *count) override
    {
        *count = m_sizes.size();
        return K_OK;
    }
    long page(int n, IKPage **page) override
    {
        if (n < 1 || n > m_sizes.size())
            return K_FAIL;
        *page = new FakePage(m_sizes.at(n - 1));
        return K_OK;
    }

private:
    QList<QSize> m_sizes;
};

QByteArray encoded(const QImage &image, const char *format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

// Opaque noise whose encoded size grows with the side and the number of levels.
QImage noise(int side, int levels)
{
    QImage image(side, side, QImage::Format_ARGB32);
    QRandomGenerator random(1);
    for (int y = 0; y < side; ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < side; ++x) {
            const int v = int(random.bounded(levels)) * (256 / levels);
            row[x] = qRgba(v, v / 2, 255 - v, 255);
        }
    }
    return image;
}

// A page of `height` white rows with ink on rows [from, to]; none when from < 0.
QImage pageWithInk(int height, int from, int to, QRgb ink = Ink)
{
    QImage page(40, height, QImage::Format_ARGB32);
    page.fill(Qt::white);
    for (int y = qMax(0, from); from >= 0 && y <= to; ++y)
        for (int x = 0; x < page.width(); ++x)
            page.setPixel(x, y, ink);
    return page;
}

} // namespace

class TestLegacyThread : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;
    QString m_boxText;
    QString m_boxTitle;
    QString m_boxButton;

    // Answers the next modal message box, remembering what it said.
    void answerMessageBox(int tries = 100)
    {
        if (tries == 100)
            m_boxText.clear();
        QTimer::singleShot(50, this, [this, tries] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box) {
                if (tries > 0)
                    answerMessageBox(tries - 1);
                return;
            }
            m_boxText = box->text();
            m_boxTitle = box->windowTitle();
            if (!box->buttons().isEmpty())
                m_boxButton = box->buttons().first()->text();
            box->accept();
        });
    }

    bool exportWith(KExportimageThread &thread, const QString &output, bool *finishedOk)
    {
        QSignalSpy finished(&thread, &KExportimageThread::finishedExportImage);
        if (!thread.exportDocument(QStringLiteral("VYX"), output))
            return false;
        if (!finished.wait(60000) || finished.count() != 1)
            return false;
        *finishedOk = finished.first().first().toBool();
        thread.wait();
        return true;
    }

private slots:
    void pageLimit_data()
    {
        QTest::addColumn<int>("pages");
        QTest::addColumn<bool>("exported");
        QTest::newRow("25 pages") << 25 << true;
        QTest::newRow("26 pages") << 26 << false;
    }

    // Through the host's own writer document, reached from its window.
    void pageLimit()
    {
        QFETCH(int, pages);
        QFETCH(bool, exported);
        const QString doc = m_tmp.filePath(QStringLiteral("doc%1.html").arg(pages));
        QVERIFY(ktest::writeText(doc, ktest::blockPagesHtml(pages)));
        const KOpenedDocument opened = KDocumentLoader::open(doc);
        QVERIFY2(opened.object, qPrintable(opened.error));
        KxMainWindow window;
        window.openDocument(opened.object.get(), QFileInfo(doc).fileName());

        KExportimageThread thread;
        thread.setHostWindow(&window);
        const QString output = m_tmp.filePath(QStringLiteral("out%1/picture.png").arg(pages));
        answerMessageBox();
        QSignalSpy finished(&thread, &KExportimageThread::finishedExportImage);
        QCOMPARE(thread.exportDocument(QStringLiteral("vyx"), output), exported);
        if (!exported) {
            QCOMPARE(m_boxText, QStringLiteral("tavro image length out of range, please adjust less than 25 page doc!"));
            QCOMPARE(m_boxTitle, QStringLiteral("export tavro image"));
            QCOMPARE(m_boxButton, QStringLiteral("OK(&O)"));
            QVERIFY(!thread.isRunning());
            QVERIFY(!QFileInfo::exists(output));
            return;
        }
        QVERIFY(finished.wait(120000));
        QCOMPARE(finished.first().first().toBool(), true);
        QVERIFY(m_boxText.isEmpty());
        const QImage picture(output);
        QVERIFY(!picture.isNull());
        QVERIFY(QFileInfo(output).size() <= KExportimageThread::TargetSize);
        // Every page kept its block of ink: 25 dark bands, top to bottom.
        int bands = 0;
        bool inBand = false;
        for (int y = 0; y < picture.height(); ++y) {
            const bool dark = qGray(picture.pixel(picture.width() / 2, y)) < 64;
            bands += dark && !inBand;
            inBand = dark;
        }
        QCOMPARE(bands, pages);
    }

    void otherComponentsAreRefused()
    {
        KExportimageThread thread;
        thread.setPageRendererSource([] { return KComPtr<IKPageRenderer>(new FakeRenderer({QSize(50, 50)})); });
        const QString output = m_tmp.filePath(QStringLiteral("other/picture.png"));
        QVERIFY(!thread.exportDocument(QStringLiteral("vyd"), output));
        QVERIFY(!thread.isRunning());
        QVERIFY(!QFileInfo::exists(output));
    }

    // The pages are the host's work files; they never go where the user keeps files.
    void outputFolderKeepsItsFiles()
    {
        const QString folder = m_tmp.filePath(QStringLiteral("kept"));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/sub")));
        QVERIFY(ktest::writeText(folder + QStringLiteral("/1.png"), "mine"));
        QVERIFY(ktest::writeText(folder + QStringLiteral("/sub/notes.txt"), "mine too"));
        KExportimageThread thread;
        thread.setPageRendererSource([] { return KComPtr<IKPageRenderer>(new FakeRenderer({QSize(60, 80)})); });
        bool ok = false;
        QVERIFY(exportWith(thread, folder + QStringLiteral("/picture.png"), &ok));
        QVERIFY(ok);
        QFile mine(folder + QStringLiteral("/1.png"));
        QVERIFY(mine.open(QIODevice::ReadOnly));
        QCOMPARE(mine.readAll(), QByteArray("mine"));
        QVERIFY(QFileInfo::exists(folder + QStringLiteral("/sub/notes.txt")));
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);
    }

    void trimPage_data()
    {
        QTest::addColumn<QImage>("page");
        QTest::addColumn<bool>("first");
        QTest::addColumn<bool>("last");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("inkFrom"); // -1: all white
        QTest::addColumn<int>("inkTo");
        QTest::newRow("middle page") << pageWithInk(100, 40, 59) << false << false << 24 << 2 << 21;
        QTest::newRow("first page") << pageWithInk(100, 40, 59) << true << false << 43 << 21 << 40;
        QTest::newRow("last page") << pageWithInk(100, 40, 59) << false << true << 43 << 2 << 21;
        QTest::newRow("only page") << pageWithInk(100, 40, 59) << true << true << 62 << 21 << 40;
        QTest::newRow("ink at the edges") << pageWithInk(100, 0, 99) << true << true << 100 << 0 << 99;
        QTest::newRow("one row of ink, padded") << pageWithInk(100, 50, 50) << false << false << 10 << 2 << 2;
        QTest::newRow("blank page") << pageWithInk(100, -1, -1) << false << false << 10 << -1 << -1;
        QTest::newRow("nearly white is ink") << pageWithInk(100, 30, 31, qRgb(255, 255, 254)) << false << false << 10 << 2 << 3;
    }

    void trimPage()
    {
        QFETCH(QImage, page);
        QFETCH(bool, first);
        QFETCH(bool, last);
        QFETCH(int, height);
        QFETCH(int, inkFrom);
        QFETCH(int, inkTo);
        const QImage trimmed = KExportimageThread::trimPage(page, first, last);
        QCOMPARE(trimmed.size(), QSize(page.width(), height));
        for (int y = 0; y < trimmed.height(); ++y) {
            const bool ink = trimmed.pixel(5, y) != 0xFFFFFFFFu;
            QVERIFY2(ink == (y >= inkFrom && y <= inkTo && inkFrom >= 0), qPrintable(QString::number(y)));
        }
    }

    // Pages 300, 200, 300 and a last one 100 wide: centred, but the last page flush left.
    void lastNarrowPageFlushLeft()
    {
        KExportimageThread thread;
        thread.setPageRendererSource([] {
            return KComPtr<IKPageRenderer>(
                new FakeRenderer({QSize(300, 80), QSize(200, 80), QSize(300, 80), QSize(100, 80)}));
        });
        const QString output = m_tmp.filePath(QStringLiteral("narrow/picture.png"));
        bool ok = false;
        QVERIFY(exportWith(thread, output, &ok));
        QVERIFY(ok);
        const QImage picture = QImage(output).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(picture.width(), 300);
        // Ink on rows 20..59 of 80; trimmed heights 62 (20 white rows above are all there are),
        // 44, 44 and 62.
        const int middleOf[] = {40, 62 + 22, 106 + 22, 150 + 22};
        const int left[] = {0, 50, 0, 0};
        const int right[] = {299, 249, 299, 99};
        for (int i = 0; i < 4; ++i) {
            const int y = middleOf[i];
            QCOMPARE(picture.pixel(left[i], y), Ink | 0xFF000000u);
            QCOMPARE(picture.pixel(right[i], y), Ink | 0xFF000000u);
            if (left[i] > 0)
                QCOMPARE(picture.pixel(left[i] - 1, y), 0xFFFFFFFFu);
            if (right[i] < 299)
                QCOMPARE(picture.pixel(right[i] + 1, y), 0xFFFFFFFFu);
        }
        QCOMPARE(picture.height(), 62 + 44 + 44 + 62);
    }

    void encodeBounded_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("levels");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<int>("quality"); // -1: the ordinary PNG
        QTest::newRow("small: PNG as it is") << 600 << 2 << QByteArray("png") << -1;
        QTest::newRow("1.5 MiB: strong PNG") << 1000 << 16 << QByteArray("png") << 0;
        QTest::newRow("1.7 MiB, strong PNG too big: JPEG 80") << 1200 << 8 << QByteArray("jpeg") << 80;
        QTest::newRow("3 MiB: JPEG 60") << 1400 << 16 << QByteArray("jpeg") << 60;
        QTest::newRow("huge: JPEG 20 at least") << 3200 << 16 << QByteArray("jpeg") << 20;
    }

    void encodeBounded()
    {
        QFETCH(int, side);
        QFETCH(int, levels);
        QFETCH(QByteArray, format);
        QFETCH(int, quality);
        const QImage picture = noise(side, levels);
        QByteArray bytes = KExportimageThread::encodeBounded(picture);
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QCOMPARE(QImageReader::imageFormat(&buffer), format);
        const QImage opaque = picture.convertToFormat(QImage::Format_RGB32);
        const QByteArray expected = quality < 0 ? encoded(picture, "png", KExportimageThread::PngQuality)
                                                : encoded(opaque, format == "png" ? "png" : "jpg", quality);
        QCOMPARE(bytes.size(), expected.size());
        QVERIFY(bytes == expected);
        if (quality != 20)
            QVERIFY(bytes.size() <= KExportimageThread::TargetSize);
    }

    void stackPagesWithoutPagesIsNull()
    {
        QVERIFY(KExportimageThread::stackPages({}).isNull());
        QVERIFY(KExportimageThread::stackPages({QImage()}).isNull());
    }
};

KTAVRO_TEST_MAIN(TestLegacyThread)
#include "tst_legacythread.moc"
