#include "ktestmain.h"

#include <jpegencoder.h>
#include <picturewriter.h>
#include <pngencoder.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QImage noise(const QSize &size, quint32 seed)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = 0xff000000u | random.generate();
    }
    return image;
}

// Takes the first `room` bytes written to it, then refuses every write.
class FullDevice : public QIODevice
{
public:
    explicit FullDevice(qint64 room) : m_room(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 length) override
    {
        if (length > m_room)
            return -1;
        m_room -= length;
        return length;
    }

private:
    qint64 m_room;
};

QStringList allEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

} // namespace

class TestPictureFiles : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_tmp.reset(new QTemporaryDir);
        m_dir.setPath(m_tmp->path());
    }

    // JPG pictures come out as Qt's own writer makes them at its default quality: the same
    // bytes, so the same picture and resolution, at any size (partial blocks at the edges).
    void jpgPicturesMatchQtsWriter_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("dpi");
        QTest::newRow("one pixel") << QSize(1, 1) << 96;
        QTest::newRow("partial blocks") << QSize(17, 9) << 300;
        QTest::newRow("page-like") << QSize(301, 433) << 288;
        QTest::newRow("no resolution") << QSize(40, 30) << 0;
    }

    void jpgPicturesMatchQtsWriter()
    {
        QFETCH(QSize, size);
        QFETCH(int, dpi);
        QImage image = noise(size, quint32(size.width()));
        const int dpm = qRound(dpi / 0.0254);
        image.setDotsPerMeterX(dpm);
        image.setDotsPerMeterY(dpm);
        QByteArray ours;
        QString error;
        QVERIFY2(kpicture::encodePicture(image, QStringLiteral("page.jpg"), dpi, &ours, &error), qPrintable(error));
        QByteArray qts;
        QBuffer buffer(&qts);
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QVERIFY(QImageWriter(&buffer, "jpg").write(image));
        QCOMPARE(ours.toHex(), qts.toHex());
        const QImage back = QImage::fromData(ours, "JPG");
        QCOMPARE(back.size(), size);
        if (dpi > 0)
            QCOMPARE(qRound(back.dotsPerMeterX() * 0.0254), dpi);
    }

    // A grey page is stored with one byte a pixel: a single pixel off grey in any channel,
    // anywhere, must keep the colour.
    void greyNeedsEveryPixelGrey_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<uint>("pixel");
        QTest::addColumn<bool>("grey");
        QTest::newRow("all grey") << QPoint(-1, -1) << 0u << true;
        QTest::newRow("first pixel, red off") << QPoint(0, 0) << 0xff817f7fu << false;
        QTest::newRow("middle, green off") << QPoint(150, 40) << 0xff7f807fu << false;
        QTest::newRow("last pixel, blue off") << QPoint(300, 96) << 0xff7f7f7eu << false;
        QTest::newRow("alpha byte ignored") << QPoint(7, 7) << 0x00404040u << true;
    }

    void greyNeedsEveryPixelGrey()
    {
        QFETCH(QPoint, at);
        QFETCH(uint, pixel);
        QFETCH(bool, grey);
        QImage image(301, 97, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                reinterpret_cast<QRgb *>(image.scanLine(y))[x] = qRgb((x + y) & 0xff, (x + y) & 0xff, (x + y) & 0xff);
        if (at.x() >= 0)
            reinterpret_cast<QRgb *>(image.scanLine(at.y()))[at.x()] = pixel;
        QCOMPARE(kpngencoder::isGrey(image), grey);
    }

    // A device that fills up, at the start, after the first buffer or at the very end,
    // fails the encoding with a reason instead of leaving a cut-short picture reported
    // as written.
    void jpgEncodingReportsARefusedWrite_data()
    {
        QTest::addColumn<qint64>("room");
        QTest::newRow("nothing fits") << qint64(0);
        QTest::newRow("first buffer fits") << qint64(64 * 1024);
        QTest::newRow("all but the last bytes fit") << qint64(-10);
    }

    void jpgEncodingReportsARefusedWrite()
    {
        QFETCH(qint64, room);
        const QImage image = noise(QSize(400, 300), 3);
        QByteArray whole;
        QBuffer buffer(&whole);
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QString error;
        QVERIFY2(kjpegencoder::encode(image, &buffer, &error), qPrintable(error));
        QVERIFY(whole.size() > 64 * 1024 + 10);
        FullDevice full(room >= 0 ? room : whole.size() + room);
        error.clear();
        QVERIFY(!kjpegencoder::encode(image, &full, &error));
        QVERIFY(!error.isEmpty());
    }

    // Pages are put in place whole under their name or not at all; a failure names its
    // reason and leaves no temporary file beside it. New pictures get the usual
    // permissions of a new file.
    void pageBytesAppearWholeOrNotAtAll_data()
    {
        QTest::addColumn<QString>("obstacle"); // what is at or around the path beforehand
        QTest::addColumn<bool>("written");
        QTest::newRow("new file") << "" << true;
        QTest::newRow("older picture replaced") << "file" << true;
        QTest::newRow("a folder in the way") << "folder" << false;
        QTest::newRow("folder gone") << "no folder" << false;
        QTest::newRow("folder read-only") << "read-only" << false;
    }

    void pageBytesAppearWholeOrNotAtAll()
    {
        QFETCH(QString, obstacle);
        QFETCH(bool, written);
        if (obstacle == QLatin1String("read-only") && ::geteuid() == 0)
            QSKIP("permissions do not hold back root");
        const QString folder = m_dir.filePath(QStringLiteral("Doc"));
        QVERIFY(obstacle == QLatin1String("no folder") || QDir().mkdir(folder));
        const QString path = folder + QStringLiteral("/Doc_01.jpg");
        if (obstacle == QLatin1String("file")) {
            QFile older(path);
            QVERIFY(older.open(QIODevice::WriteOnly) && older.write("older and longer than the new bytes") > 0);
        }
        if (obstacle == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(path));
        if (obstacle == QLatin1String("read-only"))
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        const QByteArray bytes = QByteArray(300000, 'p') + "end";
        QString error;
        QCOMPARE(kpicture::writeBytes(bytes, path, &error), written);
        QCOMPARE(error.isEmpty(), written);
        if (obstacle == QLatin1String("read-only"))
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        if (obstacle == QLatin1String("no folder")) {
            QCOMPARE(allEntries(m_dir.path()), QStringList());
            return;
        }
        QCOMPARE(allEntries(folder), QStringList{QStringLiteral("Doc_01.jpg")});
        if (!written)
            return;
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
        const mode_t mask = ::umask(0);
        ::umask(mask);
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0);
        if (obstacle.isEmpty())
            QCOMPARE(st.st_mode & 0777, 0666 & ~mask);
    }

private:
    std::unique_ptr<QTemporaryDir> m_tmp;
    QDir m_dir;
};

KTAVRO_TEST_MAIN(TestPictureFiles)
#include "tst_picturefiles.moc"
