#include "ktestfiles.h"
#include "ktestmain.h"
#include "uploadrequestwire.h"

#include <klumocloudservice.h>
#include <khostconfig.h>
#include <lumoipc.h>

#include <QDirIterator>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>


namespace {

class Receiver : public QObject
{
    Q_OBJECT
public:
    QString requestId;
    UploadFilesToCloudResult result;
    QThread *calledOn = nullptr;
    int calls = 0;

public slots:
    void onDone(QString id, UploadFilesToCloudResult r)
    {
        requestId = id;
        result = r;
        calledOn = QThread::currentThread();
        ++calls;
    }
};

class ThrowingArgument : public apache::thrift::TBase
{
public:
    uint32_t read(apache::thrift::protocol::TProtocol *) override { return 0; }
    uint32_t write(apache::thrift::protocol::TProtocol *) const override
    {
        throw apache::thrift::protocol::TProtocolException(apache::thrift::protocol::TProtocolException::DEPTH_LIMIT);
    }
};

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

class TestLumoIpc : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_root;
    const KVYXUserInfo m_user{QStringLiteral("u1"), true};

    QString source(const QString &name, const QByteArray &content)
    {
        const QString path = m_dir.filePath(QStringLiteral("src/") + name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        writeFile(path, content);
        return path;
    }

    UploadRequestWire request(const QString &cloudPath, const QStringList &files)
    {
        UploadRequestWire wire;
        wire.userId = "u1";
        wire.cloudPath = cloudPath.toStdString();
        for (const QString &file : files)
            wire.srcFiles.push_back(file.toStdString());
        return wire;
    }

private slots:
    void init()
    {
        m_root = m_dir.filePath(QStringLiteral("cloud-%1").arg(QRandomGenerator::global()->generate()));
        KHostConfig::setValue(QStringLiteral("cloudRoot"), m_root);
        KHostConfig::setValue(QStringLiteral("userId"), QStringLiteral("u1"));
    }

    void backsFilesUpBelowTheUsersFolder()
    {
        const QString a = source(QStringLiteral("a.png"), "first");
        const QString b = source(QStringLiteral("b.png"), "second");
        UploadRequestWire wire = request(QStringLiteral("cloudapp/ktavro\\Report"), {a, b});
        wire.unknownField = true;
        wire.extraParam = {{"k", "v"}};
        UploadFilesToCloudResult result = klumocloud::uploadFilesToCloud(wire.bytes(), m_user);
        QCOMPARE(result.code, int(UploadFilesToCloudResult::Ok));
        const QString folder = m_root + QStringLiteral("/u1/cloudapp/ktavro/Report/");
        QCOMPARE(result.uploadedFiles, QStringList({folder + "a.png", folder + "b.png"}));
        QCOMPARE(ktest::readFile(folder + "a.png"), QByteArray("first"));
        QCOMPARE(ktest::readFile(folder + "b.png"), QByteArray("second"));

        // A second backup of the same name replaces the first.
        writeFile(a, "changed");
        result = klumocloud::uploadFilesToCloud(request(QStringLiteral("/cloudapp//ktavro/./Report/"), {a}).bytes(), m_user);
        QCOMPARE(result.code, int(UploadFilesToCloudResult::Ok));
        QCOMPARE(ktest::readFile(folder + "a.png"), QByteArray("changed"));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList({"a.png", "b.png"}));
    }

