// The add-on's commands as the host sees them: the factory's ten names, what update() shows,
// what the actions do to the open document.
#include <kcommandfactory.h>
#include <kcommandregistration.h>
#include <kdcinfo.h>
#include <kexportpicturedlg.h>
#include <khostconfig.h>
#include <kpdfbackend.h>
#include <kpresentationbackend.h>
#include <kwriterbackend.h>
#include <kwritercommands.h>
#include <kxapplication.h>
#include <kxfilemenu.h>
#include <kxfilemenuexporttavroimagecommand.h>
#include <kxmainwindow.h>
#include <kxpdf2photocommand.h>
#include <kxsaveasexporttavroimagecommand.h>

#include "ktestdocuments.h"
#include "ktestmain.h"

#include <QApplication>
#include <QImageReader>
#include <QPointer>
#include <QScopedPointer>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <memory>

namespace {
const QStringList kNames = ktest::addonCommandNames();

// A File-menu command whose action may delete it, as a host rebuilding its menu would.
class SelfDeletingCommand : public KxFileMenuExportTavroImageCommand
{
public:
    SelfDeletingCommand(KxMainWindow *host, bool deleteInAction)
        : KxFileMenuExportTavroImageCommand(host, QVariant()), m_delete(deleteInAction) {}

protected:
    void onTriggered() override
    {
        if (m_delete)
            delete this;
    }

private:
    bool m_delete;
};

int countEvents(const QString &name)
{
    int n = 0;
    for (const KDcEvent &event : KxApplication::coreApplication()->getDcInfo()->events())
        n += event.name == name ? 1 : 0;
    return n;
}

QList<QWidget *> exportDialogs()
{
    QList<QWidget *> found;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<KExportPictureDlg *>(widget))
            found.append(widget);
    }
    return found;
}

// The leftmost column with a dark pixel, or -1 on a blank page.
int leftmostInk(const QImage &page)
{
    for (int x = 0; x < page.width(); ++x) {
        for (int y = 0; y < page.height(); ++y) {
            if (qGray(page.pixel(x, y)) < 128)
                return x;
        }
    }
    return -1;
}

int redPixels(const QImage &page)
{
    int n = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            n += c.red() > 200 && c.green() < 60 && c.blue() < 60 ? 1 : 0;
        }
    }
    return n;
}

QImage renderFirstPage(KxMainWindow &window)
{
    KComPtr<IKUnknown> document(window.getActiveCoreView());
    const KComPtr<IKWriterDocument> writer = document.query<IKWriterDocument>();
    KComPtr<IKDocView> view;
    KComPtr<IKDocLayout> layout;
    KComPtr<IKPageRenderer> renderer;
    KComPtr<IKPage> page;
    QImage image;
    if (writer && kSucceeded(writer->activeView(view.put())) && kSucceeded(view->layout(1, layout.put()))
        && kSucceeded(layout->pageRenderer(renderer.put())) && kSucceeded(renderer->page(1, page.put())))
        page->render(&image, 96, 96);
    return image;
}
} // namespace

