#include "ktestfiles.h"
#include "ktestmain.h"
#include "logrecorder.h"

#include <kesslog.h>
#include <kesssandbox.h>
#include <kesssandboxhelper.h>
#include <kregistry.h>
#include <sandboxlogger.h>

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>
#include <fcntl.h>
#include <unistd.h>

namespace {

SandboxInfo exportInfo(const QString &appId = QStringLiteral("export_photo"))
{
    SandboxInfo info;
    info.appId = appId;
    info.appKey = appId;
    info.displayName = QStringLiteral("Export Tool");
    return info;
}

// Standard error while `body` runs, through a pipe: pipes, unlike files, are not bound by the
// file size limit. For small amounts only (the pipe is read once `body` is done).
QByteArray stderrOf(const std::function<void()> &body)
{
    int pipe[2];
    if (::pipe(pipe) != 0)
        qFatal("pipe");
    std::fflush(stderr);
    const int saved = ::dup(2);
    ::dup2(pipe[1], 2);
    body();
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    ::close(pipe[1]);
    QFile read;
    read.open(pipe[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    return read.readAll();
}

// Qt messages from any thread, by text.
std::mutex g_seenMutex;
QSet<QString> g_seen;
void recordingHandler(QtMsgType, const QMessageLogContext &, const QString &message)
{
    std::lock_guard<std::mutex> lock(g_seenMutex);
    g_seen.insert(message);
}

// Runs body(0..count-1) on threads of their own, and `meanwhile` here while they run.
// Standard threads: their join orders what they wrote before the caller's checks in a way
// the thread checker sees (QThread::wait it does not).
void onThreads(int count, const std::function<void(int)> &body, const std::function<void()> &meanwhile = nullptr)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < count; ++t)
        threads.emplace_back(body, t);
    if (meanwhile)
        meanwhile();
    for (std::thread &thread : threads)
        thread.join();
}

// Counts the log lines handed over and notices any hand-off still running when deleted.
class CountingAdapter : public IApplicationAdapter
{
public:
    static std::atomic<int> lateCalls;
    std::atomic<int> inside{0};
    std::atomic<int> calls{0};
    ~CountingAdapter() override { lateCalls += inside.load(); }
    bool call(int method, const QVariantList &, QVariantList &) override
    {
        ++inside;
        calls += method == Method_Log;
        QThread::usleep(20); // a slow adapter: lines are often with it when it is released
        --inside;
        return false;
    }
    KEssAppAdapterProxy *proxy() override { return nullptr; }
};
std::atomic<int> CountingAdapter::lateCalls{0};

QString dataFolder()
{
    return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/brindlex/vyx/addons/data/win-i386/export_photo");
}

void makeFile(const QString &path, int daysAgo = 0)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("x");
    file.flush(); // before the time is set, or the later write would renew it
    file.setFileTime(QDateTime::currentDateTime().addDays(-daysAgo), QFileDevice::FileModificationTime);
}

} // namespace

class TestSandbox : public QObject
{
    Q_OBJECT
private slots:
    void init() { QDir(dataFolder()).removeRecursively(); }
    void cleanup()
    {
        DestroySandbox();
        SetSandboxOverride(nullptr);
    }

