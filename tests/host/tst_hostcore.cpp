#include "ktestmain.h"

#include <khostconfig.h>
#include <krt.h>
#include <kunknown.h>
#include <kxapplication.h>

#include <QFontInfo>

namespace {
struct IThing : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{6B1A2C3D-0000-4000-8000-000000000001}")); }
    virtual int value() = 0;
};
struct IOther : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{6B1A2C3D-0000-4000-8000-000000000002}")); }
};
class Thing : public KUnknownImpl<IThing>
{
public:
    int value() override { return 42; }
};
} // namespace

class TestHostCore : public QObject
{
    Q_OBJECT
private slots:
    void configLayersFileEnvironmentAndSetters()
    {
        const QString path = QDir::tempPath() + QStringLiteral("/host.ini");
        {
            QSettings file(path, QSettings::IniFormat);
            file.setValue(QStringLiteral("host/edition"), 5);
            file.setValue(QStringLiteral("host/enterprise"), true);
            file.setValue(QStringLiteral("raw/server"), QStringLiteral("http://127.0.0.1"));
        }
        qputenv("BRINDLEX_HOST_CONFIG", path.toUtf8());
        qputenv("BRINDLEX_FEATURES", "cloud,export");
        KHostConfig::reload();
        QCOMPARE(krt::product::versionID(), 5);
        QVERIFY(krt::product::isEnterprise());
        QVERIFY(krt::product::isSupported(QStringLiteral("cloud")));
        QVERIFY(!krt::product::isSupported(QStringLiteral("other")));
        QCOMPARE(krt::configs::getRawConfig(QStringLiteral("server")), QStringLiteral("http://127.0.0.1"));

        qputenv("BRINDLEX_EDITION", "7");
        KHostConfig::reload();
        QCOMPARE(krt::product::versionID(), 7);
        KHostConfig::setEditionNumber(0);
        QCOMPARE(krt::product::versionID(), 0);

        qunsetenv("BRINDLEX_HOST_CONFIG");
        qunsetenv("BRINDLEX_FEATURES");
        qunsetenv("BRINDLEX_EDITION");
        KHostConfig::reload();
        QCOMPARE(krt::product::versionID(), 1);
        QVERIFY(!krt::product::isEnterprise());
    }

    void documentPermissionsFollowHostValues()
    {
        KCoreApplication *app = KxApplication::coreApplication();
        QVERIFY(KMBUtils::FireDocOperationEnable(app, 2));
        KHostConfig::setValue(QStringLiteral("docSaveAsEnable"), false);
        QVERIFY(!KMBUtils::FireDocSaveAsEnable(app));
        QVERIFY(!KMBUtils::FireDocOperationEnable(nullptr, 2));
        KHostConfig::reload();
    }

    void shellLockNestsAndToleratesStrayUnlock()
    {
        KCoreApplication *app = KxApplication::coreApplication();
        QSignalSpy spy(app, &KCoreApplication::mainWindowLockChanged);
        app->lockMainWindow();
        app->lockMainWindow();
        app->unlockMainWindow();
        QCOMPARE(app->mainWindowLockDepth(), 1);
        app->unlockMainWindow();
        app->unlockMainWindow(); // stray: must not go negative
        QCOMPARE(app->mainWindowLockDepth(), 0);
        QCOMPARE(spy.count(), 2);
    }

    void automationObjectsAreReleasedBySmartPointers()
    {
        const int before = KObjectTracker::liveObjects();
        {
            KComPtr<IThing> thing(new Thing);
            QCOMPARE(KObjectTracker::liveObjects(), before + 1);
            KComPtr<IThing> again = thing.query<IThing>();
            QVERIFY(again);
            QCOMPARE(again->value(), 42);
            QVERIFY(!thing.query<IOther>());
            void *raw = nullptr;
            QCOMPARE(thing->QueryInterface(IOther::iid(), &raw), long(K_NOINTERFACE));
            QVERIFY(!raw);
        }
        QCOMPARE(KObjectTracker::liveObjects(), before);
    }

    void uiFontResolvesToInstalledCjkFont()
    {
        QFont font(QStringLiteral("Microsoft YaHei"));
        QCOMPARE(QFontInfo(font).family(), krt::host::uiFontSubstitute());
    }
};

KTAVRO_TEST_MAIN(TestHostCore)
#include "tst_hostcore.moc"