class TestTavroCommands : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Asked once per process by the export entries: on for this run.
        KHostConfig::setFeatures({QStringLiteral("EnableExportPicture")});
        KHostConfig::setEditionNumber(1);
        kwritercommands::install();
    }

    void init()
    {
        m_window.reset(new KxMainWindow);
        QCoreApplication::setApplicationName(QStringLiteral("vyx"));
    }

    void cleanup()
    {
        qDeleteAll(exportDialogs());
        m_window.reset();
        KxApplication::coreApplication()->setActiveDocument(nullptr);
        KxApplication::coreApplication()->getDcInfo()->clearEvents();
        kwritercommands::setPictureChooser(nullptr);
        KHostConfig::reload();
        KHostConfig::setFeatures({QStringLiteral("EnableExportPicture")});
        KHostConfig::setEditionNumber(1);
    }

    void tenCommandsAreRegisteredAtLoad()
    {
        QCOMPARE(kcommandregistration::names(), kNames);
        QVERIFY(kcommandregistration::allRegistered());
    }

    void factoryMakesAndClonesEachCommand_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString &name : kNames)
            QTest::newRow(qPrintable(name)) << name;
    }

    void factoryMakesAndClonesEachCommand()
    {
        QFETCH(QString, name);
        QScopedPointer<KCommand> command(KCommandFactory::createCommand(name, m_window.data(), 3));
        QVERIFY(command);
        QCOMPARE(QString::fromLatin1(command->metaObject()->className()), name);
        QCOMPARE(command->host(), m_window.data());
        QCOMPARE(command->argument().toInt(), 3);

        command->setProperty("detail", QStringLiteral("ribbon"));
        KxMainWindow other;
        QScopedPointer<KCommand> copy(command->clone(&other, 4));
        QVERIFY(copy);
        QCOMPARE(QString::fromLatin1(copy->metaObject()->className()), name);
        QCOMPARE(copy->host(), &other);
        QCOMPARE(copy->property("detail").toString(), QStringLiteral("ribbon"));

        QObject notAWindow;
        QVERIFY(!command->clone(&notAWindow, {}));
        QWidget notAMainWindow;
        QTest::ignoreMessage(QtWarningMsg, qPrintable(name + QStringLiteral(" need a host KxMainWindow")));
        QVERIFY(!KCommandFactory::createCommand(name, &notAMainWindow));
    }

    void exportFeatureIsAskedOncePerProcess()
    {
        QProcess process;
        ktest::startHelper(process, QStringLiteral("featureOff"));
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(process.readAllStandardOutput().trimmed().split('\n').last(), QByteArray("0 0"));
    }

    void updateFollowsTheDocumentAndHost_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("component");
        QTest::addColumn<QString>("document"); // "writer", "deck", "empty deck" or ""
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QString>("hostValue"); // "key=value" or ""
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("enabled");
        const QString exportName = QStringLiteral("KxExportTavroImageCommand");
        const QString fileMenu = QStringLiteral("KxFileMenuExportTavroImageCommand");
        const QString saveAs = QStringLiteral("KxSaveAsExportTavroImageCommand");
        QTest::newRow("export, writer") << exportName << "vyx" << "writer" << "" << "" << true << true;
        QTest::newRow("export, no document") << exportName << "vyx" << "" << "" << "" << true << false;
        QTest::newRow("cloud entry, pdf") << exportName << "pdf" << "writer" << "CloudSvr" << "" << false << false;
        QTest::newRow("cloud entry, PDF in capitals") << exportName << "PDF" << "writer" << "CloudSvr" << "" << false << false;
        QTest::newRow("cloud entry, writer") << exportName << "vyx" << "writer" << "CloudSvr" << "" << true << true;
        QTest::newRow("cloud entry, sheet") << exportName << "qz" << "writer" << "CloudSvr" << "" << true << true;
        QTest::newRow("cloud entry, file menu, pdf") << fileMenu << "pdf" << "writer" << "CloudSvr" << "" << false << false;
        QTest::newRow("ribbon entry, pdf") << exportName << "pdf" << "writer" << "ribbon" << "" << true << true;
        QTest::newRow("switched off by id") << exportName << "vyx" << "writer" << ""
                                            << "disabledCommands=KxExportTavroImageCommand" << true << false;
        QTest::newRow("another id off") << exportName << "vyx" << "writer" << "" << "disabledCommands=Other" << true << true;
        QTest::newRow("editing an object") << exportName << "vyx" << "writer" << "" << "docState.editingObject=true" << true << false;
        QTest::newRow("print preview") << fileMenu << "vyx" << "writer" << "" << "docState.printPreview=true" << true << false;
        QTest::newRow("protected view") << exportName << "vyx" << "writer" << "" << "docState.protectedView=true" << true << false;
        QTest::newRow("recording a macro") << exportName << "vyx" << "writer" << "" << "docState.recordingMacro=true" << true << false;
        QTest::newRow("shell locked") << exportName << "vyx" << "writer" << "" << "lock" << true << false;
        QTest::newRow("deck with slides") << exportName << "vyd" << "deck" << "" << "" << true << true;
        QTest::newRow("deck without slides") << exportName << "vyd" << "empty deck" << "" << "" << true << false;
        QTest::newRow("save-as, saveable") << saveAs << "vyx" << "writer" << "" << "docSaveable=true" << true << true;
        QTest::newRow("save-as, not saveable") << saveAs << "vyx" << "writer" << "" << "docSaveable=false" << true << false;
        QTest::newRow("export ignores saveable") << exportName << "vyx" << "writer" << "" << "docSaveable=false" << true << true;
        QTest::newRow("save-as, cloud, pdf") << saveAs << "pdf" << "writer" << "CloudSvr" << "" << false << false;
        QTest::newRow("tavro, document") << "KxTavroCommand" << "vyx" << "writer" << "" << "" << true << true;
        QTest::newRow("tavro, no document") << "KxTavroCommand" << "vyx" << "" << "" << "" << true << false;
        QTest::newRow("pdf entry, pdf") << "KxPdf2PhotoCommand" << "pdf" << "writer" << "" << "" << true << true;
        QTest::newRow("pdf entry, writer") << "KxPdf2PhotoCommand" << "vyx" << "writer" << "" << "" << false << false;
    }

    void updateFollowsTheDocumentAndHost()
    {
        QFETCH(QString, name);
        QFETCH(QString, component);
        QFETCH(QString, document);
        QFETCH(QString, detail);
        QFETCH(QString, hostValue);
        QFETCH(bool, visible);
        QFETCH(bool, enabled);
        QCoreApplication::setApplicationName(component);
        openDocument(document);
        const bool lock = hostValue == QLatin1String("lock");
        if (lock)
            KxApplication::coreApplication()->lockMainWindow();
        else if (!hostValue.isEmpty())
            KHostConfig::setValue(hostValue.section(QLatin1Char('='), 0, 0), hostValue.section(QLatin1Char('='), 1));
        QScopedPointer<KCommand> command(KCommandFactory::createCommand(name, m_window.data()));
        command->setProperty("detail", detail);
        // Start from the opposite so that an update that sets nothing is caught.
        if (name != QLatin1String("KxTavroCommand")) // leaves the host's visibility alone
            command->setVisible(!visible);
        command->setEnabled(!enabled);
        command->update();
        if (lock)
            KxApplication::coreApplication()->unlockMainWindow();
        QCOMPARE(command->isVisible(), visible);
        QCOMPARE(command->isEnabled(), enabled);
    }

    void pdfEntryOpensTheDialogInThePdfComponentOnly_data()
    {
        QTest::addColumn<QString>("component");
        QTest::addColumn<int>("dialogs");
        QTest::newRow("pdf") << "pdf" << 1;
        QTest::newRow("writer") << "vyx" << 0;
        QTest::newRow("presentation") << "vyd" << 0;
    }

    void pdfEntryOpensTheDialogInThePdfComponentOnly()
    {
        QFETCH(QString, component);
        QFETCH(int, dialogs);
        QCoreApplication::setApplicationName(component);
        openDocument(QStringLiteral("writer"));
        KxPdf2PhotoCommand command(m_window.data(), {});
        command.setProperty("detail", QStringLiteral("PdfDocEntry"));
        command.setProperty("componentname", QStringLiteral("pdf_co"));
        command.trigger();
        const QList<QWidget *> opened = exportDialogs();
        QCOMPARE(opened.size(), dialogs);
        if (dialogs)
            QCOMPARE(static_cast<KExportPictureDlg *>(opened.first())->hostWindow(), m_window.data());
    }

    void fileMenuCommandDeletedDuringItsActionIsNotTouched_data()
    {
        QTest::addColumn<bool>("deleteInAction");
        QTest::addColumn<int>("reports");
        QTest::newRow("kept") << false << 1;
        QTest::newRow("deleted") << true << 0;
    }

    void fileMenuCommandDeletedDuringItsActionIsNotTouched()
    {
        QFETCH(bool, deleteInAction);
        QFETCH(int, reports);
        QWidget menu;
        QPointer<SelfDeletingCommand> command(new SelfDeletingCommand(m_window.data(), deleteInAction));
        QScopedPointer<KxRbFileMenuTriggerItem> item(command->createFileMenuItem(&menu));
        QSignalSpy triggered(command.data(), &KTriggerCommand::triggered);
        item->click();
        QCOMPARE(command.isNull(), deleteInAction);
        QCOMPARE(triggered.count(), reports);
        QCOMPARE(countEvents(QStringLiteral("filemenu_click")), reports);
        // The entry stays behind harmlessly: hidden, and a click does nothing.
        QCOMPARE(item->isEnabled(), !deleteInAction);
        item->click();
        QCOMPARE(countEvents(QStringLiteral("filemenu_click")), deleteInAction ? 0 : 2);
        delete command.data();
    }

    void layoutChangesTheRenderedPage_data()
    {
        QTest::addColumn<bool>("text");
        QTest::addColumn<QString>("component");
        QTest::addColumn<QString>("log");
        QTest::newRow("text document") << true << "vyx" << "begin:VyxTavroLayout,end:VyxTavroLayout:1";
        QTest::newRow("fixed pages") << false << "vyx" << "begin:VyxTavroLayout,end:VyxTavroLayout:0";
        QTest::newRow("outside the writer") << true << "vyd" << "";
    }

    void layoutChangesTheRenderedPage()
    {
        QFETCH(bool, text);
        QFETCH(QString, log);
        KWriterBackend *backend = text ? openWriter(paragraphsHtml()) : openPdfWriter();
        QVERIFY(backend);
        QFETCH(QString, component);
        QCoreApplication::setApplicationName(component);
        const QImage before = renderFirstPage(*m_window);
        QScopedPointer<KCommand> command(KCommandFactory::createCommand(QStringLiteral("KxVyxTavroLayoutCommand"), m_window.data()));
        static_cast<KTriggerCommand *>(command.data())->trigger();
        const QImage after = renderFirstPage(*m_window);
        QCOMPARE(backend->operationLog().join(QLatin1Char(',')), log);
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-'));
        before.save(ktest::artifactPath(QStringLiteral("layout-%1-before.png").arg(tag)));
        after.save(ktest::artifactPath(QStringLiteral("layout-%1-after.png").arg(tag)));
        if (log.isEmpty() || !text) {
            QCOMPARE(after, before);
            return;
        }
        QCOMPARE(before.height(), 1123); // A4 at 96 dots per inch
        QCOMPARE(after.height(), 1247);  // 330 mm
        QCOMPARE(after.width(), before.width());
        // Margins of 6 instead of 20 mm: the text starts much further left.
        QVERIFY2(leftmostInk(after) < leftmostInk(before) - 40,
                 qPrintable(QStringLiteral("%1 vs %2").arg(leftmostInk(after)).arg(leftmostInk(before))));
    }

    void insertPictureChangesTheRenderedPage_data()
    {
        QTest::addColumn<QString>("component");
        QTest::addColumn<bool>("choose");
        QTest::addColumn<bool>("inserted");
        QTest::newRow("writer") << "vyx" << true << true;
        QTest::newRow("cancelled") << "vyx" << false << false;
        QTest::newRow("spreadsheet") << "qz" << true << false;
    }

    void insertPictureChangesTheRenderedPage()
    {
        QFETCH(QString, component);
        QFETCH(bool, choose);
        QFETCH(bool, inserted);
        QTemporaryDir dir;
        const QString picture = dir.filePath(QStringLiteral("red.png"));
        QImage red(300, 120, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(picture));
        openWriter("<p>Short text.</p>");
        QCoreApplication::setApplicationName(component);
        int asked = 0;
        kwritercommands::setPictureChooser([&](QWidget *) {
            ++asked;
            return choose ? picture : QString();
        });
        const QImage before = renderFirstPage(*m_window);
        QScopedPointer<KCommand> command(KCommandFactory::createCommand(QStringLiteral("KxInsertTavroImageCommand"), m_window.data()));
        static_cast<KTriggerCommand *>(command.data())->trigger();
        const QImage after = renderFirstPage(*m_window);
        QCOMPARE(redPixels(before), 0);
        QCOMPARE(asked, component == QLatin1String("qz") ? 0 : 1);
        // The picture, give or take the scaling of the page's drawing.
        const int shown = redPixels(after);
        QVERIFY2(inserted ? shown > 300 * 120 * 8 / 10 && shown <= 300 * 120 * 11 / 10 : shown == 0, qPrintable(QString::number(shown)));
        if (inserted)
            after.save(ktest::artifactPath(QStringLiteral("insert-picture-after.png")));
    }

    void saveAsPictureIsWrittenInTheChosenFormat_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("mimeType");
        QTest::addColumn<QByteArray>("format"); // empty: refused
        QTest::newRow("jpeg") << "out.jpg" << "image/jpeg" << QByteArray("jpeg");
        QTest::newRow("bmp") << "out.bmp" << "image/bmp" << QByteArray("bmp");
        QTest::newRow("png") << "out.png" << "image/png" << QByteArray("png");
        QTest::newRow("no writer") << "out.emf" << "image/emf" << QByteArray();
    }

    void saveAsPictureIsWrittenInTheChosenFormat()
    {
        QFETCH(QString, name);
        QFETCH(QString, mimeType);
        QFETCH(QByteArray, format);
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("legacy.png"));
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(QColor(10, 120, 200));
        QVERIFY(picture.save(source));
        const QString target = dir.filePath(name);
        QVERIFY(ktest::writeText(target, "kept"));
        QCOMPARE(KxSaveAsExportTavroImageCommand::convertPicture(source, target, mimeType), !format.isEmpty());
        QImageReader reader(target);
        if (format.isEmpty()) {
            QFile kept(target);
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QCOMPARE(kept.readAll(), QByteArray("kept"));
            return;
        }
        QCOMPARE(reader.format(), format);
        const QImage written = reader.read();
        QCOMPARE(written.size(), picture.size());
        QVERIFY(qAbs(written.pixelColor(20, 15).blue() - 200) <= 2); // quality 100: next to no loss
    }

