#pragma once

#include <krt.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

// What every fuzz target shares: an offscreen application, a private temporary HOME so that
// nothing is written outside it, and silence (a fuzzer prints only its findings).
namespace kfuzz {

inline void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

inline QTemporaryDir &home()
{
    static QTemporaryDir dir;
    return dir;
}

inline void start(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QByteArray root = home().path().toUtf8();
    for (const char *name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "TMPDIR"}) {
        const QByteArray dir = root + '/' + name;
        QDir().mkpath(QString::fromUtf8(dir));
        qputenv(name, dir);
    }
    qunsetenv("BRINDLEX_HOST_CONFIG");
    qInstallMessageHandler(quiet);
    // Never destroyed: the offscreen platform leaves its screen behind when it goes, and the
    // fuzzer's leak check at exit would report that on every run.
    static QGuiApplication *app = new QGuiApplication(*argc, *argv);
    Q_UNUSED(app)
    krt::host::initialize(); // fonts and host services as the suite sets them up
}

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), int(size));
}

// The input cut at its first zero byte: two texts for parsers that read a pair.
inline QPair<QByteArray, QByteArray> split(const QByteArray &input)
{
    const int at = input.indexOf('\0');
    return at < 0 ? qMakePair(input, QByteArray()) : qMakePair(input.left(at), input.mid(at + 1));
}

// Writes the bytes to a file of the given name in the temporary home; its path.
inline QString writeFile(const QString &name, const QByteArray &content)
{
    const QString path = home().path() + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        std::abort(); // the fuzzer's own set-up failed: nothing it finds would mean anything
    return path;
}

} // namespace kfuzz

#define KFUZZ_INIT                                                  \
    extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)    \
    {                                                               \
        kfuzz::start(argc, argv);                                   \
        return 0;                                                   \
    }
