#include "ktestmain.h"
#include "uploadrequestwire.h"

#include <khostconfig.h>
#include <kregistry.h>
#include <ktavrocloudhelper.h>
#include <uploadfilestocloud_types.h>

#include <QSignalSpy>
#include <QTemporaryDir>

using apache::thrift::protocol::TBinaryProtocol;
using apache::thrift::protocol::TProtocolException;
using apache::thrift::transport::TMemoryBuffer;
using vyx::lumo::UploadFilesToCloudArg;

namespace {

UploadFilesToCloudArg readBack(const QByteArray &bytes)
{
    auto buffer = std::make_shared<TMemoryBuffer>(reinterpret_cast<uint8_t *>(const_cast<char *>(bytes.constData())),
                                                  static_cast<uint32_t>(bytes.size()), TMemoryBuffer::COPY);
    TBinaryProtocol protocol(buffer);
    UploadFilesToCloudArg arg;
    arg.read(&protocol);
    return arg;
}

UploadFilesToCloudArg filledArg()
{
    UploadFilesToCloudArg arg;
    arg.__set_userId("u\xc3\xa9");
    arg.__set_cloudPath("cloudapp/ktavro\\Report");
    arg.__set_srcFiles({"/tmp/a.png", "/tmp/b.png"});
    arg.__set_createWhenNoExists(true);
    arg.__set_extraParam({{"k", "v"}});
    return arg;
}

void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(path.toUtf8());
}

} // namespace

class TestCloudBackup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_cloud;

    // Waits for the helper's answer to one request and hands back the result.
    UploadFilesToCloudResult finished(const QString &requestId)
    {
        QSignalSpy spy(KTavroCloudHelper::instance(), &KTavroCloudHelper::uploadFinished);
        for (int i = 0; i < 50 && spy.isEmpty(); ++i)
            spy.wait(100);
        if (spy.isEmpty() || spy.first().at(0).toString() != requestId)
            return UploadFilesToCloudResult{-1, QStringLiteral("no answer"), {}, {}};
        return spy.first().at(1).value<UploadFilesToCloudResult>();
    }

private slots:
    void initTestCase()
    {
        m_cloud = m_dir.filePath(QStringLiteral("cloud"));
        KHostConfig::setValue(QStringLiteral("cloudRoot"), m_cloud);
        KHostConfig::setValue(QStringLiteral("userId"), QStringLiteral("u42"));
    }

    // The request goes on the wire field by field as the cloud service reads it.
    void requestMatchesTheWireFormat()
    {
        UploadRequestWire wire;
        wire.userId = "u\xc3\xa9";
        wire.cloudPath = "cloudapp/ktavro\\Report";
        wire.srcFiles = {"/tmp/a.png", "/tmp/b.png"};
        wire.extraParam = {{"k", "v"}};
        auto buffer = std::make_shared<TMemoryBuffer>();
        TBinaryProtocol protocol(buffer);
        filledArg().write(&protocol);
        QCOMPARE(QByteArray::fromStdString(buffer->getBufferAsString()), wire.bytes());
        QVERIFY(readBack(wire.bytes()) == filledArg());
    }

    void readingChecksRequiredFields()
    {
        UploadRequestWire wire;
        wire.omitted = {6};
        try {
            readBack(wire.bytes());
            QFAIL("a request without uploadFrom was accepted");
        } catch (const TProtocolException &e) {
            QCOMPARE(int(e.getType()), int(TProtocolException::INVALID_DATA));
        }

        wire.omitted = {7};
        wire.unknownField = true;
        wire.userId = "u1";
        const UploadFilesToCloudArg arg = readBack(wire.bytes());
        QVERIFY(arg.extraParam.empty());
        QVERIFY(!arg.__isset.extraParam);
        QCOMPARE(QByteArray::fromStdString(arg.userId), QByteArray("u1"));
    }

    void availabilityFollowsTheCloudComponentKey()
    {
        const QString key = QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Classes\\CLSID\\{5FCD4425-CA3A-48F4-A57C-B8A75C32ACB1}");
        QVERIFY(!KTavroCloudHelper::isCloudBackupAvailable());
        KRegistry::setValue(key, QString(), QString());
        QVERIFY(!KTavroCloudHelper::isCloudBackupAvailable());
        KRegistry::setValue(key, QStringLiteral("other"), QStringLiteral("x"));
        QVERIFY(!KTavroCloudHelper::isCloudBackupAvailable());
        KRegistry::setValue(key, QString(), QStringLiteral("lumo cloud"));
        QVERIFY(KTavroCloudHelper::isCloudBackupAvailable());
    }

    void folderTargetRules()
    {
        QCOMPARE(KTavroCloudHelper::folderTarget(QStringLiteral("cloudapp/ktavro"), QStringLiteral("/out/Report")),
                 QStringLiteral("cloudapp/ktavro\\Report"));
        QCOMPARE(KTavroCloudHelper::folderTarget(QStringLiteral("cloudapp/ktavro/"), QStringLiteral("/out/Report/")),
                 QStringLiteral("cloudapp/ktavro/Report"));
        QCOMPARE(KTavroCloudHelper::folderTarget(QStringLiteral("cloud\\"), QStringLiteral("Report")),
                 QStringLiteral("cloud\\Report"));
    }

    void uploadsTheFolderItselfOnly()
    {
        const QString folder = m_dir.filePath(QStringLiteral("pages/Report"));
        for (const char *name : {"b_2.png", "A_1.png", "c_3.png", "sub/deep.png"})
            touch(folder + QLatin1Char('/') + QLatin1String(name));
        QVERIFY(QFile::link(folder + QStringLiteral("/A_1.png"), folder + QStringLiteral("/link.png")));
        QCOMPARE(KTavroCloudHelper::folderFiles(folder),
                 QStringList({folder + "/A_1.png", folder + "/b_2.png", folder + "/c_3.png"}));

        // A per-page export backs up the folder that holds its files.
        const QString id = KTavroCloudHelper::instance()->backupExport(folder + QStringLiteral("/A_1.png"), false);
        const UploadFilesToCloudResult result = finished(id);
        QCOMPARE(result.code, int(UploadFilesToCloudResult::Ok));
        const QDir target(m_cloud + QStringLiteral("/u42/cloudapp/ktavro/Report"));
        QCOMPARE(target.entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList({"A_1.png", "b_2.png", "c_3.png"}));
    }

    void emptyFolderSendsAnEmptyList()
    {
        const QString folder = m_dir.filePath(QStringLiteral("Empty"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(KTavroCloudHelper::folderFiles(folder).isEmpty());
        const UploadFilesToCloudResult result =
            finished(KTavroCloudHelper::instance()->uploadFolder(folder, QStringLiteral("cloudapp/ktavro/")));
        QCOMPARE(result.code, int(UploadFilesToCloudResult::Ok));
        QVERIFY(result.uploadedFiles.isEmpty());
        QVERIFY(QFileInfo(m_cloud + QStringLiteral("/u42/cloudapp/ktavro/Empty")).isDir());
    }
};

KTAVRO_TEST_MAIN(TestCloudBackup)
#include "tst_cloudbackup.moc"