private:
    void openDocument(const QString &kind)
    {
        if (kind == QLatin1String("writer")) {
            openWriter("<p>Some text.</p>");
        } else if (kind.endsWith(QLatin1String("deck"))) {
            const QString markdown = kind == QLatin1String("deck") ? QStringLiteral("# One\n---\n# Two\n") : QString();
            KPresentationBackend *deck = KPresentationBackend::fromDeck(markdown, QDir::tempPath());
            m_window->openDocument(deck, QStringLiteral("deck"));
            deck->Release();
        }
    }

    KWriterBackend *openWriter(const QByteArray &html)
    {
        auto *backend = KWriterBackend::fromText(QString::fromUtf8(html), KWriterBackend::Source::Html);
        m_window->openDocument(backend, QStringLiteral("doc"));
        backend->Release(); // the view holds it now
        return backend;
    }

    KWriterBackend *openPdfWriter()
    {
        const QString path = m_dir.filePath(QStringLiteral("fixed.pdf"));
        if (!ktest::writePdf(path, {QSizeF(595, 842)}))
            return nullptr;
        QString error;
        KPdfBackend *pdf = KPdfBackend::open(path, &error);
        if (!pdf)
            return nullptr;
        KWriterBackend *backend = KWriterBackend::fromPdf(pdf, nullptr);
        pdf->Release();
        m_window->openDocument(backend, QStringLiteral("fixed"));
        backend->Release();
        return backend;
    }

    static QByteArray paragraphsHtml()
    {
        QByteArray html = "<html><body>";
        for (int i = 0; i < 6; ++i)
            html += "<p>A paragraph of plain words that runs over more than one line of the page so that its "
                    "first line and the lines after it can be told apart when the page is drawn.</p>";
        return html + "</body></html>";
    }

    QScopedPointer<KxMainWindow> m_window;
    QTemporaryDir m_dir;
};

// A process of its own, since the feature is asked once per process: prints the export
// entry's visibility before and after the feature is switched on.
int helper(const QString &name, const QStringList &)
{
    if (name != QLatin1String("featureOff"))
        return 2;
    KHostConfig::setFeatures({});
    QCoreApplication::setApplicationName(QStringLiteral("vyx"));
    KxMainWindow window;
    QScopedPointer<KCommand> command(KCommandFactory::createCommand(QStringLiteral("KxExportTavroImageCommand"), &window));
    command->update();
    const bool before = command->isVisible();
    KHostConfig::setFeatures({QStringLiteral("EnableExportPicture")});
    command->update();
    std::printf("%d %d\n", before ? 1 : 0, command->isVisible() ? 1 : 0);
    return 0;
}

KTAVRO_TEST_MAIN_WITH_HELPER(TestTavroCommands, helper)
#include "tst_tavrocommands.moc"
