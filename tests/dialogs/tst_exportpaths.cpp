#include "ktestmain.h"

#include <kexportpaths.h>
#include <kunknown.h>
#include <kxapplication.h>

#include <QTemporaryDir>

namespace {
const QString kEmpty = QStringLiteral("Export path can't be empty,please input file path");
const QString kNoPlace = QStringLiteral("Export path does not exist,please input a valid local path");
const QString kInvalidPath = QStringLiteral("Invalid file path,please reselect and try again");
const QString kFormat = QStringLiteral("Invalid image format,please reselect and try again");
const QString kReplace = QStringLiteral("The file already exists,confirm to replace the original file.");

// A document object for the host to hold as the active one.
struct TestDocument : IKUnknown
{
    long refs = 1;
    long QueryInterface(const QUuid &, void **out) override { *out = nullptr; return -1; }
    unsigned long AddRef() override { return ++refs; }
    unsigned long Release() override { return --refs; }
};
} // namespace

class TestExportPaths : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QStringList m_calls; // "refuse|title|message" or "ask|title|question"
    bool m_answer = false;

    QString at(const QString &relative) const { return m_dir.path() + QLatin1Char('/') + relative; }

private slots:
    void initTestCase()
    {
        KExportPaths::Presenter p;
        p.refuse = [this](QWidget *, const QString &title, const QString &message) {
            m_calls << QStringLiteral("refuse|%1|%2").arg(title, message);
        };
        p.confirmReplace = [this](QWidget *, const QString &title, const QString &question) {
            m_calls << QStringLiteral("ask|%1|%2").arg(title, question);
            return m_answer;
        };
        KExportPaths::setPresenter(p);
        QFile existing(at(QStringLiteral("old.png")));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        QFile plain(at(QStringLiteral("file.txt")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
    }

    void init() { m_calls.clear(); }

    void validatePath_data()
    {
        QTest::addColumn<QString>("path"); // "@" stands for the temporary folder
        QTest::addColumn<bool>("longPicture");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("written"); // the path afterwards
        QTest::addColumn<QString>("call");    // what the user saw, "" for nothing

        // The rules themselves are the output path's own; here, what the person sees of them.
        QTest::newRow("empty") << "" << true << false << false << "" << "refuse|" + kEmpty;
        QTest::newRow("no file name") << "@/" << true << false << false << "@/" << "refuse|" + kNoPlace;
        QTest::newRow("doubled separators, upper-case suffix")
            << "@//new///deep\\\\a.PNG" << true << false << true << "@/new/deep/a.PNG" << "";
        QTest::newRow("gif refused") << "@/a.gif" << true << false << false << "@/a.gif" << "refuse|" + kFormat;
        QTest::newRow("existing file, yes") << "@/old.png" << true << true << true << "@/old.png" << "ask|" + kReplace;
        QTest::newRow("existing file, no") << "@/old.png" << true << false << false << "@/old.png" << "ask|" + kReplace;
        QTest::newRow("each page: existing folder") << "@" << false << false << true << "@" << "";
        QTest::newRow("each page: missing folders") << "@/x//y" << false << false << true << "@/x/y" << "";
        QTest::newRow("each page: folder is a file") << "@/file.txt" << false << false << false << "@/file.txt"
                                                     << "refuse|" + kInvalidPath;
        QTest::newRow("each page: any name") << "@/a.gif" << false << false << true << "@/a.gif" << "";
        QTest::newRow("network pair kept") << "/@/net" << false << false << true << "//@/net" << "";
    }

    void validatePath()
    {
        QFETCH(QString, path);
        QFETCH(bool, longPicture);
        QFETCH(bool, answer);
        QFETCH(bool, accepted);
        QFETCH(QString, written);
        QFETCH(QString, call);
        const QString root = m_dir.path();
        // "/@" is a network-style prefix: "//" followed by the folder without its own slash.
        path.replace(QStringLiteral("/@"), QStringLiteral("/") + root);
        path.replace(QLatin1Char('@'), root);
        written.replace(QStringLiteral("//@"), QStringLiteral("/") + root);
        written.replace(QLatin1Char('@'), root);
        m_answer = answer;

        QCOMPARE(KExportPaths::validatePath(path, longPicture), accepted);
        QCOMPARE(path, written);
        QStringList expected;
        if (!call.isEmpty())
            expected << call.section(QLatin1Char('|'), 0, 0) + QStringLiteral("|Export Image|")
                    + call.section(QLatin1Char('|'), 1);
        QCOMPARE(m_calls, expected);
        QVERIFY2(!QFileInfo::exists(root + QStringLiteral("/x")), "checking must not create folders");
    }

    void defaultsFollowTheDocument_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<QString>("documentPath");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("no document") << false << "" << "" << ".png";
        QTest::newRow("saved document") << true << "/docs/report.final.docx" << "/docs/" << "report.final.png";
        QTest::newRow("unsaved document") << true << "" << "@profile/myphoto/" << ".png";
        QTest::newRow("dot file keeps its name") << true << "/docs/.notes" << "/docs/" << ".notes.png";
    }

    void defaultsFollowTheDocument()
    {
        QFETCH(bool, open);
        QFETCH(QString, documentPath);
        QFETCH(QString, folder);
        QFETCH(QString, fileName);
        qputenv("USERPROFILE", at(QStringLiteral("profile")).toUtf8());
        folder.replace(QStringLiteral("@"), m_dir.path() + QLatin1Char('/'));
        TestDocument document;
        KCoreApplication *app = KxApplication::coreApplication();
        app->setActiveDocument(open ? &document : nullptr);
        app->setActiveDocumentPath(documentPath);
        QCOMPARE(KExportPaths::defaultOutputFolder(), folder);
        QCOMPARE(KExportPaths::defaultFileName(QStringLiteral("png")), fileName);
        app->setActiveDocument(nullptr);
        app->setActiveDocumentPath(QString());
        QCOMPARE(document.refs, 1L);
    }
};

KTAVRO_TEST_MAIN(TestExportPaths)
#include "tst_exportpaths.moc"