    // Refused requests write nothing: not the cloud folder, nor anything outside it.
    void refusedRequestsGetAnErrorResult_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("user"); // signed in; empty: nobody
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        const QString file = source(QStringLiteral("c.png"), "c");
        const QByteArray valid = request(QStringLiteral("x"), {file}).bytes();
        UploadRequestWire noUploadFrom = request(QStringLiteral("x"), {}), noFiles = noUploadFrom, dots = noUploadFrom;
        noUploadFrom.omitted = {6};
        noFiles.omitted = {3};
        dots.userId = "..";
        UploadRequestWire noCreate = request(QStringLiteral("missing"), {file});
        noCreate.createWhenNoExists = false;
        QByteArray hugeString = valid;
        hugeString[3] = char(0x7f); // length of the first string field's byte 0
        QByteArray noise(48, Qt::Uninitialized);
        for (char &c : noise)
            c = char(QRandomGenerator::global()->bounded(256));
        const int invalid = UploadFilesToCloudResult::InvalidRequest;
        const QString unreadable = QStringLiteral("unreadable request: ");
        QTest::newRow("empty") << QByteArray() << "u1" << invalid << unreadable;
        QTest::newRow("truncated") << valid.left(valid.size() / 2) << "u1" << invalid << unreadable;
        QTest::newRow("no uploadFrom") << noUploadFrom.bytes() << "u1" << invalid << unreadable;
        QTest::newRow("no srcFiles") << noFiles.bytes() << "u1" << invalid << unreadable;
        QTest::newRow("huge string size") << hugeString << "u1" << invalid << unreadable;
        QTest::newRow("not thrift") << QByteArray("GET / HTTP/1.1\r\n\r\n") << "u1" << invalid << unreadable;
        QTest::newRow("noise") << noise << "u1" << invalid << unreadable;
        QTest::newRow("nobody signed in") << valid << "" << int(UploadFilesToCloudResult::NotSignedIn) << "nobody is signed in";
        QTest::newRow("other user") << valid << "u2" << invalid << "request for another user: u1";
        QTest::newRow("user named ..") << dots.bytes() << ".." << invalid << "request for another user: ..";
        QTest::newRow("path escapes") << request(QStringLiteral("../../escape"), {file}).bytes() << "u1" << invalid
                                      << "cloud path leaves the user's folder";
        QTest::newRow("path escapes by backslashes") << request(QStringLiteral("a\\..\\..\\escape"), {file}).bytes() << "u1"
                                                     << invalid << "cloud path leaves the user's folder";
        QTest::newRow("missing folder not to be made") << noCreate.bytes() << "u1" << invalid << "no cloud folder";
    }

    void refusedRequestsGetAnErrorResult()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, user);
        QFETCH(int, code);
        QFETCH(QString, message);
        const UploadFilesToCloudResult result =
            klumocloud::uploadFilesToCloud(bytes, user.isEmpty() ? KVYXUserInfo() : KVYXUserInfo(user, true));
        QCOMPARE(result.code, code);
        QVERIFY2(result.message.startsWith(message), qPrintable(result.message));
        QVERIFY(!QFileInfo::exists(m_root));
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("escape"))));
    }

    void filesThatCannotBeReadAreReported()
    {
        const QString present = source(QStringLiteral("e.png"), "e");
        const QString vanished = m_dir.filePath(QStringLiteral("src/gone.png"));
        const QString folder = m_dir.filePath(QStringLiteral("src"));
        const UploadFilesToCloudResult result =
            klumocloud::uploadFilesToCloud(request(QStringLiteral("x"), {vanished, present, folder}).bytes(), m_user);
        QCOMPARE(result.code, int(UploadFilesToCloudResult::PartlyFailed));
        QCOMPARE(result.failedFiles, QStringList({vanished, folder}));
        QCOMPARE(result.uploadedFiles, QStringList({m_root + "/u1/x/e.png"}));
    }

    // A cloud folder that cannot be made (here a file stands where a folder must go): the
    // request fails with the reason, nothing is reported backed up, nothing half-copied stays.
    void unwritableCloudFolderFailsEveryFile_data()
    {
        QTest::addColumn<QString>("blocked"); // below the cloud root
        QTest::newRow("cloud root") << "";
        QTest::newRow("user's folder") << "u1";
        QTest::newRow("target folder") << "u1/x";
    }

    void unwritableCloudFolderFailsEveryFile()
    {
        QFETCH(QString, blocked);
        const QString a = source(QStringLiteral("a.png"), "first");
        const QString b = source(QStringLiteral("b.png"), "second");
        const QString file = blocked.isEmpty() ? m_root : m_root + QLatin1Char('/') + blocked;
        QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
        QFile in(file);
        QVERIFY(in.open(QIODevice::WriteOnly) && in.write("in the way") > 0);
        in.close();
        const UploadFilesToCloudResult result =
            klumocloud::uploadFilesToCloud(request(QStringLiteral("x"), {a, b}).bytes(), m_user);
        QCOMPARE(result.code, int(UploadFilesToCloudResult::InvalidRequest));
        QCOMPARE(result.uploadedFiles, QStringList());
        QVERIFY2(result.message.startsWith(QStringLiteral("no cloud folder ")), qPrintable(result.message));
        QDirIterator it(m_root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        QStringList left;
        while (it.hasNext())
            left << it.next();
        QCOMPARE(left, blocked.isEmpty() ? QStringList() : QStringList{file});
    }

    // A full disk (here the file size limit) while a copy is written: the file is failed and
    // no cut-short copy takes its place. Sizes put the limit in the copy's buffered tail
    // and in its full chunks.
    void fullDiskFailsTheCopyAndLeavesNoPart_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("tail only") << 3000;
        QTest::newRow("whole chunks and a tail") << 200000;
    }

    void fullDiskFailsTheCopyAndLeavesNoPart()
    {
        QFETCH(int, size);
        const QString big = source(QStringLiteral("big.png"), QByteArray(size, 'x'));
        UploadFilesToCloudResult result;
        {
            const ktest::FileSizeLimit limit(1024);
            QVERIFY(limit.isSet());
            result = klumocloud::uploadFilesToCloud(request(QStringLiteral("x"), {big}).bytes(), m_user);
        }
        QCOMPARE(result.failedFiles, QStringList({big}));
        QCOMPARE(result.uploadedFiles, QStringList());
        QVERIFY(result.code != int(UploadFilesToCloudResult::Ok));
        QVERIFY(!QFileInfo::exists(m_root + QStringLiteral("/u1/x/big.png")));
    }

    void answersOnTheReceiversThread()
    {
        QThread thread;
        Receiver receiver;
        receiver.moveToThread(&thread);
        thread.start();
        const UploadRequestWire wire = request(QStringLiteral("async"), {source(QStringLiteral("f.png"), "f")});
        const QString id = LumoIpcAsynCallEx(QStringLiteral("uploadFilesToCloud"),
                                             KLumoIpcArgument("UploadFilesToCloudArg", wire), &receiver, "onDone");
        QVERIFY(!id.isEmpty());
        QTRY_COMPARE(receiver.calls, 1);
        thread.quit();
        thread.wait();
        QCOMPARE(receiver.requestId, id);
        QCOMPARE(receiver.calledOn, &thread);
        QCOMPARE(receiver.result.code, int(UploadFilesToCloudResult::Ok));
        QCOMPARE(ktest::readFile(m_root + "/u1/async/f.png"), QByteArray("f"));
    }

    void refusedCallsAndVanishedReceivers()
    {
        const UploadRequestWire wire = request(QStringLiteral("late"), {source(QStringLiteral("g.png"), "g")});
        Receiver receiver;
        QVERIFY(LumoIpcAsynCallEx(QStringLiteral("deleteEverything"), KLumoIpcArgument("UploadFilesToCloudArg", wire), &receiver, "onDone").isEmpty());
        QVERIFY(LumoIpcAsynCallEx(QStringLiteral("uploadFilesToCloud"), KLumoIpcArgument("OtherArg", wire), &receiver, "onDone").isEmpty());
        const ThrowingArgument throwing;
        QVERIFY(LumoIpcAsynCallEx(QStringLiteral("uploadFilesToCloud"), KLumoIpcArgument("UploadFilesToCloudArg", throwing), &receiver, "onDone").isEmpty());

        // The backup still happens when the receiver is gone; nobody is called.
        auto *gone = new Receiver;
        QVERIFY(!LumoIpcAsynCallEx(QStringLiteral("uploadFilesToCloud"), KLumoIpcArgument("UploadFilesToCloudArg", wire), gone, "onDone").isEmpty());
        delete gone;
        QVERIFY(!LumoIpcAsynCallEx(QStringLiteral("uploadFilesToCloud"), KLumoIpcArgument("UploadFilesToCloudArg", wire), &receiver, "noSuchSlot").isEmpty());
        QVERIFY(QThreadPool::globalInstance()->waitForDone(5000));
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(receiver.calls, 0);
        QCOMPARE(ktest::readFile(m_root + "/u1/late/g.png"), QByteArray("g"));
    }
};

KTAVRO_TEST_MAIN(TestLumoIpc)
#include "tst_lumoipc.moc"
