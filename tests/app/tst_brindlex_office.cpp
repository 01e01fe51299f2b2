#include "ktestoffice.h"
#include "ktestbrindlex.h"
#include "ktestmain.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace {

using Run = ktest::BrindlexRun;
using ktest::brindlex;

} // namespace

class TestBrindlexOffice : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_tmp.reset(new QTemporaryDir);
        m_dir.setPath(m_tmp->path());
    }

    void deckExportsAsLongPictureAndPerSlide()
    {
        const QString deck = m_dir.filePath(QStringLiteral("Talk.slides.md"));
        QVERIFY(ktest::writeText(deck, "# One\n\nFirst\n\n---\n\n# Two\n\n---\n\n# Three\n"));
        const Run all = brindlex({deck, QStringLiteral("--json")});
        QCOMPARE(all.status, 0);
        QCOMPARE(all.json.value(QStringLiteral("pageCount")).toString(), QStringLiteral("3"));
        QCOMPARE(all.picture().size(), QSize(1280, 3 * 720));

        const Run one = brindlex({deck, QStringLiteral("--json"), QStringLiteral("--pages"), QStringLiteral("2"),
                                  QStringLiteral("--quality"), QStringLiteral("200"), QStringLiteral("--first-top"),
                                  QStringLiteral("10"), QStringLiteral("--last-bottom"), QStringLiteral("10"),
                                  QStringLiteral("--output"), m_dir.filePath(QStringLiteral("two.png"))});
        QCOMPARE(one.status, 0);
        QCOMPARE(one.picture().size(), QSize(2560, 20 + 15 + 1440 + 15 + 20));

        QCOMPARE(brindlex({deck, QStringLiteral("--each-page"), QStringLiteral("--format"), QStringLiteral("jpg")}).status, 0);
        QCOMPARE(QDir(m_dir.filePath(QStringLiteral("Talk.slides"))).entryList(QDir::Files),
                 QStringList({"Talk.slides_01.jpg", "Talk.slides_02.jpg", "Talk.slides_03.jpg"}));
    }

    void sheetExportsOnePictureAndRefusesEachPage()
    {
        const QString csv = m_dir.filePath(QStringLiteral("Stock.csv"));
        QVERIFY(ktest::writeText(csv, "Item,Qty\nBolts,120\n"));
        QVERIFY(ktest::writeText(csv + QStringLiteral(".sheet"), "width A 100\nwidth B 60\nheight 1 20\nheight 2 20\nnote B2 recount\n"));
        const Run each = brindlex({csv, QStringLiteral("--each-page")});
        QCOMPARE(each.status, 64);
        QVERIFY2(each.err.contains(QStringLiteral("one long picture only")), qPrintable(each.err));
        QVERIFY(QDir(m_dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());

        const Run run = brindlex({csv, QStringLiteral("--json"), QStringLiteral("--quality"), QStringLiteral("200")});
        QCOMPARE(run.status, 0);
        const QStringList values = run.json.value(QStringLiteral("pageCount")).toString().split(QLatin1Char(','));
        QCOMPARE(values.size(), 4);
        QCOMPARE(values.at(0).toInt(), 4); // the note reaches below the cells in use ...
        QVERIFY(values.at(1).toInt() >= 4); // ... and right of them
        QCOMPARE(run.picture().size(), QSize(values.at(2).toInt() + 30, values.at(3).toInt() + 30));
        QVERIFY(!run.err.contains(QStringLiteral("Warning")));
    }

    void sheetAboveTheSizeLimitIsWrittenWithAWarning()
    {
        const QString csv = m_dir.filePath(QStringLiteral("Poster.csv"));
        QVERIFY(ktest::writeText(csv, "x\n"));
        QVERIFY(ktest::writeText(csv + QStringLiteral(".sheet"), "width A 1600\nheight 1 1600\n"));
        const Run run = brindlex({csv, QStringLiteral("--quality"), QStringLiteral("200")},
                                 {{QStringLiteral("BRINDLEX_EDITION"), QStringLiteral("5")}});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.err.contains(QStringLiteral("Warning: The picture is larger")), qPrintable(run.err));
        QCOMPARE(QImage(m_dir.filePath(QStringLiteral("Poster.png"))).size(), QSize(3230, 3230));
    }

    void officeFormatWithoutLibreOfficeIsRefusedClearly()
    {
        const QString doc = m_dir.filePath(QStringLiteral("Memo.docx"));
        QVERIFY(ktest::writeText(doc, "not really a document"));
        const Run run = brindlex({doc}, {{QStringLiteral("PATH"), m_dir.path()}});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(QStringLiteral("opening .docx documents needs LibreOffice")), qPrintable(run.err));
    }

    void convertedPresentationExportsItsSlides()
    {
        if (ktest::soffice().isEmpty())
            QSKIP("LibreOffice (soffice) is not installed; office formats cannot be converted here");
        QVERIFY(ktest::writeText(m_dir.filePath(QStringLiteral("Pitch.fodp")), ktest::flatPresentation({"Hello", "World"})));
        const QString pptx = ktest::sofficeConvert(m_dir.filePath(QStringLiteral("Pitch.fodp")), QStringLiteral("pptx"), m_dir.path());
        QVERIFY2(!pptx.isEmpty(), "LibreOffice did not make the test presentation");
        const Run run = brindlex({pptx, QStringLiteral("--json")});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.json.value(QStringLiteral("pageCount")).toString(), QStringLiteral("2"));
        const QImage picture = run.picture();
        picture.save(ktest::artifactPath(QStringLiteral("brindlex-pptx.png")));
        QCOMPARE(qRound(picture.width() * 2 * 100.0 / picture.height()), 178); // two 16:9 slides, no gap
    }

private:
    QScopedPointer<QTemporaryDir> m_tmp;
    QDir m_dir;
};

KTAVRO_TEST_MAIN(TestBrindlexOffice)
#include "tst_brindlex_office.moc"
