#include "ktestmain.h"
#include "logrecorder.h"

#include <kesssandbox.h>
#include <kesssandboxhelper.h>
#include <kregistry.h>
#include <kshelllink.h>

#include <QTemporaryDir>

namespace {
const QString kUserKey = QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\brindlex\\Office\\6.0\\Common");
const QString kMachineKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\brindlex\\Office\\6.0\\Common");

QString suiteRoot()
{
    return QDir::tempPath() + QStringLiteral("/suite");
}

QMap<QString, QString> readEntry(const QString &path)
{
    QMap<QString, QString> entry;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entry;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq > 0)
            entry.insert(line.left(eq), line.mid(eq + 1));
    }
    return entry;
}
} // namespace

// The install root is registered before anything looks it up: the module information is
// read once per process.
class TestSandboxLauncher : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        KRegistry::setValue(kUserKey, QStringLiteral("InstallRoot"), suiteRoot() + QStringLiteral("/office6/"));
        SandboxInfo info;
        info.appId = QStringLiteral("export_photo");
        info.displayName = QStringLiteral("Export Tool");
        info.properties.insert(QStringLiteral("shortcutArguments"), QStringLiteral("x=1"));
        info.properties.insert(QStringLiteral("shortcutDescription"), QStringLiteral("Export pages"));
        CreateSandbox(info);
    }
    void cleanupTestCase() { DestroySandbox(); }

    void userScopeWinsOverMachineScope()
    {
        QCOMPARE(KessSandBoxHelper::launcherPath(), suiteRoot() + QStringLiteral("/zdalaunch"));
        KRegistry::setValue(kMachineKey, QStringLiteral("InstallRoot"), QStringLiteral("/opt/other/office6"));
        QCOMPARE(KessSandBoxHelper::launcherPath(), suiteRoot() + QStringLiteral("/zdalaunch"));
        KRegistry::remove(kUserKey, QStringLiteral("InstallRoot"));
        QCOMPARE(KessSandBoxHelper::launcherPath(), QStringLiteral("/opt/other/zdalaunch"));
        KRegistry::remove(kMachineKey, QStringLiteral("InstallRoot"));
        QCOMPARE(KessSandBoxHelper::launcherPath(), QString());
        KRegistry::setValue(kUserKey, QStringLiteral("InstallRoot"), suiteRoot() + QStringLiteral("/office6/"));
    }

    void shortcutIsADesktopEntryForTheLauncher()
    {
        QTemporaryDir desktop;
        LogRecorder recorder;
        QVERIFY(GetSandbox()->createShortcut(desktop.path()));
        const QString path = desktop.filePath(QStringLiteral("Export Tool.desktop"));
        QVERIFY(recorder.has(QStringLiteral("Shortcut created: ") + path));
        QVERIFY(QFileInfo(path).permissions() & QFile::ExeOwner);

        // With an install root the launcher runs the add-on.
        const ModuleInfo &module = KessSandBoxHelper::getModuleInfo();
        QCOMPARE(module.launcherPath, suiteRoot() + QStringLiteral("/zdalaunch"));
        QCOMPARE(GetSandbox()->shortcutArguments(),
                 QStringLiteral("/vyxcloudlaunch /run_app \"/app_id=export_photo\" \"/app_params=eD0x\" /src=public_shortcut"));
        const auto entry = readEntry(path);
        QCOMPARE(entry.value(QStringLiteral("Name")), QStringLiteral("Export Tool"));
        QCOMPARE(entry.value(QStringLiteral("Comment")), QStringLiteral("Export pages"));
        QCOMPARE(entry.value(QStringLiteral("Path")), module.hostExecutableFolder);
        QCOMPARE(entry.value(QStringLiteral("Exec")),
                 QStringLiteral("\"%1\" \"/vyxcloudlaunch\" \"/run_app\" \"/app_id=export_photo\" \"/app_params=eD0x\" \"/src=public_shortcut\"")
                     .arg(module.launcherPath));
        // No icon beside the module: the executable's own is used, and that is said.
        QCOMPARE(entry.value(QStringLiteral("Icon")), module.hostExecutablePath);
        QVERIFY(recorder.has(QStringLiteral("Cannot find shortcut icon file ")));

        QFile icon(desktop.filePath(QStringLiteral("icon.png")));
        icon.open(QIODevice::WriteOnly);
        icon.close();
        QVERIFY(GetSandbox()->createShortcut(desktop.path(), icon.fileName()));
        QCOMPARE(readEntry(path).value(QStringLiteral("Icon")), icon.fileName());
    }

    void failedSaveIsReportedWithItsCode()
    {
        LogRecorder recorder;
        QVERIFY(!GetSandbox()->createShortcut(QDir::tempPath() + QStringLiteral("/no/such/folder")));
        // The line names the function that failed, not the helper that wrote it.
        QCOMPARE(recorder.lines.filter(QRegularExpression(QStringLiteral(
                     " KEssSandbox::createShortcut@\\d+\\) \"IPersistFile::Save\" failed\\. The HRESULT is 0x80070003$"))).size(), 1);
    }

    void execQuotingKeepsArgumentsApart()
    {
        KShellLink link;
        QCOMPARE(link.setPath(QString()), long(KShellLink::InvalidArgument));
        QCOMPARE(link.setPath(QStringLiteral("/opt/my app/run")), long(KShellLink::Ok));
        QCOMPARE(link.setArguments(QStringLiteral("\"a b\" 50% $HOME c\\d")), long(KShellLink::Ok));
        QCOMPARE(link.setArguments(QStringLiteral("a\nExec=evil")), long(KShellLink::InvalidArgument));
        const QString text = link.desktopEntry(QStringLiteral("n"));
        QVERIFY(text.contains(QStringLiteral("\nExec=\"/opt/my app/run\" \"a b\" \"50%%\" \"\\\\$HOME\" \"c\\\\\\\\d\"\n")));
    }
};

KTAVRO_TEST_MAIN(TestSandboxLauncher)
#include "tst_sandboxlauncher.moc"
