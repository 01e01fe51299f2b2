// The host's command factory and command bases as add-ons use them.
#include <kcommandfactory.h>
#include <kcommandfactoryitem.h>
#include <khostconfig.h>
#include <klistcommand.h>
#include <ktriggercommand.h>
#include <kxmainwindow.h>

#include <QScopedPointer>
#include <QtTest>

namespace {
class ProbeCommand : public KTriggerCommand
{
public:
    ProbeCommand(KxMainWindow *host, const QVariant &argument) : KTriggerCommand(host, argument) {}
    int runs = 0;

protected:
    void onTriggered() override { ++runs; }
};
} // namespace

class TestCommands : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { KHostConfig::reload(); }

    void factoryCreatesForItsHostOnly()
    {
        KCommandFactoryItem<ProbeCommand, KxMainWindow> item("ProbeCommand", "KxMainWindow");
        QVERIFY(KCommandFactory::registerCommand(&item));
        QVERIFY(!KCommandFactory::registerCommand(&item));

        KxMainWindow window;
        QScopedPointer<KCommand> made(KCommandFactory::createCommand(QStringLiteral("ProbeCommand"), &window, 7));
        QVERIFY(made);
        QCOMPARE(made->host(), &window);
        QCOMPARE(made->argument().toInt(), 7);

        QObject notAWindow;
        QTest::ignoreMessage(QtWarningMsg, "ProbeCommand need a host KxMainWindow");
        QVERIFY(!KCommandFactory::createCommand(QStringLiteral("ProbeCommand"), &notAWindow));
        QVERIFY(!KCommandFactory::createCommand(QStringLiteral("Unknown"), &window));

        QVERIFY(KCommandFactory::unregisterCommand(&item));
        QVERIFY(!KCommandFactory::isRegistered(QStringLiteral("ProbeCommand")));
        QVERIFY(!KCommandFactory::unregisterCommand(&item));
    }

    void disabledCommandIsNotRun()
    {
        KxMainWindow window;
        ProbeCommand command(&window, {});
        command.trigger();
        command.setEnabled(false);
        command.trigger();
        QCOMPARE(command.runs, 1);
    }

    void configurationDisablesByIdentifier_data()
    {
        QTest::addColumn<QString>("disabled");
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("off");
        QTest::newRow("listed") << "A, ExportPicture" << "ExportPicture" << true;
        QTest::newRow("prefix only") << "ExportPictureX" << "ExportPicture" << false;
        QTest::newRow("none") << "" << "ExportPicture" << false;
    }

    void configurationDisablesByIdentifier()
    {
        QFETCH(QString, disabled);
        QFETCH(QString, id);
        QFETCH(bool, off);
        KHostConfig::setValue(QStringLiteral("disabledCommands"), disabled);
        KxMainWindow window;
        ProbeCommand command(&window, {});
        command.setIdMso(id);
        QCOMPARE(command.isDisableByIdMso(), off);
    }


    void listIsVisibleWhileAMemberIs()
    {
        KxMainWindow window;
        KListCommand list(&window, {});
        auto *member = new ProbeCommand(&window, {});
        list.addCommand(member);
        member->setVisible(false);
        list.update();
        QVERIFY(!list.isVisible());
        member->setVisible(true);
        list.update();
        QVERIFY(list.isVisible());
        delete member;
        QVERIFY(list.commands().isEmpty());
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
