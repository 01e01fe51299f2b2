#include "ktestmain.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <sys/stat.h>

namespace {

struct Run
{
    int status = -1;
    QString err;
};

Run brindlex(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(BRINDLEX_PATH), arguments);
    Run run;
    if (!process.waitForFinished(20000)) { // a window opened or a read blocked
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

quint32 crc32(const QByteArray &data)
{
    quint32 crc = 0xffffffffu;
    for (const char byte : data) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray bigEndian(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray chunk(const QByteArray &type, const QByteArray &data)
{
    return bigEndian(quint32(data.size())) + type + data + bigEndian(crc32(type + data));
}

// A PNG file whose header announces an RGB picture of that size, with pixel data for a
// few rows only.
QByteArray pngWithFewRows(quint32 width, quint32 height)
{
    const QByteArray header = bigEndian(width) + bigEndian(height) + QByteArray("\x08\x02\x00\x00\x00", 5);
    const QByteArray pixels = qCompress(QByteArray(64, '\0')).mid(4); // a zlib stream
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", pixels) + chunk("IEND", {});
}

} // namespace

class TestBrindlexView : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;

    QString write(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_tmp.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? file.fileName() : QString();
    }

    QString picture()
    {
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        const QString file = m_tmp.filePath(QStringLiteral("small.png"));
        return image.save(file) ? file : QString();
    }

    QString make(const QString &kind)
    {
        const QString path = m_tmp.filePath(kind);
        if (kind == QLatin1String("missing"))
            return path;
        if (kind == QLatin1String("folder"))
            return QDir().mkpath(path) ? path : QString();
        if (kind == QLatin1String("text"))
            return write(kind, "not a picture\n");
        if (kind == QLatin1String("empty"))
            return write(kind, {});
        if (kind == QLatin1String("huge"))
            return write(kind + ".png", pngWithFewRows(100000, 100000));
        if (kind == QLatin1String("truncated"))
            return write(kind + ".png", pngWithFewRows(100, 100));
        if (kind == QLatin1String("pipe"))
            return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0 ? path : QString();
        if (kind == QLatin1String("dangling"))
            return QFile::link(m_tmp.filePath(QStringLiteral("nowhere.png")), path) ? path : QString();
        return QString();
    }

private slots:
    void initTestCase() { QVERIFY(m_tmp.isValid()); }

    void unreadableFilesAreRefusedWithoutAWindow_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing" << "no such file";
        QTest::newRow("folder") << "folder" << "is a folder, not a picture";
        QTest::newRow("not a picture") << "text" << "is not a picture";
        QTest::newRow("empty file") << "empty" << "is not a picture";
        QTest::newRow("too large to decode") << "huge" << "is too large to show (100000 x 100000 pixels";
        QTest::newRow("header without pixels") << "truncated" << "cannot be decoded";
        QTest::newRow("named pipe") << "pipe" << "is not a regular file";
        QTest::newRow("link to nothing") << "dangling" << "is a link that leads nowhere";
    }

    void unreadableFilesAreRefusedWithoutAWindow()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QString path = make(kind);
        QVERIFY(!path.isEmpty());
        const Run run = brindlex({QStringLiteral("view"), path, QStringLiteral("-src=vyx_ktavro")});
        QCOMPARE(run.status, 1);
        // The decoder may have complained first; the refusal ends the output.
        const QString last = run.err.trimmed().split(QLatin1Char('\n')).last();
        QVERIFY2(last.startsWith(QStringLiteral("Cannot show the picture: %1: %2").arg(path, reason)), qPrintable(run.err));
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("no file") << QStringList{"view"} << 64 << "Invalid arguments: Name one picture file.";
        QTest::newRow("only the caller") << QStringList{"view", "-src=pdf_ktavro"} << 64 << "Invalid arguments: Name one picture file.";
        QTest::newRow("two files") << QStringList{"view", "a.png", "b.png"} << 64 << "Invalid arguments: Name one picture file.";
        QTest::newRow("unknown option") << QStringList{"view", "--zoom", "a.png"} << 64
                                        << "Invalid arguments: Unknown option '--zoom'.";
        QTest::newRow("help") << QStringList{"view", "--help"} << 0 << "";
        QTest::newRow("after --, a dash is a name") << QStringList{"view", "--", "-x.png"} << 1
                                                    << "Cannot show the picture: -x.png: no such file";
    }

    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        const Run run = brindlex(arguments);
        QCOMPARE(run.status, status);
        QVERIFY2(message.isEmpty() ? run.err.isEmpty() : run.err.startsWith(message), qPrintable(run.err));
    }

    // Stays open until closed; the caller's -src is accepted; the web engine stays unloaded.
    void aPictureStaysOpenWithoutTheWebEngine()
    {
        const QString file = picture();
        QVERIFY(!file.isEmpty());
        QProcess process;
        process.start(QStringLiteral(BRINDLEX_PATH), {QStringLiteral("view"), file, QStringLiteral("-src=vyx_ktavro")});
        QVERIFY(process.waitForStarted());
        QVERIFY(!process.waitForFinished(1500));
        QFile maps(QStringLiteral("/proc/%1/maps").arg(process.processId()));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray mapped = maps.readAll();
        QVERIFY(mapped.contains("libQt5Widgets"));
        QVERIFY(!mapped.contains("WebKit"));
        QVERIFY(!mapped.contains("WebEngine"));
        process.terminate();
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
    }
};

KTAVRO_TEST_MAIN(TestBrindlexView)
#include "tst_brindlexview.moc"
