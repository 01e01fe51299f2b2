#include "ktestdocuments.h"
#include "ktestmain.h"
#include "ktestprocess.h"

#include <QImage>
#include <QSet>
#include <QTemporaryDir>

namespace {

// The largest resident size the process reached so far, in kB; 0 once it is gone.
qint64 peakResident(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return 0;
}

struct Measured
{
    ktest::Run run;
    qint64 peakKb = 0;
};

// Runs brindlex, watching its peak memory until it ends.
Measured measure(const QStringList &arguments)
{
    Measured m;
    QProcess process;
    ktest::startBrindlex(process, QStringLiteral(BRINDLEX_PATH), arguments);
    if (!process.waitForStarted())
        return m;
    const qint64 pid = process.processId();
    while (!process.waitForFinished(50))
        m.peakKb = qMax(m.peakKb, peakResident(pid));
    m.run = ktest::finish(process);
    return m;
}

} // namespace

class TestLoad : public QObject
{
    Q_OBJECT
private slots:
    // One picture per page of a long PDF at the highest quality: the memory a page needs,
    // not the document's length, sets the peak. KTAVRO_LOAD_PAGES raises the length (the
    // full run in scripts/check uses 300).
    void perPageExportMemoryDoesNotGrowWithTheLength()
    {
        const int pages = qMax(24, qEnvironmentVariableIntValue("KTAVRO_LOAD_PAGES"));
        QTemporaryDir dir;
        // Sixteen pages fill every stage (rendering ahead, the queue of pages to write); how
        // full the pipeline gets still depends on the machine's load, so the reference is the
        // higher of two runs.
        QList<qint64> peaks;
        for (int count : {16, 16, pages}) {
            const QString pdf = dir.filePath(QStringLiteral("Long%1.pdf").arg(count));
            QVERIFY(QFileInfo::exists(pdf) || ktest::writePdf(pdf, QVector<QSizeF>(count, QSizeF(595, 842)).toList()));
            const Measured m = measure({"export", pdf, "--each-page", "--quality", "600", "--format", "jpg", "--json"});
            QCOMPARE(m.run.status, 0);
            QCOMPARE(m.run.json.value(QStringLiteral("pageCount")).toVariant().toInt(), count);
            QCOMPARE(QDir(dir.filePath(QStringLiteral("Long%1").arg(count))).entryList(QDir::Files).size(), count);
            peaks << m.peakKb;
            QDir(dir.filePath(QStringLiteral("Long%1").arg(count))).removeRecursively();
        }
        const qint64 reference = qMax(peaks.at(0), peaks.at(1));
        qInfo("peak resident: %lld and %lld kB for 16 pages, %lld kB for %d pages", peaks.at(0), peaks.at(1), peaks.at(2), pages);
        // A page at 600 % is about 140 MB of pixels: up to one and a half pages may still
        // separate the peaks; a leak of a page every second extra page could not hide below that.
        QVERIFY2(peaks.at(2) < reference + 210 * 1024,
                 qPrintable(QStringLiteral("%1 kB against %2 kB").arg(peaks.at(2)).arg(reference)));
    }

    // A long picture holds its pages until it is drawn into it, each page given back once
    // drawn: twice the pages may cost twice the picture, and no more than a page besides.
    void longPictureMemoryGrowsWithThePictureAlone()
    {
#ifdef KTAVRO_TEST_ASAN
        QSKIP("the address sanitizer keeps freed pages in quarantine");
#endif
        QTemporaryDir dir;
        QList<qint64> peaks;
        QList<qint64> pictures;
        for (int pages : {10, 20}) {
            const QString pdf = dir.filePath(QStringLiteral("Tall%1.pdf").arg(pages));
            QVERIFY(ktest::writePdf(pdf, QVector<QSizeF>(pages, QSizeF(595, 842)).toList()));
            const Measured m = measure({"export", pdf, "--long", "--quality", "200", "--json"});
            QCOMPARE(m.run.status, 0);
            const QImage picture(m.run.json.value(QStringLiteral("fileName")).toString());
            QVERIFY(!picture.isNull());
            peaks << m.peakKb;
            pictures << qint64(picture.width()) * picture.height() * 4 / 1024;
        }
        const qint64 pageKb = pictures.at(1) / 20;
        qInfo("long pictures: peak %lld kB for 10 pages, %lld kB for 20; a page is %lld kB", peaks.at(0), peaks.at(1), pageKb);
        QVERIFY2(peaks.at(1) - peaks.at(0) <= pictures.at(1) - pictures.at(0) + pageKb,
                 qPrintable(QStringLiteral("%1 kB more").arg(peaks.at(1) - peaks.at(0))));
    }

    // Exports of one document into one folder at the same time each get a folder of their own.
    void concurrentExportsGetAFolderEach()
    {
        QTemporaryDir dir;
        const QString document = dir.filePath(QStringLiteral("Doc.pdf"));
        QVERIFY(ktest::writePdf(document, QVector<QSizeF>(3, QSizeF(595, 842)).toList()));
        QList<QProcess *> processes;
        for (int i = 0; i < 4; ++i) {
            processes << new QProcess(this);
            ktest::startBrindlex(*processes.last(), QStringLiteral(BRINDLEX_PATH),
                                 {"export", document, "--each-page", "--quality", "200", "--json"});
        }
        QSet<QString> folders;
        for (QProcess *process : processes) {
            const ktest::Run run = ktest::finish(*process);
            QCOMPARE(run.status, 0);
            const QString folder = QFileInfo(run.json.value(QStringLiteral("fileName")).toString()).absolutePath();
            QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 3);
            folders << folder;
            delete process;
        }
        QCOMPARE(folders.size(), 4);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 5);
    }
};

KTAVRO_TEST_MAIN(TestLoad)
#include "tst_load.moc"