    void qualifiedNamesAndMessageFormat()
    {
        const std::pair<const char *, const char *> names[] = {
            {"bool KEssSandbox::setLogOptions(KEssSandbox::LogOptionFlags)", "KEssSandbox::setLogOptions"},
            {"static QMap<QString, int> ns::Cls::fn(int, QString) const", "ns::Cls::fn"},
            {"const KEssLaunchInfo* kesstools::app::getLaunchInfo()", "kesstools::app::getLaunchInfo"},
            {"KEssSandbox::KEssSandbox()", "KEssSandbox::KEssSandbox"}};
        for (const auto &name : names)
            QCOMPARE(kess::qualifiedFunctionName(name.first), QString::fromLatin1(name.second));
        QCOMPARE(SandboxLogger::formatLine(2, QStringLiteral("x"), QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5, 6))),
                 QStringLiteral("[2024-01-02 03:04:05:006][Critical]: x"));

        // Without a sandbox a framework message goes to Qt, at its level.
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("^\\(0x[0-9a-f]+ TestSandbox::qualifiedNamesAndMessageFormat@\\d+\\) no sandbox$")));
        KESS_WARNING(QStringLiteral("no sandbox"));
    }

    void bufferFlushesOnlyWhenTheNextLineWouldPass256Bytes()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.log"));
        auto logger = std::make_unique<SandboxLogger>();
        logger->setPath(path);
        QVERIFY(logger->openFile());
        logger->setFileWriting(true);
        const int prefix = SandboxLogger::formatLine(0, QString(), QDateTime::currentDateTime()).toUtf8().size();

        logger->write(0, QString(100 - prefix, QLatin1Char('a'))); // buffer: 101
        // Multi-byte text counts by its UTF-8 bytes: 155 bytes, 101 + 155 = 256, no flush.
        logger->write(0, QString(155 - prefix - 10, QLatin1Char('b')) + QString(5, QChar(0xe9)));
        QCOMPARE(QFileInfo(path).size(), 0);
        logger->write(0, QString(100 - prefix, QLatin1Char('c'))); // 257 + 100 > 256
        QCOMPARE(QFileInfo(path).size(), 257);
        logger->write(0, QString(156 - prefix, QLatin1Char('d'))); // 101 + 156 = 257 > 256
        QCOMPARE(QFileInfo(path).size(), 358);

        const QString longText(600, QLatin1Char('e'));
        logger->write(0, longText);
        logger.reset();
        const QList<QByteArray> lines = ktest::readFile(path).split('\n');
        QCOMPARE(lines.size(), 6); // five lines and the empty rest after the last "\n"
        QVERIFY(lines.at(4).endsWith(": " + longText.toUtf8()));
    }

    void threeFailedWritesCloseTheLogFile()
    {
        QTemporaryDir dir;
        LogRecorder recorder;
        SandboxLogger logger;
        logger.setPath(dir.filePath(QStringLiteral("b.log")));
        QVERIFY(logger.openFile());
        logger.setFileWriting(true);
        logger.setDebuggerCopies(true);
        const QString block(300, QLatin1Char('x'));

        bool stillWriting = true;
        const QByteArray err = stderrOf([&] {
            const ktest::FileSizeLimit none(0);
            for (int i = 0; i < 4; ++i)
                logger.write(1, block); // each flushes the one before
            stillWriting = logger.isFileWriting();
            logger.write(1, QStringLiteral("after-close"));
        });

        QVERIFY(!stillWriting);
        QVERIFY(!logger.isFileOpen());
        QCOMPARE(err.count("Write log failed: "), 3);
        QVERIFY(err.contains("][Warning]: after-close\n"));
        QVERIFY(recorder.lines.last().endsWith(QLatin1String("][Warning]: after-close")));
        QCOMPARE(recorder.levels.last(), 1);
        QCOMPARE(QFileInfo(logger.path()).size(), 0);
    }

    void linesFromSeveralThreadsStayWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("c.log"));
        auto logger = std::make_unique<SandboxLogger>();
        logger->setPath(path);
        QVERIFY(logger->openFile());
        logger->setFileWriting(true);
        onThreads(4, [&logger](int t) {
            for (int i = 0; i < 300; ++i)
                logger->write(0, QStringLiteral("thread %1 line %2 %3").arg(t).arg(i).arg(QString(i % 90, QLatin1Char('z'))));
        });
        logger.reset();
        const QList<QByteArray> lines = ktest::readFile(path).trimmed().split('\n');
        QCOMPARE(lines.size(), 1200);
        const QRegularExpression pattern(QStringLiteral("^\\[[-0-9: ]{23}\\]\\[Debug\\]: thread \\d line (\\d+) (z*)$"));
        for (const QByteArray &line : lines) {
            const auto match = pattern.match(QString::fromUtf8(line));
            QVERIFY2(match.hasMatch(), line.constData());
            QCOMPARE(match.captured(2).size(), match.captured(1).toInt() % 90);
        }
    }

    void secondCreateKeepsTheFirstAndOverrideWins()
    {
        KEssSandbox *first = CreateSandbox(exportInfo());
        QCOMPARE(CreateSandbox(exportInfo(QStringLiteral("other"))), first);
        QCOMPARE(GetSandbox()->info().appId, QStringLiteral("export_photo"));
        QVERIFY(first->isOwnerThread());
        bool ownerElsewhere = true;
        onThreads(1, [&](int) { ownerElsewhere = first->isOwnerThread(); });
        QVERIFY(!ownerElsewhere);

        KEssSandbox *foreign = reinterpret_cast<KEssSandbox *>(this); // never dereferenced
        SetSandboxOverride(foreign);
        QCOMPARE(GetSandbox(), foreign);
        SetSandboxOverride(nullptr);
        QCOMPARE(GetSandbox(), first);
    }

    void foldersLogPathAndSettings()
    {
        KEssSandbox *sandbox = CreateSandbox(exportInfo());
        const QString data = dataFolder();
        QCOMPARE(sandbox->dataDir().absolutePath(), data);
        QVERIFY(!QFileInfo::exists(data + QStringLiteral("/temp")));
        QCOMPARE(sandbox->tempDir().absolutePath(), data + QStringLiteral("/temp"));
        QVERIFY(QFileInfo(data + QStringLiteral("/temp")).isDir());
        makeFile(data + QStringLiteral("/temp/a/b.tmp"));
        sandbox->removeExpiredFiles(false, -1, 0);
        QCOMPARE(QDir(data + QStringLiteral("/temp")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.log$")).match(QFileInfo(sandbox->logFilePath()).fileName()).hasMatch());
        QCOMPARE(QFileInfo(sandbox->logFilePath()).absolutePath(), data + QStringLiteral("/log"));
        QVERIFY(!QFileInfo::exists(sandbox->logFilePath())); // created only with the file bit

        sandbox->setValue(QStringLiteral("SelectedImageFormat"), 2);
        const QString key = QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Brindlex\\Office\\6.0\\plugins\\export_photo");
        QCOMPARE(KRegistry::value(key, QStringLiteral("SelectedImageFormat")).toInt(), 2);
        sandbox->setSettingsInFile(true);
        QCOMPARE(sandbox->value(QStringLiteral("SelectedImageFormat"), -1).toInt(), -1);
        sandbox->setValue(QStringLiteral("SelectedImageFormat"), 3);
        QSettings ini(data + QStringLiteral("/settings.ini"), QSettings::IniFormat);
        QCOMPARE(ini.value(QStringLiteral("config/SelectedImageFormat")).toInt(), 3);
        QCOMPARE(sandbox->value(QStringLiteral("SelectedImageFormat")).toInt(), 3);
    }

    void qtMessagesAreCapturedPassedOnAndReleased()
    {
        g_seen.clear();
        const QtMessageHandler previous = qInstallMessageHandler(recordingHandler);
        LogRecorder recorder;
        KEssSandbox *sandbox = CreateSandbox(exportInfo());

        sandbox->setLogOptions(KEssSandbox::LogToFile | KEssSandbox::CaptureQtMessages);
        QVERIFY(sandbox->isLoggingToFile());
        QVERIFY(recorder.lines.last().contains(QRegularExpression(
            QStringLiteral("\\]\\[Debug\\]: \\(0x[0-9a-f]+ KEssSandbox::setLogOptions@\\d+\\) Current module \\(.+\\) log option flag: 3$"))));
        qInfo("info-line");
        QVERIFY(g_seen.contains(QStringLiteral("info-line")));
        QVERIFY(recorder.lines.last().endsWith(QLatin1String("][Critical]: info-line")));

        // A message raised while a line is logged must not loop back into the log.
        recorder.onLine = [](const QString &line) {
            if (line.endsWith(QLatin1String("outer")))
                qWarning("nested");
        };
        QVERIFY(stderrOf([] { qWarning("outer"); }).contains("nested"));
        recorder.onLine = nullptr;
        QVERIFY(!recorder.has(QStringLiteral("nested")));

        sandbox->setLogOptions(KEssSandbox::LogToFile | KEssSandbox::CaptureQtMessagesOnly);
        qWarning("kept-only");
        QVERIFY(!g_seen.contains(QStringLiteral("kept-only")));
        QVERIFY(recorder.lines.last().endsWith(QLatin1String("][Warning]: kept-only")));

        sandbox->setLogOptions(KEssSandbox::LogToFile);
        qWarning("released");
        QVERIFY(g_seen.contains(QStringLiteral("released")));
        QVERIFY(!recorder.has(QStringLiteral("released")));

        const QString logPath = sandbox->logFilePath();
        DestroySandbox();
        const QByteArray log = ktest::readFile(logPath);
        QVERIFY(log.contains("][Critical]: info-line\n"));
        QVERIFY(log.contains("][Warning]: kept-only\n"));
        qInstallMessageHandler(previous);
    }

    void expiredFilesByAge()
    {
        KEssSandbox *sandbox = CreateSandbox(exportInfo());
        sandbox->setLogOptions(KEssSandbox::LogToFile);
        const QString temp = sandbox->tempDir().absolutePath();
        const QString log = sandbox->logDir().absolutePath();
        QTemporaryDir outside;
        makeFile(outside.filePath(QStringLiteral("keep.txt")), 30);
        makeFile(temp + QStringLiteral("/old.tmp"), 10);
        makeFile(temp + QStringLiteral("/new.tmp"), 1);
        makeFile(temp + QStringLiteral("/full/old.tmp"), 10);
        makeFile(temp + QStringLiteral("/full/new.tmp"), 0);
        QDir(temp).mkpath(QStringLiteral("empty/inner"));
        QVERIFY(QFile::link(outside.path(), temp + QStringLiteral("/link")));
        makeFile(log + QStringLiteral("/old.log"), 10);

        sandbox->removeExpiredFiles(false, -1, 5);
        // The link is not followed: the old file outside stays.
        for (const QString &path : {log + "/old.log", temp + "/new.tmp", temp + "/full/new.tmp", outside.filePath("keep.txt")})
            QVERIFY2(QFileInfo::exists(path), qPrintable(path));
        for (const QString &path : {temp + "/old.tmp", temp + "/full/old.tmp", temp + "/empty"})
            QVERIFY2(!QFileInfo::exists(path), qPrintable(path));

        sandbox->removeExpiredFiles(false, 0, 0);
        QCOMPARE(QDir(temp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System), QStringList());
        QCOMPARE(QDir(log).entryList(QDir::Files), QStringList{QFileInfo(sandbox->logFilePath()).fileName()});
        QVERIFY(QFileInfo::exists(outside.filePath(QStringLiteral("keep.txt"))));
    }

    void deferredCleanUpRunsAtDestructionUnlessReplaced()
    {
        KEssSandbox *sandbox = CreateSandbox(exportInfo());
        const QString temp = sandbox->tempDir().absolutePath();
        makeFile(temp + QStringLiteral("/a.tmp"));
        sandbox->removeExpiredFiles(true, 0, 0);
        QVERIFY(QFileInfo::exists(temp + QStringLiteral("/a.tmp")));
        DestroySandbox();
        QVERIFY(!QFileInfo::exists(temp + QStringLiteral("/a.tmp")));

        sandbox = CreateSandbox(exportInfo());
        makeFile(temp + QStringLiteral("/b.tmp"));
        sandbox->removeExpiredFiles(true, 0, 0);
        sandbox->removeExpiredFiles(false, -1, -1); // runs now and drops the stored one
        DestroySandbox();
        QVERIFY(QFileInfo::exists(temp + QStringLiteral("/b.tmp")));
    }

    // Another process of the suite logs into the same folder while this one cleans it.
    void cleanUpLeavesLogsOtherProcessesHaveOpen()
    {
        KEssSandbox *sandbox = CreateSandbox(exportInfo());
        sandbox->setLogOptions(KEssSandbox::LogToFile);
        QProcess other;
        ktest::startHelper(other, QStringLiteral("hold-log"));
        while (!other.canReadLine() && other.waitForReadyRead(30000)) {
        }
        const QString otherLog = QString::fromLocal8Bit(other.readLine()).trimmed();
        QCOMPARE(QFileInfo(otherLog).absolutePath(), sandbox->logDir().absolutePath());
        QVERIFY(otherLog != sandbox->logFilePath());
        const QString ended = sandbox->logDir().filePath(QStringLiteral("1.log")); // of a process gone
        makeFile(ended, 3);

        sandbox->removeExpiredFiles(false, 0, 0);
        QVERIFY(!QFileInfo::exists(ended));
        QVERIFY(QFileInfo::exists(otherLog));
        QVERIFY(QFileInfo::exists(sandbox->logFilePath()));
        other.write("after-clean-up\nquit\n");
        QVERIFY(other.waitForFinished(30000));
        QCOMPARE(other.exitCode(), 0);
        QVERIFY(ktest::readFile(otherLog).contains("][Warning]: after-clean-up\n"));
        sandbox->removeExpiredFiles(false, 0, 0); // closed now: an ordinary file
        QVERIFY(!QFileInfo::exists(otherLog));
    }

    // Writers on other threads (export, write queue, cloud) log while the add-on unloads and
    // loads again: no line is lost or torn, and no adapter is used once it is released.
    void threadsLogThroughDestruction()
    {
        const QtMessageHandler previous = qInstallMessageHandler(recordingHandler);
        g_seen.clear();
        CountingAdapter::lateCalls = 0;
        QTemporaryDir kept;
        const int threads = 4, lines = 3000;
        std::atomic<int> running{threads};
        // Writers go on past their lines until adapters have been handed lines, however fast
        // the writers are on this machine.
        std::atomic<bool> enough{false};
        // Until file logging is switched on, lines only go to the debugger (standard error).
        const int savedStderr = ::dup(2);
        const int debugger = ::open(QFile::encodeName(kept.filePath(QStringLiteral("debugger.log"))).constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ::dup2(debugger, 2);
        int cycles = 0, handedOver = 0;
        const auto write = [&running, &enough](int t) {
            for (int i = 0; i < lines || !enough; ++i) {
                if (i % 2)
                    KESS_DEBUG(QStringLiteral("w%1-%2").arg(t).arg(i));
                else
                    qDebug("w%d-%d", t, i);
            }
            --running;
        };
        onThreads(threads, write, [&] {
            for (; running > 0 || cycles < 50; ++cycles) {
                KEssSandbox *sandbox = CreateSandbox(exportInfo());
                sandbox->setLogOptions(KEssSandbox::LogToFile | KEssSandbox::CaptureQtMessages);
                auto *adapter = new CountingAdapter;
                SetApplicationAdapter(adapter);
                QThread::usleep(500);
                SetApplicationAdapter(nullptr);
                handedOver += adapter->calls;
                delete adapter;
                if ((cycles >= 50 && handedOver > 0) || cycles >= 5000)
                    enough = true;
                const QString log = sandbox->logFilePath();
                DestroySandbox();
                QVERIFY(QFile::rename(log, kept.filePath(QStringLiteral("%1.log").arg(cycles)))); // frees the name
            }
        });
        ::dup2(savedStderr, 2);
        ::close(savedStderr);
        ::close(debugger);
        qInstallMessageHandler(previous);

        QCOMPARE(CountingAdapter::lateCalls.load(), 0);
        QVERIFY(handedOver > 0);
        const QRegularExpression prefix(QStringLiteral("^\\(0x[0-9a-f]+ [^@]+@\\d+\\) "));
        QSet<QString> found;
        for (QString message : qAsConst(g_seen))
            found.insert(message.remove(prefix));
        const QRegularExpression format(QStringLiteral("^\\[[-0-9: ]{23}\\]\\[(Debug|Warning|Critical)\\]: (\\(0x[0-9a-f]+ [^@]+@\\d+\\) )?(.*)$"));
        // Copies to the debugger from two sandboxes may interleave: only their texts count.
        const QString copies = QString::fromUtf8(ktest::readFile(kept.filePath(QStringLiteral("debugger.log"))));
        for (auto it = QRegularExpression(QStringLiteral("(?<=: |\\) )w\\d+-\\d+")).globalMatch(copies); it.hasNext();)
            found.insert(it.next().captured());
        for (int cycle = 0; cycle < cycles; ++cycle) {
            const QByteArray text = ktest::readFile(kept.filePath(QStringLiteral("%1.log").arg(cycle)));
            QVERIFY(text.isEmpty() || text.endsWith('\n'));
            for (const QByteArray &line : text.split('\n')) {
                const QRegularExpressionMatch match = format.match(QString::fromUtf8(line));
                QVERIFY2(line.isEmpty() || match.hasMatch(), line.constData());
                found.insert(match.captured(3));
            }
        }
        for (int t = 0; t < threads; ++t) {
            for (int i = 0; i < lines; ++i)
                QVERIFY2(found.contains(QStringLiteral("w%1-%2").arg(t).arg(i)), qPrintable(QStringLiteral("w%1-%2 lost").arg(t).arg(i)));
        }
    }

    void shortcutArgumentsWithoutInstallRoot()
    {
        SandboxInfo info = exportInfo();
        info.properties.insert(QStringLiteral("shortcutArguments"), QStringLiteral("page=1&name=\u00e9t\u00e9"));
        LogRecorder recorder;
        KEssSandbox *sandbox = CreateSandbox(info);
        const QString block = QString::fromLatin1(QStringLiteral("page=1&name=\u00e9t\u00e9").toUtf8().toBase64());
        const QString service = KessSandBoxHelper::getModuleInfo().hostExecutableFolder + QStringLiteral("/vyxcloudsvrimp");
        QCOMPARE(sandbox->shortcutArguments(),
                 QStringLiteral("Run /InstanceId:VyxCloudSvr \"%1\" /run_app \"/app_id=export_photo\" \"/app_params=%2\" /src=public_shortcut")
                     .arg(service, block));
        QVERIFY(recorder.has(QStringLiteral("Cannot find zdalaunch.exe path. Using absolute exe path.")));
    }
};

namespace {
// A second process of the suite: its own sandbox with its log open in the shared folder.
// Prints the log's path, logs each line read, and ends at "quit".
int helper(const QString &name, const QStringList &)
{
    if (name != QLatin1String("hold-log"))
        return 64;
    KEssSandbox *sandbox = CreateSandbox(exportInfo());
    sandbox->setLogOptions(KEssSandbox::LogToFile);
    std::printf("%s\n", qPrintable(sandbox->logFilePath()));
    std::fflush(stdout);
    char line[256];
    while (std::fgets(line, sizeof line, stdin) && qstrcmp(line, "quit\n") != 0)
        sandbox->warning(QString::fromUtf8(line).trimmed());
    DestroySandbox();
    return 0;
}
} // namespace

KTAVRO_TEST_MAIN_WITH_HELPER(TestSandbox, helper)
#include "tst_sandbox.moc"
