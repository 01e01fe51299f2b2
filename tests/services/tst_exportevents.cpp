#include "ktestmain.h"

#include <exportevent.h>
#include <kdcinfo.h>
#include <khostconfig.h>
#include <kxapplication.h>

#include <QJsonDocument>
#include <QJsonObject>

class TestExportEvents : public QObject
{
    Q_OBJECT

    KDcInfoC *statistics() { return KxApplication::coreApplication()->getDcInfo(); }

    KDcEvent lastEvent()
    {
        const QList<KDcEvent> events = statistics()->events();
        return events.isEmpty() ? KDcEvent() : events.last();
    }

private slots:
    void initTestCase()
    {
        KHostConfig::setValue(QStringLiteral("plugins"), QStringList());
        QCoreApplication::setApplicationName(QStringLiteral("vyx"));
    }

    // Runs first: the kept version is process-wide.
    void pluginVersionIsKeptOnceKnown()
    {
        sendExportEvent(QStringLiteral("show"));
        QCOMPARE(lastEvent().fields.value(QStringLiteral("plugin_version"), QStringLiteral("unset")), QString());

        KHostConfig::setValue(QStringLiteral("plugins"), QStringList{QStringLiteral("other=9.9"), QStringLiteral("ktavro=2.0.1")});
        sendExportEvent(QStringLiteral("show"));
        QCOMPARE(lastEvent().fields.value(QStringLiteral("plugin_version")), QStringLiteral("2.0.1"));

        KHostConfig::setValue(QStringLiteral("plugins"), QStringList{QStringLiteral("ktavro=3.0")});
        sendExportEvent(QStringLiteral("show"));
        QCOMPARE(lastEvent().fields.value(QStringLiteral("plugin_version")), QStringLiteral("2.0.1"));
    }

    void componentAndNameAreSet_data()
    {
        QTest::addColumn<QString>("application");
        QTest::addColumn<QString>("component");
        QTest::newRow("pdf") << "pdf" << "pdf_co";
        QTest::newRow("PDF any case") << "Pdf" << "pdf_co";
        QTest::newRow("writer") << "vyx" << "vyx";
        QTest::newRow("spreadsheet") << "qz" << "qz";
    }

    void componentAndNameAreSet()
    {
        QFETCH(QString, application);
        QFETCH(QString, component);
        QCoreApplication::setApplicationName(application);
        sendExportEvent(QStringLiteral("begin"), {{QStringLiteral("component_type"), QStringLiteral("mine")},
                                                  {QStringLiteral("pages"), QStringLiteral("3")}});
        const KDcEvent event = lastEvent();
        QCOMPARE(event.name, QStringLiteral("vas_exportphoto_begin"));
        QCOMPARE(event.probability, 1);
        QCOMPARE(event.fields.value(QStringLiteral("component_type")), component);
        QCOMPARE(event.fields.value(QStringLiteral("pages")), QStringLiteral("3"));
        QCOMPARE(event.fields.size(), 3);
    }

    void eventsAreAppendedToTheHostsFile()
    {
        QCoreApplication::setApplicationName(QStringLiteral("pdf"));
        sendExportEvent(QStringLiteral("end"), {{QStringLiteral("result"), QStringLiteral("ok")}});
        QFile file(KDcInfoC::eventFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.last(), QByteArray()); // every event ends its line
        QCOMPARE(lines.size() - 1, statistics()->events().size());
        const QJsonObject line = QJsonDocument::fromJson(lines.at(lines.size() - 2)).object();
        QCOMPARE(line.value(QStringLiteral("event")).toString(), QStringLiteral("vas_exportphoto_end"));
        const QJsonObject fields = line.value(QStringLiteral("fields")).toObject();
        QCOMPARE(fields.value(QStringLiteral("component_type")).toString(), QStringLiteral("pdf_co"));
        QCOMPARE(fields.value(QStringLiteral("result")).toString(), QStringLiteral("ok"));
    }

    void withoutStatisticsNothingIsPosted()
    {
        const int before = statistics()->events().size();
        KHostConfig::setValue(QStringLiteral("statisticsService"), false);
        QVERIFY(!statistics());
        sendExportEvent(QStringLiteral("begin"));
        KHostConfig::setValue(QStringLiteral("statisticsService"), true);
        QCOMPARE(statistics()->events().size(), before);
    }
};

KTAVRO_TEST_MAIN(TestExportEvents)
#include "tst_exportevents.moc"
