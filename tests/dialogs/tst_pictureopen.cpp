#include "ktestmain.h"

#include <kdcinfo.h>
#include <khostconfig.h>
#include <kpictureopen.h>
#include <kxapplication.h>

#include <QElapsedTimer>
#include <QTemporaryDir>

namespace {

// A stand-in viewer that records the arguments it was started with, one a line.
const QByteArray kRecordingViewer = "#!/bin/sh\n"
                                    "printf '%s\\n' \"$@\" > \"$(dirname \"$0\")/args.tmp\"\n"
                                    "mv \"$(dirname \"$0\")/args.tmp\" \"$(dirname \"$0\")/args\"\n";

QStringList awaitArguments(const QString &file)
{
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(file) && timer.elapsed() < 10000)
        QTest::qWait(20);
    QFile args(file);
    if (!args.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(args.readAll()).split(QLatin1Char('\n'));
    lines.removeLast(); // every argument ends its line
    return lines;
}

} // namespace

class TestPictureOpen : public QObject
{
    Q_OBJECT

    QString lastResult()
    {
        const QList<KDcEvent> events = KxApplication::coreApplication()->getDcInfo()->events();
        if (events.isEmpty() || events.last().name != QLatin1String("vas_exportphoto_openphoto"))
            return QStringLiteral("no event");
        return events.last().fields.value(QStringLiteral("result"));
    }

private slots:
    void initTestCase()
    {
        KHostConfig::setValue(QStringLiteral("plugins"), QStringList());
        QCoreApplication::setApplicationName(QStringLiteral("vyx"));
    }

    void viewerIsStartedWithTheFile_data()
    {
        QTest::addColumn<QString>("viewer"); // what lies at the viewer's place
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("started");
        QTest::newRow("plain name") << "script" << "Report.png" << true;
        QTest::newRow("spaces and quotes stay one argument") << "script" << "My \"best\" report 'v2'.png" << true;
        QTest::newRow("leading dash is not an option") << "script" << "-src=evil.png" << true;
        QTest::newRow("no viewer installed") << "none" << "Report.png" << false;
        QTest::newRow("viewer not executable") << "plain" << "Report.png" << false;
        QTest::newRow("no file named") << "script" << "" << false;
    }

    void viewerIsStartedWithTheFile()
    {
        QFETCH(QString, viewer);
        QFETCH(QString, file);
        QFETCH(bool, started);
        QTemporaryDir office;
        QVERIFY(office.isValid());
        KHostConfig::setValue(QStringLiteral("officeFolder"), office.path());
        QFile program(office.filePath(QStringLiteral("brindlex")));
        if (viewer != QLatin1String("none")) {
            QVERIFY(program.open(QIODevice::WriteOnly));
            program.write(kRecordingViewer);
            program.close();
            if (viewer == QLatin1String("script"))
                QVERIFY(program.setPermissions(program.permissions() | QFile::ExeOwner));
        }
        QDir::setCurrent(office.path());

        QCOMPARE(openWithPictureViewer(file), started);
        QCOMPARE(lastResult(), started ? QStringLiteral("success") : QStringLiteral("failed"));
        if (started) {
            const QStringList expected{QStringLiteral("view"), office.filePath(file), QStringLiteral("-src=vyx_ktavro")};
            QCOMPARE(awaitArguments(office.filePath(QStringLiteral("args"))), expected);
        } else {
            QTest::qWait(200);
            QVERIFY(!QFile::exists(office.filePath(QStringLiteral("args"))));
        }
    }

    void callerIsNamedByTheApplication_data()
    {
        QTest::addColumn<QString>("application");
        QTest::newRow("writer") << "vyx";
        QTest::newRow("pdf") << "pdf";
        QTest::newRow("spreadsheet") << "qz";
    }

    void callerIsNamedByTheApplication()
    {
        QFETCH(QString, application);
        QCoreApplication::setApplicationName(application);
        KHostConfig::setValue(QStringLiteral("officeFolder"), QStringLiteral("/opt/suite/"));
        const KPictureViewerCommand command = pictureViewerCommand(QStringLiteral("/data/a.png"));
        QCOMPARE(command.program, QStringLiteral("/opt/suite/brindlex"));
        const QStringList expected{QStringLiteral("view"), QStringLiteral("/data/a.png"),
                                   QStringLiteral("-src=%1_ktavro").arg(application)};
        QCOMPARE(command.arguments, expected);
        QCoreApplication::setApplicationName(QStringLiteral("vyx"));
    }

    void programFolderIsTheHostsUnlessConfigured()
    {
        KHostConfig::setValue(QStringLiteral("officeFolder"), QString());
        QCOMPARE(pictureViewerCommand(QStringLiteral("/a.png")).program,
                 QCoreApplication::applicationDirPath() + QStringLiteral("/brindlex"));
    }
};

KTAVRO_TEST_MAIN(TestPictureOpen)
#include "tst_pictureopen.moc"
