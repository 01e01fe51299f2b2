#include "ktestmain.h"

#include <kexportbutton.h>
#include <kexportcombobox.h>
#include <kexportdlgitem.h>
#include <kexportimagelink.h>
#include <kexportlineedit.h>
#include <kexportloadingtips.h>
#include <kexporttypeitem.h>
#include <khostconfig.h>
#include <kliteiconbutton.h>
#include <klitelineedit.h>
#include <klitestyle.h>
#include <krangelineedit.h>
#include <kwatermarklineedit.h>

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QToolTip>

Q_DECLARE_METATYPE(QList<PageRange>)

namespace {
void edit(KRangeLineEdit &field, const QString &text)
{
    field.setText(text);
    emit field.textEdited(text);
}

bool isBlueish(const QColor &c)
{
    return c.blue() > 150 && c.red() < 150;
}

void sendEnter(QWidget *w)
{
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(w, &enter);
}

// Writes a picture for a person to look at.
void saveArtifact(QWidget *w, const QString &name)
{
    QVERIFY(w->grab().save(ktest::artifactPath(name)));
}
} // namespace

class TestExportWidgets : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qRegisterMetaType<KPhotoQualityComboBoxItem::PhotoQuality>();
        qRegisterMetaType<QAbstractButton *>();
    }

    void cleanup() { KLiteStyle::setScaleFactor(1.0); }

    void rangeEdit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QList<PageRange>>("ranges");
        using R = QList<PageRange>;
        // The parsing itself is the export rules' own; here, what the field makes of it.
        QTest::newRow("placeholder example") << "1,3,5-10" << true << R{{1, 1}, {3, 3}, {5, 10}};
        QTest::newRow("past the last page") << "9-12" << false << R{};
        QTest::newRow("empty") << "" << false << R{};
    }

    void rangeEdit()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QList<PageRange>, ranges);
        KRangeLineEdit field(10);
        field.show();
        edit(field, text);
        QCOMPARE(field.isValid(), valid);
        QCOMPARE(field.ranges(), ranges);
        if (!valid)
            QCOMPARE(QToolTip::text(), QStringLiteral("<font color = #4f4f4f size = 2>example: 1,3,5-10<font>"));
    }

    void rangeEditSignalsOncePerChange_data()
    {
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QList<bool>>("emissions");
        QTest::newRow("valid, invalid, invalid, valid")
            << QStringList{"1", "12", "1,", "1,3"} << QList<bool>{true, false, true};
        QTest::newRow("invalid from the start") << QStringList{"0", ",", "-"} << QList<bool>{};
        QTest::newRow("valid stays valid") << QStringList{"1", "1-2", "4"} << QList<bool>{true};
    }

    void rangeEditSignalsOncePerChange()
    {
        QFETCH(QStringList, edits);
        QFETCH(QList<bool>, emissions);
        KRangeLineEdit field(10);
        QSignalSpy spy(&field, &KRangeLineEdit::validChanged);
        for (const QString &text : edits)
            edit(field, text);
        QList<bool> seen;
        for (const QList<QVariant> &args : spy)
            seen << args.at(0).toBool();
        QCOMPARE(seen, emissions);
    }

    void rangeEditTakesOnlyRangeCharacters()
    {
        KRangeLineEdit field(10);
        field.show();
        QTest::keyClicks(&field, QStringLiteral("a1b,x3-4;"));
        QCOMPARE(field.text(), QStringLiteral("1,3-4"));
        QCOMPARE(field.placeholderText(), QStringLiteral("example:1,3,5-10..."));
        QVERIFY(field.isValid());
    }

    void browseGivesAFolderWithSeparator_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QStringList>("emitted");
        QTest::newRow("folder") << "/home/me/pics" << QStringList{"/home/me/pics/"};
        QTest::newRow("already ends with one") << "/home/me/" << QStringList{"/home/me/"};
        QTest::newRow("root") << "/" << QStringList{"/"};
        QTest::newRow("cancelled") << "" << QStringList{};
    }

    void browseGivesAFolderWithSeparator()
    {
        QFETCH(QString, chosen);
        QFETCH(QStringList, emitted);
        QString title;
        KExportLineEdit::setFolderChooser([&](QWidget *, const QString &t) {
            title = t;
            return chosen;
        });
        KExportLineEdit field;
        field.setText(QStringLiteral("/old/"));
        QStringList seen;
        connect(&field, &KExportLineEdit::selectPathFinished, this, [&](QString &path) { seen << path; });
        QTest::mouseClick(field.browseButton(), Qt::LeftButton);
        KExportLineEdit::setFolderChooser(nullptr);
        QCOMPARE(title, QStringLiteral("save image"));
        QCOMPARE(seen, emitted);
        QCOMPARE(field.text(), QStringLiteral("/old/"));
    }

    void colorTriples_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("colors"); // normal, hover, pressed
        QTest::newRow("three") << "#4A90E2;#64A3F3;#4585D7" << QStringList{"#4a90e2", "#64a3f3", "#4585d7"};
        QTest::newRow("one for all") << "#cccccc" << QStringList{"#cccccc", "#cccccc", "#cccccc"};
        QTest::newRow("two") << "#ffffff;#f5f5f5" << QStringList{"#ffffff", "#f5f5f5", "#f5f5f5"};
    }

    void colorTriples()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, colors);
        const kexportwidgets::ColorTriple t = kexportwidgets::ColorTriple::parse(text);
        QCOMPARE(QStringList({t.normal.name(), t.hover.name(), t.pressed.name()}), colors);
    }

    void buttonsLinksAndLabelsFollowTheMouse()
    {
        KExportButton *button = KExportButton::filled(QStringLiteral("Export"));
        button->resize(96, 32);
        button->show();
        QCOMPARE(button->currentBackground(), QColor(0x4a, 0x90, 0xe2));
        sendEnter(button);
        QCOMPARE(button->currentBackground(), QColor(0x64, 0xa3, 0xf3));
        button->setDown(true);
        QCOMPARE(button->currentBackground(), QColor(0x45, 0x85, 0xd7));
        QSignalSpy clicked(button, &QPushButton::clicked);
        button->setDown(false);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
        delete button;

        KExportLabel label(QStringLiteral("Open folder"));
        sendEnter(&label);
        QCOMPARE(label.palette().color(QPalette::WindowText), QColor(0x4a, 0x90, 0xe2));
        KExportImageLinkEx link(QStringLiteral("Done. "), QStringLiteral("Open"));
        link.show();
        QCOMPARE(link.currentLinkColor(), QColor(0x50, 0x87, 0xe5));
        sendEnter(&link);
        QCOMPARE(link.currentLinkColor(), QColor(0x7c, 0xab, 0xf2));
        QTest::mousePress(&link, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(link.currentLinkColor(), QColor(0x39, 0x66, 0xbf));
    }

    // Every clickable widget counts only a release over it that follows a press on it.
    void clickOnRelease_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("press");
        QTest::addColumn<QPoint>("releaseAt");
        QTest::addColumn<int>("clicks");
        for (const char *kind : {"label", "link", "link with text", "tile"}) {
            QTest::addRow("%s, press and release on it", kind) << kind << true << QPoint(5, 5) << 1;
            QTest::addRow("%s, released outside", kind) << kind << true << QPoint(500, 5) << 0;
            QTest::addRow("%s, release without press", kind) << kind << false << QPoint(5, 5) << 0;
        }
    }

    void clickOnRelease()
    {
        QFETCH(QString, kind);
        QFETCH(bool, press);
        QFETCH(QPoint, releaseAt);
        QFETCH(int, clicks);
        std::unique_ptr<QWidget> widget;
        if (kind == QLatin1String("label"))
            widget = std::make_unique<KExportLabel>(QStringLiteral("Open folder"));
        else if (kind == QLatin1String("link"))
            widget = std::make_unique<KExportImageLink>(QStringLiteral("Open folder"));
        else if (kind == QLatin1String("link with text"))
            widget = std::make_unique<KExportImageLinkEx>(QStringLiteral("Done. "), QStringLiteral("Open"));
        else
            widget = std::make_unique<KSimpleItem>(QPixmap(), QStringLiteral("Tile"));
        widget->resize(100, 20);
        widget->show();
        QSignalSpy spy(widget.get(), SIGNAL(clicked()));
        if (press)
            QTest::mousePress(widget.get(), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(widget.get(), Qt::LeftButton, {}, releaseAt);
        QCOMPARE(spy.count(), clicks);
    }

    // Without a host text any text is a watermark; with one, only a changed text.
    void watermarkTextInForce_data()
    {
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("inForce");
        QTest::newRow("nothing typed") << QString() << "" << false;
        QTest::newRow("typed") << QString() << "Sample" << true;
        QTest::newRow("host text kept") << "Draft" << "Draft" << false;
        QTest::newRow("host text changed") << "Draft" << "Draft 2" << true;
        QTest::newRow("host text cleared") << "Draft" << "" << true;
        QTest::newRow("cut at 75") << QString() << QString(80, QLatin1Char('w')) << true;
    }

    void watermarkTextInForce()
    {
        QFETCH(QString, remembered);
        QFETCH(QString, typed);
        QFETCH(bool, inForce);
        KWatermarkLineEdit field;
        if (!remembered.isNull())
            field.setRememberedText(remembered);
        field.selectAll();
        QTest::keyClicks(&field, typed);
        if (typed.isEmpty())
            field.clear();
        QCOMPARE(field.isInForce(), inForce);
        QVERIFY(field.text().size() <= KWatermarkLineEdit::kMaxLength);
    }

    void comboBoxRows()
    {
        KExportComboBox combo;
        combo.resize(120, 28);
        for (KPhotoFormatComboBoxItem *item : KPhotoFormatComboBoxItem::standardItems())
            combo.addItem(item);
        combo.show();
        QCOMPARE(combo.count(), 4);
        QCOMPARE(combo.currentRow(), 0);
        QSignalSpy spy(&combo, &KExportComboBox::currentRowChanged);
        combo.setCurrentRow(2);
        combo.setCurrentRow(7);
        combo.setCurrentRow(-1);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 2);
        QCOMPARE(combo.currentItem()->text(), QStringLiteral("BMP"));
        QCOMPARE(combo.currentItem()->value().toInt(), 2);

        combo.showPopup();
        QVERIFY(combo.popup()->isVisible());
        QCOMPARE(combo.popup()->width(), combo.width());
        QListWidget *list = combo.listWidget();
        const QRect row = list->visualItemRect(list->item(3));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(combo.currentRow(), 3);
        QVERIFY(!combo.popup()->isVisible());
        QCOMPARE(spy.count(), 2);
    }

    void qualityTexts_data()
    {
        QTest::addColumn<int>("edition");
        QTest::addColumn<QStringList>("texts");
        const QStringList plain{"Common DEFN", "Standard DEFN", "High DEFN", "Super DEFN"};
        const QStringList percent{"Common DEFN(100 percent)", "Standard DEFN(200 percent)", "High DEFN(300 percent)",
                                  "Super DEFN(600 percent)"};
        QTest::newRow("edition 0") << 0 << plain;
        QTest::newRow("edition 5") << 5 << plain;
        QTest::newRow("edition 7") << 7 << plain;
        QTest::newRow("edition 1") << 1 << percent;
        QTest::newRow("edition 6") << 6 << percent;
    }

    void qualityTexts()
    {
        QFETCH(int, edition);
        QFETCH(QStringList, texts);
        KHostConfig::setEditionNumber(edition);
        KPhotoQualityComboBox quality(QStringLiteral("Quality"));
        QStringList seen;
        for (int i = 0; i < quality.comboBox()->count(); ++i)
            seen << quality.comboBox()->item(i)->text();
        QCOMPARE(seen, texts);
        QSignalSpy spy(&quality, &KPhotoQualityComboBox::photoQualityChanged);
        quality.setQuality(KPhotoQualityComboBoxItem::High);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<KPhotoQualityComboBoxItem::PhotoQuality>(), KPhotoQualityComboBoxItem::High);
        QCOMPARE(quality.quality(), KPhotoQualityComboBoxItem::High);
    }

    void loadingIconTurnsWhileShownAndCancelStopsIt()
    {
        KLoadingIcon icon;
        QVERIFY(!icon.isTurning());
        icon.show();
        QVERIFY(icon.isTurning());
        for (int i = 0; i < 35; ++i)
            icon.onTimeOut();
        QCOMPARE(icon.angle(), 350);
        icon.onTimeOut();
        QCOMPARE(icon.angle(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(icon.angle() > 0, 500); // the timer itself turns it
        icon.hide();
        QVERIFY(!icon.isTurning());

        KExportLoadingTips tips;
        tips.setText(QStringLiteral("Exporting page 3..."));
        tips.show();
        QCOMPARE(tips.cancelLabel()->text(), QStringLiteral(
            "<a href=\"login\" style=\"text-decoration:none; color:#4185dc; size:12px;\">cancel</a>"));
        QSignalSpy spy(&tips, &KExportLoadingTips::closeTips);
        emit tips.cancelLabel()->linkActivated(QStringLiteral("login"));
        QCOMPARE(spy.count(), 1);
        QVERIFY(!tips.isVisible());
        QCOMPARE(tips.text(), QStringLiteral("Exporting image, please wait..."));
        QVERIFY(!tips.strip()->loadingIcon()->isTurning());
    }

    void tilesScaleAndMarkTheChecked_data() { ktest::addDisplayFactors("factor"); }

    void tilesScaleAndMarkTheChecked()
    {
        QFETCH(double, factor);
        KLiteStyle::setScaleFactor(factor);
        QButtonGroup group;
        KExportTypeItem each(KExportTypeItem::EachPage);
        KExportTypeItem longPicture(KExportTypeItem::LongPicture);
        group.addButton(&each);
        group.addButton(&longPicture);
        QCOMPARE(each.size(), QSize(qRound(98 * factor), qRound(102 * factor)));
        QCOMPARE(each.text(), QStringLiteral("Each Page"));
        QCOMPARE(longPicture.text(), QStringLiteral("Long pictrue"));
        QCOMPARE(each.cursor().shape(), Qt::PointingHandCursor);

        longPicture.setChecked(true);
        const int inset = qRound(4 * factor);
        const QImage checked = longPicture.grab().toImage();
        const QImage unchecked = each.grab().toImage();
        const QPoint corner(checked.width() - inset, checked.height() - inset);
        QVERIFY(isBlueish(checked.pixelColor(corner)));
        QVERIFY(!isBlueish(unchecked.pixelColor(corner)));
        QTest::mouseClick(&each, Qt::LeftButton);
        QCOMPARE(group.checkedButton(), &each);
    }

    void radioItemsKeepTheirData()
    {
        QButtonGroup group;
        KRadioItem a(QVariant(96), QStringLiteral("100%"));
        KRadioItem b(QVariant(192), QStringLiteral("200%"));
        group.addButton(&a);
        group.addButton(&b);
        b.resize(b.sizeHint());
        a.resize(a.sizeHint());
        QSignalSpy spy(&group, QOverload<QAbstractButton *>::of(&QButtonGroup::buttonClicked));
        QTest::mouseClick(&b, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(static_cast<KRadioItem *>(group.checkedButton())->data().toInt(), 192);
        const QImage image = b.grab().toImage();
        QVERIFY(isBlueish(image.pixelColor(image.width() - 3, image.height() - 3)));
        QVERIFY(!isBlueish(a.grab().toImage().pixelColor(a.width() - 3, a.height() - 3)));
    }

    void widgetGroupsForALook_data() { tilesScaleAndMarkTheChecked_data(); }

    void widgetGroupsForALook()
    {
        QFETCH(double, factor);
        KLiteStyle::setScaleFactor(factor);
        QWidget panel;
        panel.setStyleSheet(QStringLiteral("background:#f7f7f7;"));
        auto *grid = new QGridLayout(&panel);
        auto *each = new KExportTypeItem(KExportTypeItem::EachPage);
        auto *longPicture = new KExportTypeItem(KExportTypeItem::LongPicture);
        longPicture->setChecked(true);
        auto *tiles = new QButtonGroup(&panel);
        tiles->addButton(each);
        tiles->addButton(longPicture);
        grid->addWidget(each, 0, 0);
        grid->addWidget(longPicture, 0, 1);
        auto *r1 = new KRadioItem(1, QStringLiteral("All pages"));
        auto *r2 = new KRadioItem(2, QStringLiteral("Pages"));
        r2->setChecked(true);
        grid->addWidget(r1, 1, 0);
        grid->addWidget(r2, 1, 1);
        auto *range = new KRangeLineEdit(10);
        grid->addWidget(range, 2, 0, 1, 2);
        auto *path = new KExportLineEdit;
        path->setText(QStringLiteral("/home/me/myphoto/report.png"));
        grid->addWidget(path, 3, 0, 1, 2);
        auto *formats = new KExportComboBox;
        for (KPhotoFormatComboBoxItem *item : KPhotoFormatComboBoxItem::standardItems())
            formats->addItem(item);
        grid->addWidget(formats, 4, 0);
        grid->addWidget(new KPhotoQualityComboBox(QStringLiteral("Quality")), 4, 1);
        auto *ok = KExportButton::filled(QStringLiteral("Export"));
        ok->setFixedSize(kexportwidgets::scaled(96), kexportwidgets::scaled(32));
        auto *no = KExportButton::outlined(QStringLiteral("Cancel"));
        no->setFixedSize(kexportwidgets::scaled(96), kexportwidgets::scaled(32));
        grid->addWidget(ok, 5, 0);
        grid->addWidget(no, 5, 1);
        grid->addWidget(new KExportLabel(QStringLiteral("Open folder")), 6, 0);
        grid->addWidget(new KExportImageLinkEx(QStringLiteral("Exported. "), QStringLiteral("Open it")), 6, 1);
        auto *tile = new KExportDlgItem(kexportwidgets::icon(QStringLiteral("longpicture")).pixmap(64, 64),
                                        QStringLiteral("Long picture"));
        tile->setFixedSize(kexportwidgets::scaled(110), kexportwidgets::scaled(100));
        tile->setSelected(true);
        grid->addWidget(tile, 8, 0);
        auto *mark = new KWatermarkLineEdit;
        grid->addWidget(mark, 8, 1);
        auto *tips = new KExportLoadingTips;
        tips->setWindowFlags(Qt::Widget);
        grid->addWidget(tips, 7, 0, 1, 2);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        const QString suffix = factor > 1.5 ? QStringLiteral("200") : QStringLiteral("100");
        saveArtifact(&panel, QStringLiteral("export-widgets-%1.png").arg(suffix));
        formats->showPopup();
        saveArtifact(formats->popup(), QStringLiteral("export-combo-popup-%1.png").arg(suffix));
        QVERIFY(range->height() >= kexportwidgets::scaled(20));
    }
};

KTAVRO_TEST_MAIN(TestExportWidgets)
#include "tst_exportwidgets.moc"
