#include "ktestdocuments.h"
#include "ktestmain.h"
#include "ktestprocess.h"

#include <QElapsedTimer>
#include <QImageReader>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>
#include <memory>
#include <sys/file.h>
#include <unistd.h>

namespace {

using ktest::Run;

const QString kBrindlex = QStringLiteral(BRINDLEX_PATH);

// What a person reads on a failure: "title: message" and the cause below it, and the same
// in the JSON answer.
QString failureProblem(const Run &run)
{
    const QStringList lines = run.err.trimmed().split(QLatin1Char('\n'));
    if (run.status != 1)
        return QStringLiteral("status %1, stderr: %2").arg(run.status).arg(run.err);
    if (lines.size() < 2 || !lines.first().contains(QLatin1String(": ")))
        return QStringLiteral("no title and cause in: ") + run.err;
    for (const char *key : {"errTitle", "errMsg", "detail"})
        if (run.json.value(QLatin1String(key)).toString().isEmpty())
            return QStringLiteral("JSON without %1: %2").arg(QLatin1String(key), run.out);
    return QString();
}

// Entries below the folder that are neither expected nor a complete picture: temporary
// files, partial pictures, stray folders.
QStringList strays(const QString &folder, const QStringList &expected)
{
    QStringList found;
    for (const QString &entry : ktest::entriesBelow(folder)) {
        const QFileInfo info(QDir(folder).filePath(entry));
        if (expected.contains(entry) || (info.isDir() && !info.fileName().startsWith(QLatin1Char('.'))))
            continue;
        QImageReader reader(info.filePath());
        if (info.fileName().startsWith(QLatin1Char('.')) || reader.read().isNull())
            found << entry;
    }
    return found;
}

// A file cut short at the path, as a killed writer leaves it; kept open and locked when a
// writer still at work should seem to hold it. Null when it cannot be made.
std::unique_ptr<QFile> leavePartial(const QString &path, const QByteArray &bytes, bool locked)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly) || file->write(bytes) <= 0 || !file->flush())
        return nullptr;
    if (locked && ::flock(file->handle(), LOCK_EX | LOCK_NB) != 0)
        return nullptr;
    if (!locked)
        file->close();
    return file;
}

bool setImmutable(const QString &path, bool on)
{
    QProcess chattr;
    chattr.start(QStringLiteral("chattr"), {QLatin1String(on ? "+i" : "-i"), path});
    return chattr.waitForFinished() && chattr.exitStatus() == QProcess::NormalExit && chattr.exitCode() == 0;
}

