// Editing a writer document through its interfaces: what a page set-up may take, how
// operations pair, which files become pictures.
#include <kwriterbackend.h>

#include "ktestmain.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <limits>

namespace {
KComPtr<IKSectionPageSetup> firstSection(IKWriterEditing *editing)
{
    KComPtr<IKSections> sections;
    KComPtr<IKSection> section;
    KComPtr<IKSectionPageSetup> setup;
    if (kSucceeded(editing->sections(sections.put())) && kSucceeded(sections->item(1, section.put())))
        section->pageSetup(setup.put());
    return setup;
}

struct Document
{
    KComPtr<KWriterBackend> backend;
    KComPtr<IKWriterEditing> editing;
    explicit Document(const QString &html)
        : backend(KWriterBackend::fromText(html, KWriterBackend::Source::Html))
        , editing(backend.query<IKWriterEditing>())
    {
    }
};
} // namespace

class TestWriterEditing : public QObject
{
    Q_OBJECT
private slots:
    void pageSetupTakesOnlyWhatLeavesRoomForText_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<float>("value");
        QTest::addColumn<bool>("taken");
        QTest::newRow("narrow left margin") << int(KPageSetupField::LeftMargin) << 6.0f << true;
        QTest::newRow("margin as wide as the page") << int(KPageSetupField::LeftMargin) << 200.0f << false;
        QTest::newRow("negative margin") << int(KPageSetupField::TopMargin) << -1.0f << false;
        QTest::newRow("not a number") << int(KPageSetupField::RightMargin) << std::numeric_limits<float>::quiet_NaN() << false;
        QTest::newRow("tall page") << int(KPageSetupField::PageHeight) << 330.0f << true;
        QTest::newRow("page shorter than its margins") << int(KPageSetupField::PageHeight) << 45.0f << false;
        QTest::newRow("page of infinite height") << int(KPageSetupField::PageHeight) << std::numeric_limits<float>::infinity() << false;
        QTest::newRow("no header room") << int(KPageSetupField::HeaderDistance) << 0.0f << true;
        QTest::newRow("unknown field") << 99 << 1.0f << false;
    }

    void pageSetupTakesOnlyWhatLeavesRoomForText()
    {
        QFETCH(int, field);
        QFETCH(float, value);
        QFETCH(bool, taken);
        Document doc(QStringLiteral("<p>text</p>"));
        const KComPtr<IKSectionPageSetup> setup = firstSection(doc.editing.get());
        QVERIFY(setup);
        const auto f = KPageSetupField(field);
        float old = -1;
        const bool known = kSucceeded(setup->value(f, &old));
        QCOMPARE(kSucceeded(setup->setValue(f, value)), taken);
        float now = -1;
        if (known) {
            QVERIFY(kSucceeded(setup->value(f, &now)));
            QCOMPARE(now, taken ? value : old);
        }
        int pages = 0;
        KComPtr<IKDocView> view;
        KComPtr<IKDocLayout> layout;
        KComPtr<IKPageRenderer> renderer;
        QVERIFY(kSucceeded(doc.backend->activeView(view.put())) && kSucceeded(view->layout(1, layout.put()))
                && kSucceeded(layout->pageRenderer(renderer.put())) && kSucceeded(renderer->pageCount(&pages)));
        QCOMPARE(pages, 1);
    }

    void operationsEndInnermostFirst()
    {
        Document doc(QStringLiteral("<p>text</p>"));
        QVERIFY(kSucceeded(doc.editing->beginOperation(QStringLiteral("Outer"))));
        QVERIFY(kSucceeded(doc.editing->beginOperation(QStringLiteral("Inner"))));
        QVERIFY(!kSucceeded(doc.editing->endOperation(QStringLiteral("Outer"), true)));
        QVERIFY(kSucceeded(doc.editing->endOperation(QStringLiteral("Inner"), false)));
        QVERIFY(kSucceeded(doc.editing->endOperation(QStringLiteral("Outer"), true)));
        QVERIFY(!kSucceeded(doc.editing->endOperation(QStringLiteral("Outer"), true)));
        QCOMPARE(doc.backend->operationLog(),
                 QStringList({QStringLiteral("begin:Outer"), QStringLiteral("begin:Inner"), QStringLiteral("end:Inner:0"),
                              QStringLiteral("end:Outer:1")}));
    }

    void paragraphIndentReadsBack()
    {
        Document doc(QStringLiteral("<p>one</p><p>two</p>"));
        KComPtr<IKDocContent> content;
        KComPtr<IKParagraphs> paragraphs;
        QVERIFY(kSucceeded(doc.editing->content(content.put())) && kSucceeded(content->paragraphs(paragraphs.put())));
        int count = 0;
        QVERIFY(kSucceeded(paragraphs->count(&count)));
        QCOMPARE(count, 2);
        KComPtr<IKParagraph> second;
        QVERIFY(kSucceeded(paragraphs->item(2, second.put())));
        QVERIFY(kSucceeded(second->setFirstLineIndentChars(2)));
        QVERIFY(!kSucceeded(second->setFirstLineIndentChars(-3)));
        float chars = 0;
        QVERIFY(kSucceeded(second->firstLineIndentChars(&chars)));
        QCOMPARE(chars, 2.0f);
        KComPtr<IKParagraph> missing;
        QVERIFY(!kSucceeded(paragraphs->item(3, missing.put())));
    }

    void onlyPicturesAreInserted_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("taken");
        QTest::newRow("text file") << QByteArray("not a picture") << false;
        QTest::newRow("empty file") << QByteArray() << false;
        QTest::newRow("picture") << QByteArray("png") << true;
    }

    void onlyPicturesAreInserted()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, taken);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("file.png"));
        if (bytes == "png") {
            QImage image(10, 10, QImage::Format_RGB32);
            image.fill(Qt::blue);
            QVERIFY(image.save(path));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        Document doc(QStringLiteral("<p>text</p>"));
        KComPtr<IKDocContent> content;
        KComPtr<IKParagraphs> paragraphs;
        QVERIFY(kSucceeded(doc.editing->content(content.put())) && kSucceeded(content->paragraphs(paragraphs.put())));
        QCOMPARE(kSucceeded(doc.editing->insertPicture(path)), taken);
        int count = 0;
        QVERIFY(kSucceeded(paragraphs->count(&count)));
        QCOMPARE(count, taken ? 2 : 1); // a picture is a paragraph of its own
    }
};

KTAVRO_TEST_MAIN(TestWriterEditing)
#include "tst_writerediting.moc"
