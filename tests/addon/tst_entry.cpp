#include "ktestdocuments.h"
#include "ktestmain.h"

#include <kexportentrysteps.h>
#include <kexportimagedialog.h>
#include <kexportpicturedlg.h>
#include <kexporttavroimage.h>
#include <kxexporttavroimageobject.h>

#include <kapptranslators.h>
#include <kdcinfo.h>
#include <kdocumentloader.h>
#include <kexceptionguard.h>
#include <khostconfig.h>
#include <kxapplication.h>
#include <kxmainwindow.h>

#include <QMetaMethod>
#include <QPointer>
#include <QTemporaryDir>

extern "C" QObject *GetAppEntryObject();

namespace {

// The export dialogs open now, full or compact.
QList<QWidget *> openDialogs()
{
    QList<QWidget *> dialogs;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<KExportPictureDlg *>(widget) || qobject_cast<KExportImageDialog *>(widget))
            dialogs << widget;
    }
    return dialogs;
}

void closeDialogs()
{
    for (QWidget *dialog : openDialogs()) {
        QPointer<QWidget> guard(dialog);
        dialog->close();
        if (guard)
            guard->deleteLater();
    }
    QTRY_VERIFY_WITH_TIMEOUT(openDialogs().isEmpty(), 20000);
}

int startEvents(const QString &from)
{
    int count = 0;
    for (const KDcEvent &event : KxApplication::coreApplication()->getDcInfo()->events())
        count += event.name == QLatin1String("vas_exportphoto_start") && event.fields.value(QStringLiteral("from")) == from;
    return count;
}

} // namespace

class TestEntry : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;
    std::unique_ptr<KxMainWindow> m_window;

    void trigger(KExportTavroImage &entry, const QString &from)
    {
        QVERIFY(QMetaObject::invokeMethod(&entry, "trigger", Q_ARG(KAppObj, KAppObj(KxApplication::coreApplication())),
                                          Q_ARG(KAppContext, KAppContext(m_window.get(), from))));
    }

