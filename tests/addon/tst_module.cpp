#include "ktestdocuments.h"
#include "ktestfiles.h"
#include "ktestmain.h"

#include <kappcontext.h>
#include <kdocumentloader.h>
#include <khostconfig.h>
#include <krtdirs.h>
#include <kxapplication.h>
#include <kxmainwindow.h>

#include <QLibrary>

#include <cstdio>
#include <cstdlib>
#include <QTemporaryDir>

namespace {

const QString ModulePath = QStringLiteral(KTAVRO_MODULE_PATH);

QString sandboxFolder()
{
    return krt::dirs::brindlexHome() + QStringLiteral("/vyx/addons/data/win-i386/export_photo");
}

bool isMapped(const QString &path)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(QFileInfo(path).canonicalFilePath().toLocal8Bit());
}

QList<QWidget *> dialogsOfClass(const char *name)
{
    QList<QWidget *> found;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (qstrcmp(widget->metaObject()->className(), name) == 0 && widget->isVisible())
            found << widget;
    }
    return found;
}

// The log the module's sandbox writes now: the newest one.
QString currentLog()
{
    const QFileInfoList logs =
        QDir(sandboxFolder() + QStringLiteral("/log")).entryInfoList({QStringLiteral("*.log")}, QDir::Files, QDir::Time);
    for (const QFileInfo &log : logs) {
        if (log.fileName() != QLatin1String("old.log"))
            return log.absoluteFilePath();
    }
    return QString();
}

} // namespace

class TestModule : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;
    QString m_doc;
    std::unique_ptr<KxMainWindow> m_window;

