#include "ktestmain.h"

#include <kexportdlgrules.h>

#include <QTemporaryDir>

using namespace kexportdlg;

namespace {
bool touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
}
} // namespace

class TestExportDlgRules : public QObject
{
    Q_OBJECT
private slots:
    void qualityList_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("longPicture");
        QTest::addColumn<QList<int>>("before");
        QTest::addColumn<QList<int>>("after");
        using L = QList<int>;
        QTest::newRow("writer long drops 300 and 600") << int(KExportComponent::Writer) << true << L{0, 1, 2, 3} << L{0, 1};
        QTest::newRow("writer each page restores in order") << int(KExportComponent::Writer) << false << L{0, 1} << L{0, 1, 2, 3};
        QTest::newRow("pdf long keeps 100 only") << int(KExportComponent::Pdf) << true << L{0, 1, 2, 3} << L{0};
        QTest::newRow("pdf each page from 100 only") << int(KExportComponent::Pdf) << false << L{0} << L{0, 1, 2, 3};
        QTest::newRow("empty list is filled") << int(KExportComponent::Spreadsheet) << true << L{} << L{0, 1};
    }
    void qualityList()
    {
        QFETCH(int, kind);
        QFETCH(bool, longPicture);
        QFETCH(QList<int>, before);
        QFETCH(QList<int>, after);
        const KExportComponent &c = KExportComponent::of(KExportComponent::Kind(kind));
        QCOMPARE(refilledQualities(before, highestQualityIndex(c, longPicture)), after);
    }

    void qualityPercentAndDpi_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("percent");
        QTest::newRow("common") << 0 << 96 << 100;
        QTest::newRow("super") << 3 << 576 << 600;
        QTest::newRow("below the list") << -1 << 96 << 100;
        QTest::newRow("above the list") << 4 << 96 << 100;
    }
    void qualityPercentAndDpi()
    {
        QFETCH(int, index);
        QFETCH(int, dpi);
        QFETCH(int, percent);
        QCOMPARE(dpiForQualityIndex(index), dpi);
        QCOMPARE(percentForQualityIndex(index), percent);
    }

    void controlsPerComponent_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("longPicture");
        QTest::addColumn<int>("pages");
        QTest::addColumn<bool>("margins");
        QTest::addColumn<bool>("range");
        QTest::newRow("writer long") << int(KExportComponent::Writer) << true << 3 << true << true;
        QTest::newRow("writer each page") << int(KExportComponent::Writer) << false << 3 << false << true;
        QTest::newRow("writer one page") << int(KExportComponent::Writer) << true << 1 << true << false;
        QTest::newRow("slides long") << int(KExportComponent::Presentation) << true << 2 << true << true;
        QTest::newRow("sheet") << int(KExportComponent::Spreadsheet) << true << 4 << false << false;
        QTest::newRow("pdf long") << int(KExportComponent::Pdf) << true << 4 << false << true;
    }
    void controlsPerComponent()
    {
        QFETCH(int, kind);
        QFETCH(bool, longPicture);
        QFETCH(int, pages);
        const KExportComponent &c = KExportComponent::of(KExportComponent::Kind(kind));
        QTEST(marginsLinkVisible(c, longPicture), "margins");
        QTEST(offersPageRange(c, pages), "range");
    }

    void pdfHeightProbe_data()
    {
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("pageHeight");
        QTest::addColumn<bool>("tooTall");
        QTest::addColumn<QList<int>>("asked");
        const int a4 = 1122;
        QTest::newRow("20 A4 pages fit") << 20 << a4 << false << QList<int>{20};
        QTest::newRow("25 A4 pages are too tall at once") << 25 << a4 << true << QList<int>{25};
        QTest::newRow("short pages probed in steps") << 100 << 200 << false << QList<int>{30, 50, 70, 90, 100};
        QTest::newRow("the limit is reached on the way") << 200 << 300 << true << QList<int>{30, 50, 70, 90};
    }
    void pdfHeightProbe()
    {
        QFETCH(int, pages);
        QFETCH(int, pageHeight);
        QFETCH(QList<int>, asked);
        QList<int> seen;
        const bool tall = pdfLongPictureTooTall(pages, [&](int n) {
            seen << n;
            return qint64(n) * pageHeight;
        });
        QTEST(tall, "tooTall");
        QCOMPARE(seen, asked);
        QCOMPARE(pdfLongHeightLimit(), qint64(20 * 1122));
    }

    void outputFolderOrder_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("current");
        QTest::addColumn<bool>("savedExists");
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("expected");
        QTest::newRow("chosen wins") << "/c" << "/p/x.png" << true << "/d/doc.pdf" << "/c/";
        QTest::newRow("then the current path") << "" << "/p/x.png" << true << "/d/doc.pdf" << "/p/";
        QTest::newRow("then the document") << "" << "" << true << "/d/doc.pdf" << "/d/";
        QTest::newRow("then the saved path") << "" << "" << true << "" << "SAVED";
        QTest::newRow("a saved path gone is skipped") << "" << "" << false << "" << "/default/";
    }
    void outputFolderOrder()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, current);
        QFETCH(bool, savedExists);
        QFETCH(QString, document);
        QFETCH(QString, expected);
        QTemporaryDir tmp;
        const QString saved = tmp.filePath(savedExists ? QStringLiteral("old.png") : QStringLiteral("gone/old.png"));
        if (expected == QLatin1String("SAVED"))
            expected = QDir::toNativeSeparators(tmp.path()) + QDir::separator();
        QCOMPARE(outputFolder({chosen, current, QStringLiteral("/default"), saved, document}), expected);
    }

    void eventFields_data()
    {
        QTest::addColumn<int>("watermark");
        QTest::addColumn<bool>("longPicture");
        QTest::addColumn<bool>("backup");
        QTest::addColumn<bool>("range");
        QTest::addColumn<QString>("watermarkText");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("endCloud");
        QTest::newRow("custom long backed up") << 1 << true << true << false << "custom" << "LongPicture" << "true";
        QTest::newRow("default each page") << 2 << false << false << true << "default" << "EachPage" << "flase";
        QTest::newRow("none") << 0 << true << false << false << "none" << "LongPicture" << "flase";
    }
    void eventFields()
    {
        QFETCH(int, watermark);
        QFETCH(bool, longPicture);
        QFETCH(bool, backup);
        QFETCH(bool, range);
        QFETCH(QString, endCloud);
        const EventChoices c{watermark, longPicture, QStringLiteral("jpg"), 2, backup, range};
        const auto begin = beginEventFields(c);
        QTEST(begin.value(QStringLiteral("watermark")), "watermarkText");
        QTEST(begin.value(QStringLiteral("export_type")), "type");
        QCOMPARE(begin.value(QStringLiteral("quality")), QStringLiteral("300%"));
        QCOMPARE(begin.value(QStringLiteral("format")), QStringLiteral("jpg"));
        QCOMPARE(begin.value(QStringLiteral("upload_to_cloud")), backup ? QStringLiteral("true") : QStringLiteral("false"));
        QCOMPARE(begin.value(QStringLiteral("page")), range ? QStringLiteral("range") : QStringLiteral("all_page"));
        const auto end = endEventFields(c, false, QStringLiteral("7"));
        QCOMPARE(end.value(QStringLiteral("result")), QStringLiteral("failed"));
        QCOMPARE(end.value(QStringLiteral("upload_to_cloud")), endCloud);
        QCOMPARE(end.value(QStringLiteral("pageCount")), QStringLiteral("7"));
        QCOMPARE(end.value(QStringLiteral("export_type")), begin.value(QStringLiteral("export_type")));
    }

    // Only what the export itself made may go.
    void deleteOutput_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("singleFile");
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<QStringList>("kept");
        const QStringList mine{"out/mine.txt", "out/Doc/.hidden"};
        QTest::newRow("the long picture") << "out/Doc.png" << true << true << QStringList{"out/mine.txt", "out/Doc/Doc_01.png"};
        QTest::newRow("the page folder with hidden files and sub-folders") << "out/Doc/Doc_01.png" << false << true
                                                                          << QStringList{"out/mine.txt", "out/Doc.png"};
        QTest::newRow("no name removes nothing") << "" << false << false << mine;
        QTest::newRow("a page file directly in the output folder") << "out/mine.txt" << false << false << mine;
        QTest::newRow("a folder two levels down") << "out/Doc/sub/deep.png" << false << false << mine;
        QTest::newRow("a missing long picture") << "out/none.png" << true << false << mine;
    }
    void deleteOutput()
    {
        QFETCH(QString, fileName);
        QFETCH(bool, singleFile);
        QFETCH(QStringList, kept);
        QTemporaryDir tmp;
        for (const char *f : {"out/mine.txt", "out/Doc.png", "out/Doc/Doc_01.png", "out/Doc/.hidden", "out/Doc/sub/deep.png"})
            QVERIFY(touch(tmp.filePath(QLatin1String(f))));
        const QString name = fileName.isEmpty() ? fileName : tmp.filePath(fileName);
        QTEST(deleteExportOutput(name, singleFile, tmp.filePath(QStringLiteral("out"))), "deleted");
        for (const QString &k : kept)
            QVERIFY2(QFileInfo::exists(tmp.filePath(k)), qPrintable(k));
        QFETCH(bool, deleted);
        if (deleted)
            QVERIFY(!QFileInfo::exists(singleFile ? name : QFileInfo(name).absolutePath()));
    }

    void compactFormatFromTheProposedName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::newRow("none") << QString() << 1;
        QTest::newRow("jpg") << "/d/a.jpg" << 0;
        QTest::newRow("JPEG") << "/d/a.JPEG" << 0;
        QTest::newRow("png") << "a.png" << 1;
        QTest::newRow("bmp") << "a.b.bmp" << 2;
        QTest::newRow("tif") << "a.tif" << 3;
        QTest::newRow("tiff is no tif") << "a.tiff" << 1;
        QTest::newRow("gif") << "a.gif" << 1;
        QTest::newRow("suffix of the folder only") << "/d.jpg/a" << 1;
    }
    void compactFormatFromTheProposedName()
    {
        QFETCH(QString, name);
        QTEST(kexportdlg::compactFormatIndex(name), "index");
    }

    void compactLongPageLimit_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("quality");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("limitInText"); // "" when it passes
        QTest::addColumn<int>("extraWidth");
        QTest::newRow("writer, 25 at common") << int(KExportComponent::Writer) << 0 << 25 << "" << 0;
        QTest::newRow("writer, 26 at common") << int(KExportComponent::Writer) << 0 << 26 << "25" << 32;
        QTest::newRow("writer, 15 at standard") << int(KExportComponent::Writer) << 1 << 15 << "" << 0;
        QTest::newRow("sheet, 16 at standard") << int(KExportComponent::Spreadsheet) << 1 << 16 << "15" << 0;
        QTest::newRow("pdf has no page limit") << int(KExportComponent::Pdf) << 1 << 500 << "" << 0;
    }
    void compactLongPageLimit()
    {
        QFETCH(int, kind);
        QFETCH(int, quality);
        QFETCH(int, pages);
        QFETCH(QString, limitInText);
        const kexportdlg::CompactRefusal r =
            kexportdlg::compactLongPageLimit(KExportComponent::of(KExportComponent::Kind(kind)), quality, pages);
        QCOMPARE(r.isSet(), !limitInText.isEmpty());
        if (!r.isSet())
            return;
        QCOMPARE(r.title, QStringLiteral("Out of range"));
        QVERIFY2(r.text.startsWith(QStringLiteral("You can combine %1 pages at most").arg(limitInText)), qPrintable(r.text));
        QTEST(r.extraWidth, "extraWidth");
    }
};

KTAVRO_TEST_MAIN(TestExportDlgRules)
#include "tst_exportdlgrules.moc"