private slots:
    void initTestCase()
    {
        const QString doc = m_tmp.filePath(QStringLiteral("doc.html"));
        QVERIFY(ktest::writeText(doc, ktest::blockPagesHtml(2)));
        const KOpenedDocument opened = KDocumentLoader::open(doc);
        QVERIFY2(opened.object, qPrintable(opened.error));
        m_window.reset(new KxMainWindow);
        m_window->openDocument(opened.object.get(), QFileInfo(doc).fileName());
        KxApplication::coreApplication()->setActiveDocumentPath(doc);
    }

    void cleanup()
    {
        closeDialogs();
        KHostConfig::reload();
        QCoreApplication::setApplicationName(QStringLiteral("vyx"));
    }

    void initialFormat_data()
    {
        QTest::addColumn<QString>("proposed");
        QTest::addColumn<bool>("compact");
        QTest::addColumn<int>("format");
        // The suffix rules are the compact dialog's; here, that a proposed name reaches them.
        QTest::newRow("bmp") << "/tmp/a.b/photo.Bmp" << false << 2;
        QTest::newRow("none, full dialog") << "" << false << -1;
        QTest::newRow("none, compact dialog") << "" << true << 1;
    }

    void initialFormat()
    {
        QFETCH(QString, proposed);
        QFETCH(bool, compact);
        QFETCH(int, format);
        QCOMPARE(KExportEntrySteps::initialFormat(proposed, compact), format);
    }

    void componentName_data()
    {
        QTest::addColumn<QString>("application");
        QTest::addColumn<QString>("standalone"); // "Support/VYXPDFStandalone"
        QTest::addColumn<QString>("component");
        QTest::newRow("writer") << "vyx" << "" << "writer";
        QTest::newRow("writer in capitals") << "VYX" << "TRUE" << "writer";
        QTest::newRow("pdf standalone in capitals") << "pdf" << "TRUE" << "pdf_co";
        QTest::newRow("PDF standalone") << "PDF" << "true" << "pdf_co";
        QTest::newRow("pdf in the suite") << "pdf" << "false" << "pdf";
        QTest::newRow("pdf, unset") << "Pdf" << "" << "pdf";
        QTest::newRow("pdf, other text") << "pdf" << "yes" << "pdf";
        QTest::newRow("presentation") << "vyd" << "TRUE" << "vyd";
        QTest::newRow("spreadsheet lower-cased") << "QZ" << "" << "qz";
    }

    void componentName()
    {
        QFETCH(QString, application);
        QFETCH(QString, standalone);
        QFETCH(QString, component);
        QCoreApplication::setApplicationName(application);
        KHostConfig::setRawConfig(QStringLiteral("Support/VYXPDFStandalone"), standalone);
        QCOMPARE(KExportEntrySteps::componentName(), component);
    }

    void shouldReportStart_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("draw");
        QTest::addColumn<bool>("collectionDisabled");
        QTest::addColumn<bool>("reported");
        QTest::newRow("other entry, low draw") << "RibbonEntry" << 0 << false << true;
        QTest::newRow("other entry, collection disabled") << "RibbonEntry" << 0 << true << true;
        QTest::newRow("case matters") << "pdfdocentry" << 0 << false << true;
        QTest::newRow("pdf entry, 94 skips") << "PdfDocEntry" << 94 << false << false;
        QTest::newRow("pdf entry, 95 reports") << "PdfDocEntry" << 95 << false << true;
        QTest::newRow("pdf entry, 99 reports") << "PdfDocEntry" << 99 << false << true;
        QTest::newRow("pdf entry, collection disabled") << "PdfDocEntry" << 99 << true << false;
    }

    void shouldReportStart()
    {
        QFETCH(QString, entry);
        QFETCH(int, draw);
        QFETCH(bool, collectionDisabled);
        QFETCH(bool, reported);
        if (collectionDisabled)
            KHostConfig::setFeatures({QStringLiteral("DisableGlobalInfoCollect")});
        QCOMPARE(KExportEntrySteps::shouldReportStart(entry, draw), reported);
    }

    // The compact editions open no dialog yet, so many calls run quickly.
    void startReportsAreSampled()
    {
        KHostConfig::setEditionNumber(0);
        KExportTavroImage entry;
        KDcInfoC *stats = KxApplication::coreApplication()->getDcInfo();
        QVERIFY(stats);
        stats->clearEvents();
        const int calls = 600;
        for (int i = 0; i < calls; ++i) {
            trigger(entry, QStringLiteral("PdfDocEntry"));
            trigger(entry, QStringLiteral("RibbonEntry"));
        }
        QCOMPARE(startEvents(QStringLiteral("RibbonEntry")), calls);
        // One in twenty: 30 expected, a standard deviation of about 5.3.
        const int sampled = startEvents(QStringLiteral("PdfDocEntry"));
        QVERIFY2(sampled >= 10 && sampled <= 55, qPrintable(QString::number(sampled)));
    }

    void dialog_data()
    {
        QTest::addColumn<int>("edition");
        QTest::addColumn<bool>("operationAllowed");
        QTest::addColumn<bool>("saveAsAllowed");
        QTest::addColumn<bool>("dialogShown");
        QTest::addColumn<int>("reports");
        QTest::newRow("full dialog, edition 1") << 1 << true << true << true << 1;
        QTest::newRow("full dialog, edition 12") << 12 << true << true << true << 1;
        QTest::newRow("compact edition 0") << 0 << true << true << true << 1;
        QTest::newRow("compact edition 5") << 5 << true << true << true << 1;
        QTest::newRow("compact edition 7") << 7 << true << true << true << 1;
        QTest::newRow("operation refused") << 1 << false << true << false << 0;
        QTest::newRow("save-as refused") << 1 << true << false << false << 0;
        QTest::newRow("both refused, compact") << 0 << false << false << false << 0;
    }

    void dialog()
    {
        QFETCH(int, edition);
        QFETCH(bool, operationAllowed);
        QFETCH(bool, saveAsAllowed);
        QFETCH(bool, dialogShown);
        QFETCH(int, reports);
        KHostConfig::setEditionNumber(edition);
        KHostConfig::setValue(QStringLiteral("docOperationEnable"), operationAllowed);
        KHostConfig::setValue(QStringLiteral("docSaveAsEnable"), saveAsAllowed);
        KxApplication::coreApplication()->getDcInfo()->clearEvents();
        KExceptionGuard::clearHistory();
        const int widgetsBefore = QApplication::topLevelWidgets().size();

        KExportTavroImage entry;
        trigger(entry, QStringLiteral("RibbonEntry"));
        QCOMPARE(KExceptionGuard::history(), QStringList{QStringLiteral("KxExportTavroImageCommand")});
        QCOMPARE(startEvents(QStringLiteral("RibbonEntry")), reports);
        const QList<QWidget *> dialogs = openDialogs();
        QCOMPARE(dialogs.size(), dialogShown ? 1 : 0);
        if (dialogShown) {
            QVERIFY(dialogs.first()->isVisible()); // shown, and trigger returned
            const bool compact = edition == 0 || edition == 5 || edition == 7;
            QCOMPARE(qobject_cast<KExportImageDialog *>(dialogs.first()) != nullptr, compact);
        } else {
            QCOMPARE(QApplication::topLevelWidgets().size(), widgetsBefore);
        }
    }

    void entryObject()
    {
        std::unique_ptr<QObject> first(GetAppEntryObject());
        std::unique_ptr<QObject> second(GetAppEntryObject());
        QVERIFY(first && second && first != second);
        QVERIFY(!first->parent());
        const QMetaObject *meta = first->metaObject();
        QCOMPARE(meta->methodCount() - QObject::staticMetaObject.methodCount(), 1);
        QCOMPARE(meta->propertyCount(), QObject::staticMetaObject.propertyCount());
        const QMetaMethod trigger = meta->method(meta->methodCount() - 1);
        QCOMPARE(trigger.methodSignature(), QByteArray("trigger(KAppObj,KAppContext)"));
        QCOMPARE(trigger.methodType(), QMetaMethod::Method);
        QCOMPARE(trigger.access(), QMetaMethod::Public);
        QCOMPARE(trigger.returnType(), int(QMetaType::Void));
        // The worker goes with the entry object.
        QCOMPARE(first->findChildren<KxExportTavroImageObject *>().size(), 1);
    }

    void translations()
    {
        const QString folder = KxExportTavroImageObject::translationFolder();
        QVERIFY(folder.endsWith(QLatin1String("/mui/")));
        QCOMPARE(QDir::cleanPath(folder + QStringLiteral("..")), QCoreApplication::applicationDirPath());
        const QString language = QStringLiteral("xx");
        KHostConfig::setValue(QStringLiteral("language"), language);
        QVERIFY(QDir().mkpath(folder + language));
        const QString installed = folder + language + QStringLiteral("/ktavro.qm");
        QFile::remove(installed);
        QVERIFY(QFile::copy(QStringLiteral(KTAVRO_TEST_QM), installed));
        const char *source = "Export to Picture";

        auto entry = std::make_unique<KExportTavroImage>();
        QCOMPARE(QCoreApplication::translate("KTavroEntryTest", source), QStringLiteral("Xport xo Xicture"));
        QVERIFY(KCoreApplication::translator()->installedFolders().contains(QDir::cleanPath(folder)));
        entry.reset();
        QCOMPARE(QCoreApplication::translate("KTavroEntryTest", source), QString::fromLatin1(source));
        QVERIFY(!KCoreApplication::translator()->installedFolders().contains(QDir::cleanPath(folder)));
        QVERIFY(QDir(folder).removeRecursively());
    }
};

KTAVRO_TEST_MAIN(TestEntry)
#include "tst_entry.moc"