private slots:
    void initTestCase()
    {
        QVERIFY(QFileInfo::exists(ModulePath));
        QCoreApplication::setApplicationName(QStringLiteral("vyx"));
        m_doc = m_tmp.filePath(QStringLiteral("doc.html"));
        QVERIFY(ktest::writeText(m_doc, ktest::blockPagesHtml(2)));
        const KOpenedDocument opened = KDocumentLoader::open(m_doc);
        QVERIFY2(opened.object, qPrintable(opened.error));
        m_window.reset(new KxMainWindow);
        m_window->openDocument(opened.object.get(), QFileInfo(m_doc).fileName());
        KxApplication::coreApplication()->setActiveDocumentPath(m_doc);
    }

    // The module is lean: a web engine would be loaded into every command-line export.
    void noWebEngineNeeded()
    {
        QProcess readelf;
        readelf.start(QStringLiteral("readelf"), {QStringLiteral("-d"), ModulePath});
        QVERIFY(readelf.waitForFinished(30000));
        QCOMPARE(readelf.exitCode(), 0);
        const QString dynamic = QString::fromLocal8Bit(readelf.readAllStandardOutput());
        QVERIFY(dynamic.contains(QLatin1String("(NEEDED)")));
        QVERIFY(dynamic.contains(QLatin1String("libQt5Widgets")));
        QVERIFY2(!dynamic.contains(QLatin1String("WebKit")), qPrintable(dynamic));
    }

    void commandLineEntriesDoNotStartTheAddon_data()
    {
        QTest::addColumn<int>("edition");
        QTest::newRow("full edition") << 1;
        QTest::newRow("compact edition") << 5;
    }

    void commandLineEntriesDoNotStartTheAddon()
    {
        QFETCH(int, edition);
        KHostConfig::setEditionNumber(edition);
        QLibrary module(ModulePath);
        QVERIFY2(module.load(), qPrintable(module.errorString()));
        const QString output = m_tmp.filePath(QStringLiteral("cli/%1.png").arg(QString::fromLatin1(QTest::currentDataTag())));
        QVERIFY(QDir().mkpath(QFileInfo(output).absolutePath()));
        QVariantMap request{{QStringLiteral("document"), m_doc},
                            {QStringLiteral("mainWindow"), QVariant::fromValue<QObject *>(m_window.get())},
                            {QStringLiteral("output"), output},
                            {QStringLiteral("mode"), QStringLiteral("long")}};
        QVariantMap result;
        typedef int (*RunFn)(const QVariantMap *, QVariantMap *, void (*)(int, int));
        auto run = reinterpret_cast<RunFn>(module.resolve("KtavroRunExport"));
        QVERIFY(run);
        const int answer = run(&request, &result, nullptr);
        QVERIFY2(answer == 0, qPrintable(QString::number(answer) + QLatin1Char(' ') + result.value(QStringLiteral("errMsg")).toString()));
        QVERIFY(QFileInfo::exists(output));
        QVERIFY2(!QFileInfo::exists(sandboxFolder()), "the add-on's framework was started");
        result.clear(); // its texts may live in the module
        QVERIFY(module.unload());
        QVERIFY(!QFileInfo::exists(sandboxFolder()));
        KHostConfig::reload();
    }

    void triggerByNameThenUnload()
    {
        KHostConfig::setEditionNumber(1);
        KHostConfig::setRawConfig(QStringLiteral("Debug/AddonLogToFile"), QStringLiteral("true"));
        QLibrary module(ModulePath);
        QVERIFY2(module.load(), qPrintable(module.errorString()));
        typedef QObject *(*EntryFn)();
        auto getEntry = reinterpret_cast<EntryFn>(module.resolve("GetAppEntryObject"));
        QVERIFY(getEntry);
        std::unique_ptr<QObject> entry(getEntry());
        QVERIFY(entry);
        QVERIFY(QMetaObject::invokeMethod(entry.get(), "trigger",
                                          Q_ARG(KAppObj, KAppObj(KxApplication::coreApplication())),
                                          Q_ARG(KAppContext, KAppContext(m_window.get(), QStringLiteral("RibbonEntry")))));
        QTRY_COMPARE(dialogsOfClass("KExportPictureDlg").size(), 1);

        // Files the start-up marked as expired, and a line still in the log's buffer.
        QVERIFY(QDir().mkpath(sandboxFolder() + QStringLiteral("/temp")));
        QVERIFY(ktest::writeText(sandboxFolder() + QStringLiteral("/temp/old.tmp"), "old"));
        QVERIFY(ktest::writeText(sandboxFolder() + QStringLiteral("/log/old.log"), "old"));
        QTest::qWait(1200); // the dialog's first preview
        for (QWidget *dialog : dialogsOfClass("KExportPictureDlg"))
            dialog->close();
        QTRY_VERIFY_WITH_TIMEOUT(dialogsOfClass("KExportPictureDlg").isEmpty(), 20000);
        QTest::qWait(200);
        entry.reset();
        const QString log = currentLog();
        QVERIFY(!log.isEmpty());
        qWarning("ktavro-unload-marker");
        QVERIFY2(!ktest::readFile(log).contains("ktavro-unload-marker"), "the line was not buffered");

        QVERIFY(module.unload());
        QVERIFY(!isMapped(ModulePath));
        QVERIFY(ktest::readFile(log).contains("ktavro-unload-marker"));
        QVERIFY(!QFileInfo::exists(sandboxFolder() + QStringLiteral("/temp/old.tmp")));
        QVERIFY(!QFileInfo::exists(sandboxFolder() + QStringLiteral("/log/old.log")));
        QVERIFY(QFileInfo::exists(log));
        // The module's message handler went with it, and so did its timers.
        qWarning("after unload");
        QTest::qWait(2500);
        KHostConfig::reload();
    }
};

// The process ends without its destructors: process-wide containers (Qt's font cache, the
// host's plug-in table) may still hold texts the unloaded module made, and would read them on
// the way out. A host unloads its add-ons when it ends; what is tested here is the unloading.
int main(int argc, char **argv)
{
    auto *app = new QApplication(argc, argv);
    krt::host::initialize();
    int failures = 0;
    {
        TestModule tc;
        failures = QTest::qExec(&tc, argc, argv);
    }
    Q_UNUSED(app);
    std::fflush(nullptr);
    std::_Exit(failures);
}
#include "tst_module.moc"