// Signals the process if it still runs: the id of an ended one is 0, and kill(0) would
// signal this test's own process group.
void signalProcess(QProcess &process, int signal)
{
    const qint64 pid = process.processId();
    if (pid > 0 && process.state() == QProcess::Running)
        ::kill(pid_t(pid), signal);
}

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_tmp.reset(new QTemporaryDir);
        m_dir.setPath(m_tmp->path());
        QVERIFY(m_dir.mkdir(QStringLiteral("scratch")));
    }

    void cleanup()
    {
        // A folder made read-only must not keep the temporary folder from going.
        const QString folder = m_dir.filePath(QStringLiteral("Doc"));
        if (::geteuid() == 0 && QFileInfo(folder).isDir())
            setImmutable(folder, false);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Something goes wrong with the pages' folder or the document while pages are written:
    // the run fails with its cause, promptly, and leaves only whole pictures behind.
    void faultsDuringAPerPageExport_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("left"); // besides the document and whole pictures
        QTest::addColumn<QString>("cause"); // in the message, when the export fails
        QTest::newRow("folder removed") << "remove" << QStringList() << "is gone|No such file or directory";
        QTest::newRow("folder replaced by a file") << "replace" << QStringList{"Doc"}
                                                   << "Not a directory|is gone|No such file or directory"; // gone until the file takes its place
        QTest::newRow("folder made read-only") << "read-only" << QStringList() << "Permission denied|Operation not permitted";
        QTest::newRow("document deleted") << "delete document" << QStringList() << "";
    }

    void faultsDuringAPerPageExport()
    {
        QFETCH(QString, fault);
        QFETCH(QStringList, left);
        QFETCH(QString, cause);
        const bool readOnly = fault == QLatin1String("read-only");
        // Permissions do not hold root back; the immutable flag does, where the file system has it.
        const bool asRoot = ::geteuid() == 0;
        if (readOnly && asRoot && (!setImmutable(m_dir.path(), true) || !setImmutable(m_dir.path(), false)))
            QSKIP("root, and no immutable flag here");
        const QString document = writePdf(8);
        const QString folder = m_dir.filePath(QStringLiteral("Doc"));
        QProcess process;
        start(process, {"export", document, "--each-page", "--quality", "600", "--format", "png", "--json"});
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(folder).entryList(QDir::Files).isEmpty(), 60000);
        if (fault == QLatin1String("remove") || fault == QLatin1String("replace")) {
            QVERIFY(QDir(folder).removeRecursively());
            if (fault == QLatin1String("replace"))
                QVERIFY(ktest::writeText(folder, "in the way"));
        } else if (readOnly) {
            QVERIFY(asRoot ? setImmutable(folder, true) : QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        } else {
            QVERIFY(QFile::remove(document));
        }
        const Run run = ktest::finish(process);
        if (readOnly && asRoot)
            QVERIFY(setImmutable(folder, false)); // before anything can fail and leave it so
        if (fault == QLatin1String("delete document") && run.status == 0) {
            // The document was read whole before its pages were drawn: every page is there.
            QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 8);
        } else {
            QVERIFY2(failureProblem(run).isEmpty(), qPrintable(failureProblem(run)));
            QVERIFY2(run.err.contains(QRegularExpression(cause)), qPrintable(run.err));
        }
        QCOMPARE(strays(m_dir.path(), left + QStringList{"Doc.pdf", "scratch"}), QStringList());
        QCOMPARE(ktest::entriesBelow(m_dir.filePath(QStringLiteral("scratch"))), QStringList());
    }

    // A signal at any moment, from start-up to the last page: either the export finished
    // and every page is there, or it was cancelled and nothing is left.
    void signalsAtAnyMomentLeaveAllOrNothing_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("delay"); // ms after the start
        for (int delay : {0, 40, 150, 400, 900, 1600, 2500}) {
            QTest::addRow("SIGINT after %d ms", delay) << int(SIGINT) << delay;
            QTest::addRow("SIGTERM after %d ms", delay + 20) << int(SIGTERM) << delay + 20;
        }
    }

    void signalsAtAnyMomentLeaveAllOrNothing()
    {
        QFETCH(int, signal);
        QFETCH(int, delay);
        const QString document = writePdf(3);
        QProcess process;
        start(process, {"export", document, "--each-page", "--quality", "300", "--json"});
        QVERIFY(process.waitForStarted());
        QTest::qWait(delay);
        signalProcess(process, signal);
        QElapsedTimer clock;
        clock.start();
        const Run run = ktest::finish(process, 30000);
        // Before its handlers are in place the signal ends the process the default way.
        const bool endedBySignal = run.status == -1 && clock.elapsed() < 30000 && process.exitCode() == signal;
        QVERIFY2(run.status == 0 || run.status == 2 || endedBySignal,
                 qPrintable(QStringLiteral("status %1: %2").arg(run.status).arg(run.err)));
        if (!endedBySignal)
            QCOMPARE(run.json.value(QStringLiteral("exitCode")).toInt(-1), run.status);
        const QStringList pictures = QDir(m_dir.filePath(QStringLiteral("Doc"))).entryList(QDir::Files);
        QCOMPARE(pictures.size(), run.status == 0 ? 3 : 0);
        QCOMPARE(strays(m_dir.path(), {"Doc.pdf", "scratch"}), QStringList());
        QCOMPARE(ktest::entriesBelow(m_dir.filePath(QStringLiteral("scratch"))), QStringList());
    }

    // A cancelled or failed export takes back its own pictures only: a file someone put
    // into its folder meanwhile stays, and so does the folder holding it.
    void endedExportKeepsWhatOthersPutInItsFolder_data()
    {
        QTest::addColumn<bool>("cancelled"); // else a later page cannot be written
        QTest::newRow("cancelled") << true;
        QTest::newRow("failed") << false;
    }

    void endedExportKeepsWhatOthersPutInItsFolder()
    {
        QFETCH(bool, cancelled);
        const QString document = writePdf(8);
        const QString folder = m_dir.filePath(QStringLiteral("Doc"));
        QProcess process;
        start(process, {"export", document, "--each-page", "--quality", "600", "--format", "png", "--json"});
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(folder).entryList(QDir::Files).isEmpty(), 60000);
        QVERIFY(ktest::writeText(folder + QStringLiteral("/notes.txt"), "mine"));
        QStringList blocked; // folders where later pages would go
        if (cancelled) {
            signalProcess(process, SIGTERM);
        } else {
            const QString first = QDir(folder).entryList({"*.png"}, QDir::Files).value(0);
            for (int page = 3; page <= 8; ++page) {
                const QString name = QString(first).replace(QStringLiteral("01.png"), QStringLiteral("0%1.png").arg(page));
                if (QDir(folder).mkdir(name))
                    blocked << name;
            }
            QVERIFY2(!blocked.isEmpty() && first.endsWith(QLatin1String("01.png")), qPrintable(first));
        }
        const ktest::Run run = ktest::finish(process);
        if (cancelled)
            QCOMPARE(run.status, 2);
        else
            QVERIFY2(failureProblem(run).isEmpty(), qPrintable(failureProblem(run)));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 (blocked + QStringList{"notes.txt"}));
    }

    // A run killed outright leaves what it had finished; the next run is not misled by it
    // and nothing temporary survives both.
    void runAfterAKilledOneFinishesCleanly()
    {
        const QString document = writePdf(6);
        QProcess killed;
        start(killed, {"export", document, "--each-page", "--quality", "600", "--format", "png"});
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(m_dir.filePath(QStringLiteral("Doc"))).entryList(QDir::Files).isEmpty(), 60000);
        killed.kill();
        QVERIFY(killed.waitForFinished());

        QProcess next;
        start(next, {"export", document, "--each-page", "--quality", "100", "--json"});
        const Run run = ktest::finish(next);
        QCOMPARE(run.status, 0);
        const QString second = run.json.value(QStringLiteral("fileName")).toString();
        QVERIFY2(!second.isEmpty() && !second.startsWith(m_dir.filePath(QStringLiteral("Doc/"))), qPrintable(run.out));
        QCOMPARE(QDir(QFileInfo(second).absolutePath()).entryList(QDir::Files).size(), 6);
        QCOMPARE(strays(m_dir.path(), {"Doc.pdf", "scratch"}), QStringList());
    }

    // Pictures a killed export left half-written under their hidden names go with the next
    // export of that document; one a running export holds, and a user's own file, stay.
    void exportRemovesPicturesOfKilledRuns_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("left"); // below the export folder
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("locked"); // held by a live process
        QTest::addColumn<bool>("removed");
        QTest::newRow("page of a killed run") << "pdf" << "Doc/.Doc_02.png.ktavro-ab12" << "--each-page" << false << true;
        QTest::newRow("page held by a running export") << "pdf" << "Doc/.Doc_02.png.ktavro-ab12" << "--each-page" << true << false;
        QTest::newRow("part of a killed run") << "pdf" << "Doc/.Doc_0.png.ktavro-ab12" << "--long" << false << true;
        QTest::newRow("long picture of a killed run") << "md" << ".Doc.png.ktavro-ab12" << "--long" << false << true;
        QTest::newRow("a user's hidden file") << "md" << ".Doc.png.ab12" << "--long" << false << false;
    }

    void exportRemovesPicturesOfKilledRuns()
    {
        QFETCH(QString, document);
        QFETCH(QString, left);
        QFETCH(QString, mode);
        QFETCH(bool, locked);
        QFETCH(bool, removed);
        const QString path = document == QLatin1String("pdf") ? writePdf(2) : m_dir.filePath(QStringLiteral("Doc.md"));
        QVERIFY(document == QLatin1String("pdf") || ktest::writeText(path, "# Doc\n\nOne page.\n"));
        QVERIFY(m_dir.mkpath(QFileInfo(left).path()));
        const std::unique_ptr<QFile> partial = leavePartial(m_dir.filePath(left), "\x89PNG cut short", locked);
        QVERIFY(partial);
        QProcess process;
        start(process, {"export", path, mode, "--json"});
        QCOMPARE(ktest::finish(process).status, 0);
        QCOMPARE(QFileInfo::exists(m_dir.filePath(left)), !removed);
    }

    // Partial prints of killed runs go with the next print to the same file; a partial that
    // a running print holds, and files that only look alike, stay.
    void convertRemovesPartialsOfKilledRuns_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("locked"); // held by a live process
        QTest::addColumn<bool>("removed");
        QTest::newRow("left by a killed run") << ".Out.pdf.Ab12Cd" << false << true;
        QTest::newRow("held by a running print") << ".Out.pdf.Ab12Cd" << true << false;
        QTest::newRow("longer random part") << ".Out.pdf.Ab12Cd7" << false << false;
        QTest::newRow("of another output") << ".Other.pdf.Ab12Cd" << false << false;
        QTest::newRow("not hidden") << "Out.pdf.Ab12Cd" << false << false;
    }

    void convertRemovesPartialsOfKilledRuns()
    {
        QFETCH(QString, name);
        QFETCH(bool, locked);
        QFETCH(bool, removed);
        const QString document = m_dir.filePath(QStringLiteral("Notes.md"));
        QVERIFY(ktest::writeText(document, "# Notes\n\nOne page.\n"));
        const std::unique_ptr<QFile> partial = leavePartial(m_dir.filePath(name), "%PDF-1.4 cut short", locked);
        QVERIFY(partial);
        QProcess process;
        start(process, {"convert", document, m_dir.filePath(QStringLiteral("Out.pdf")), "--json"});
        const ktest::Run run = ktest::finish(process);
        QCOMPARE(run.status, 0);
        QVERIFY(QFileInfo(m_dir.filePath(QStringLiteral("Out.pdf"))).size() > 0);
        QCOMPARE(QFileInfo::exists(m_dir.filePath(name)), !removed);
        QStringList expected{"Notes.md", "Out.pdf", "scratch"};
        if (!removed)
            expected << name;
        expected.sort();
        QCOMPARE(m_dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), expected);
    }

private:
    QString writePdf(int pages)
    {
        const QString path = m_dir.filePath(QStringLiteral("Doc.pdf"));
        return ktest::writePdf(path, QVector<QSizeF>(pages, QSizeF(595, 842)).toList()) ? path : QString();
    }

    void start(QProcess &process, const QStringList &arguments)
    {
        ktest::startBrindlex(process, kBrindlex, arguments, {{QStringLiteral("TMPDIR"), m_dir.filePath(QStringLiteral("scratch"))}});
    }

    QScopedPointer<QTemporaryDir> m_tmp;
    QDir m_dir;
};

KTAVRO_TEST_MAIN(TestFaults)
#include "tst_faults.moc"
