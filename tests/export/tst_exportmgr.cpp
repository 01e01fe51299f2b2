#include "ktestmain.h"
#include "testrendertask.h"

#include <kexportimagemgr.h>
#include <kxapplication.h>

#include <QTemporaryDir>

namespace {

ExportImageOptions perPage(const QString &dir)
{
    ExportImageOptions o;
    o.outputDir = dir;
    o.fileName = QStringLiteral("Doc");
    o.longPicture = false;
    return o;
}

} // namespace

class TestExportMgr : public QObject
{
    Q_OBJECT
private slots:
    // While one export runs the shell is locked and a second is refused with a message;
    // a cancel ends the run, removes its output and unlocks the shell.
    void secondExportIsRefusedAndCancelUnlocks()
    {
        QTemporaryDir dir;
        auto *task = TestRenderTask::uniform(500, QSize(10, 10), Qt::red);
        task->pageDelayMs = 5;
        KExportImageMgr mgr(task, nullptr);
        QSignalSpy tips(&mgr, &KExportImageMgr::showTips);
        QSignalSpy finished(&mgr, &KExportImageMgr::exportFinished);
        QSignalSpy cancelled(&mgr, &KExportImageMgr::exportCancel);
        KCoreApplication *app = KxApplication::coreApplication();
        app->clearShellLog();

        QVERIFY(mgr.startExport(perPage(dir.path())));
        QCOMPARE(tips.count(), 1);
        QVERIFY(mgr.isBusy());
        QVERIFY(app->isInteractionLocked());
        QStringList shown;
        mgr.setBusyPresenter([&shown](const QString &title, const QString &message) { shown << title << message; });
        QVERIFY(!mgr.startExport(perPage(dir.path())));
        QCOMPARE(shown, QStringList({"Export Image", "Another export task is running,please wait and try again"}));
        QVERIFY(task->pageWritten.tryAcquire(1, 10000)); // the running export goes on

        mgr.cancel();
        QCOMPARE(cancelled.count(), 1);
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.at(0).at(0).value<KExportImageTask::ExitCode>(), KExportImageTask::Canceled);
        QVERIFY(!mgr.isBusy());
        QVERIFY(!app->isInteractionLocked());
        QCOMPARE(app->shellLog(), QStringList({"lock", "interaction:1", "unlock", "interaction:0"}));
        QCOMPARE(app->mainWindowLockDepth(), 0);
        QVERIFY(QDir(dir.path()).isEmpty()); // the refused export wrote nothing either

        task->pages = task->pages.mid(0, 3);
        QVERIFY(mgr.startExport(perPage(dir.path())));
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.at(1).at(0).value<KExportImageTask::ExitCode>(), KExportImageTask::Success);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList({"Doc"}));
    }

    void queriesForwardToTheTask()
    {
        KExportImageMgr mgr(TestRenderTask::uniform(6, QSize(7, 5), Qt::red), nullptr);
        QCOMPARE(mgr.pageCount(), 6);
        QCOMPARE(mgr.previewImage().size(), QSize(7, 5));
        KExportImageMgr none(nullptr, nullptr);
        QCOMPARE(none.pageCount(), 0);
        QVERIFY(none.previewImage().isNull());
        int refusals = 0;
        none.setBusyPresenter([&refusals](const QString &, const QString &) { ++refusals; });
        QVERIFY(!none.startExport(ExportImageOptions()));
        QCOMPARE(refusals, 1);
    }
};

KTAVRO_TEST_MAIN(TestExportMgr)
#include "tst_exportmgr.moc"
