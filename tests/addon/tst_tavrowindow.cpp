// The legacy tool window, loaded from its own module: it makes the document's picture and
// posts it to the sharing service.
#include <kcommandfactory.h>
#include <khostconfig.h>
#include <ktavrowindowapi.h>
#include <ktavrowindowloader.h>
#include <kxtavrocommand.h>
#include <kwriterbackend.h>
#include <kxapplication.h>
#include <kxmainwindow.h>
#include <kxsharestandin.h>

#include "ktestdocuments.h"
#include "ktestmain.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QWidget *tavroWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("TavroWindow") && widget->isVisible())
            return widget;
    }
    return nullptr;
}
// Runs of rows holding a dark pixel, top to bottom.
int darkBands(const QImage &picture)
{
    int bands = 0;
    bool inBand = false;
    for (int y = 0; y < picture.height(); ++y) {
        bool dark = false;
        for (int x = 0; x < picture.width() && !dark; ++x)
            dark = qGray(picture.pixel(x, y)) < 64;
        bands += dark && !inBand ? 1 : 0;
        inBand = dark;
    }
    return bands;
}
} // namespace

class TestTavroWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qputenv("KTAVRO_TAVROWINDOW_MODULE", KTAVRO_TAVROWINDOW_MODULE_PATH);
        QCoreApplication::setApplicationName(QStringLiteral("vyx"));
        QVERIFY(m_server.start(0));
        KHostConfig::setValue(QStringLiteral("serverUrl.TavroShare"), m_server.url());
        auto *backend = KWriterBackend::fromText(QString::fromUtf8(ktest::blockPagesHtml(3)), KWriterBackend::Source::Html);
        m_window.openDocument(backend, QStringLiteral("doc"));
        backend->Release();
    }

    void windowMakesThePictureAndWaits()
    {
        KTavroWindowApi *tool = ktavrowindowloader::create(&m_window);
        QVERIFY(tool);
        QPointer<QWidget> widget = tool->widget();
        QCOMPARE(widget->objectName(), QStringLiteral("TavroWindow"));
        QCOMPARE(widget->windowTitle(), QStringLiteral("VYX Office Tavro Tool"));
        QVERIFY(widget->windowFlags() & Qt::FramelessWindowHint);
        const QString picture = m_dir.filePath(QStringLiteral("tavro/ktavroimage.png"));
        QSignalSpy received(&m_server, &KxShareStandIn::received);
        QVERIFY(tool->showWithPicture(QRect(10, 20, 640, 480), picture, false, true));
        QCOMPARE(widget->geometry(), QRect(10, 20, 640, 480));
        const QImage made(picture);
        QVERIFY(!made.isNull());
        QCOMPARE(darkBands(made), 3); // the three pages' blocks, stacked
        QTest::qWait(200);
        QCOMPARE(received.count(), 0); // no upload was asked
        widget->grab().save(ktest::artifactPath(QStringLiteral("tavrowindow.png")));
        made.save(ktest::artifactPath(QStringLiteral("tavrowindow-picture.png")));
        widget->close();
        QTRY_VERIFY(widget.isNull()); // deleted on close
    }

    void commandUploadsThePicture()
    {
        QScopedPointer<KCommand> command(KCommandFactory::createCommand(QStringLiteral("KxTavroCommand"), &m_window));
        QSignalSpy received(&m_server, &KxShareStandIn::received);
        static_cast<KTriggerCommand *>(command.data())->trigger();
        QVERIFY(tavroWindow());
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 20000);
        QCOMPARE(received.first().at(1).toByteArray(), QByteArray("application/octet-stream"));
        const QString stored = received.first().at(0).toString();
        QVERIFY(stored.endsWith(QLatin1String("-ktavroimage.png")));
        QFile sent(stored);
        QFile made(qobject_cast<KxTavroCommand *>(command.data())->legacyImagePath());
        QVERIFY(sent.open(QIODevice::ReadOnly));
        QVERIFY(made.open(QIODevice::ReadOnly));
        QCOMPARE(sent.readAll(), made.readAll());
        tavroWindow()->close();
    }

private:
    KxShareStandIn m_server;
    KxMainWindow m_window;
    QTemporaryDir m_dir;
};

KTAVRO_TEST_MAIN(TestTavroWindow)
#include "tst_tavrowindow.moc"
