#include "ktestmain.h"

#include <kcolordialog.h>
#include <kcolormodel.h>
#include <kcolorpanel.h>
#include <kcolorpickers.h>
#include <kexportpictruemgr.h>
#include <klitespinbox.h>
#include <klitestyle.h>
#include <kmarginsoptiondlg.h>
#include <kpreviewpage.h>
#include <kwatermarkoptiondlg.h>
#include <kwatermarkstyleitem.h>
#include <kxapplication.h>
#include <kdcinfo.h>

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QScrollBar>
#include <QTabWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>

using Colors = QList<QColor>;
Q_DECLARE_METATYPE(Colors)

namespace {

Colors rgbs(std::initializer_list<QRgb> values)
{
    Colors colors;
    for (QRgb value : values)
        colors.append(QColor(value));
    return colors;
}

Colors sequence(int count, int offset = 0)
{
    Colors colors;
    for (int i = 0; i < count; ++i)
        colors.append(QColor(offset + i, 0, 0));
    return colors;
}

void releaseAt(QWidget *widget, const QPoint &pos)
{
    QMouseEvent event(QEvent::MouseButtonRelease, pos, widget->mapToGlobal(pos), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

QList<KDcEvent> eventsNamed(const QString &name)
{
    QList<KDcEvent> found;
    for (const KDcEvent &event : KCoreApplication::instance()->getDcInfo()->events()) {
        if (event.name == name)
            found.append(event);
    }
    return found;
}

void grab(QWidget *widget, const QString &name)
{
    QVERIFY(widget->grab().save(ktest::artifactPath(name)));
}

} // namespace

class TestOptionDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        KLiteStyle::setScaleFactor(1.0);
        QCoreApplication::setApplicationName(QStringLiteral("vyx"));
    }

    void recentColors_data()
    {
        QTest::addColumn<Colors>("before");
        QTest::addColumn<QColor>("chosen");
        QTest::addColumn<Colors>("after");
        QTest::newRow("first") << Colors() << QColor(0xFF2500) << rgbs({0xFF2500});
        QTest::newRow("third moves to front")
            << rgbs({0x111111, 0x222222, 0xFF2500, 0x333333}) << QColor(0xFF2500)
            << rgbs({0xFF2500, 0x111111, 0x222222, 0x333333});
        QTest::newRow("already first") << rgbs({0x111111, 0x222222}) << QColor(0x111111) << rgbs({0x111111, 0x222222});
        QTest::newRow("full drops oldest") << sequence(11) << QColor(0, 0, 255) << (Colors{QColor(0, 0, 255)} + sequence(10));
        QTest::newRow("full, present") << sequence(11) << QColor(10, 0, 0) << (Colors{QColor(10, 0, 0)} + sequence(10));
        QTest::newRow("invalid ignored") << rgbs({0x111111}) << QColor() << rgbs({0x111111});
    }
    void recentColors()
    {
        QFETCH(Colors, before);
        QFETCH(QColor, chosen);
        QFETCH(Colors, after);
        QCOMPARE(kcolor::addRecentColor(before, chosen), after);
    }

    // The panel: clicking cells keeps the recent row in step and reports the colour.
    void panelClicks_data()
    {
        QTest::addColumn<Colors>("recent");
        QTest::addColumn<int>("standardCell");
        QTest::addColumn<Colors>("after");
        const Colors standard = kcolor::standardColors();
        QTest::newRow("third recent") << (Colors{QColor(1, 1, 1), QColor(2, 2, 2), standard[2]}) << 2
                                      << (Colors{standard[2], QColor(1, 1, 1), QColor(2, 2, 2)});
        QTest::newRow("eleven, new") << sequence(11) << 0 << (Colors{standard[0]} + sequence(10));
    }
    void panelClicks()
    {
        QFETCH(Colors, recent);
        QFETCH(int, standardCell);
        QFETCH(Colors, after);
        KColorPanel panel(nullptr, Qt::black, kcolor::standardColors(), recent);
        QSignalSpy chosen(&panel, &KColorPanel::colorChanged);
        panel.show();
        const int item = 1 + standardCell; // after "Auto"
        releaseAt(&panel, panel.items().at(item).rect.center());
        QCOMPARE(panel.recentColors(), after);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).value<QColor>(), kcolor::standardColors().at(standardCell));
        QCOMPARE(panel.items().at(item).state, int(KColorPanel::Item::Selected));
        QVERIFY(!panel.isVisible());
        // The rebuilt recent row shows the new list.
        const int firstRecent = 1 + kcolor::standardColors().size();
        QCOMPARE(panel.items().at(firstRecent).color, after.first());
    }

    void panelOtherColor_data()
    {
        QTest::addColumn<QColor>("dialogResult");
        QTest::addColumn<int>("emitted");
        QTest::newRow("cancelled") << QColor() << 0;
        QTest::newRow("chosen") << QColor(0x12, 0x34, 0x56) << 1;
    }
    void panelOtherColor()
    {
        QFETCH(QColor, dialogResult);
        QFETCH(int, emitted);
        static QColor result;
        result = dialogResult;
        KColorPanel panel(nullptr, Qt::black, kcolor::standardColors(), rgbs({0x111111}));
        panel.setColorDialogFunction([](const QColor &, QWidget *) { return result; });
        panel.setCurrentColor(QColor(0xFF2500));
        QSignalSpy chosen(&panel, &KColorPanel::colorChanged);
        panel.show();
        releaseAt(&panel, panel.items().last().rect.center());
        QCOMPARE(chosen.count(), emitted);
        QCOMPARE(panel.currentColor(), emitted ? dialogResult : QColor(0xFF2500));
        QCOMPARE(panel.recentColors().first(), emitted ? dialogResult : QColor(0x111111));
        // A cancelled dialog keeps the selected standard cell.
        QCOMPARE(panel.items().at(2).state, emitted ? int(KColorPanel::Item::Normal) : int(KColorPanel::Item::Selected));
    }

    void transparency_data()
    {
        QTest::addColumn<int>("transparency");
        QTest::addColumn<int>("alpha");
        QTest::newRow("0") << 0 << 255;
        QTest::newRow("50") << 50 << 128;
        QTest::newRow("100") << 100 << 0;
        QTest::newRow("1") << 1 << 252;
        QTest::newRow("99") << 99 << 3;
        QTest::newRow("below") << -5 << 255;
        QTest::newRow("above") << 150 << 0;
    }
    void transparency()
    {
        QFETCH(int, transparency);
        QFETCH(int, alpha);
        QCOMPARE(kcolor::transparencyToAlpha(transparency), alpha);
        if (transparency < 0 || transparency > 100)
            return;
        // The dialog's answer carries the same alpha, whichever control set it.
        KColorDialog dialog(QColor(0x336699));
        dialog.alphaPanel()->scrollBar()->setValue(transparency);
        QCOMPARE(dialog.alphaPanel()->spinBox()->value(), transparency);
        QCOMPARE(dialog.selectedColor().alpha(), alpha);
        QCOMPARE(dialog.selectedColor().rgb(), QColor(0x336699).rgb());
        QCOMPARE(dialog.shower()->field(3)->value(), alpha);
    }

    void presetKeys_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("to");
        QTest::newRow("up inside") << 25 << int(Qt::Key_Up) << 5;
        QTest::newRow("down inside") << 5 << int(Qt::Key_Down) << 25;
        QTest::newRow("up from top row") << 0 << int(Qt::Key_Up) << 381;
        QTest::newRow("up from top row, col 5") << 5 << int(Qt::Key_Up) << 386;
        QTest::newRow("down from bottom row") << 385 << int(Qt::Key_Down) << 4;
        QTest::newRow("up past last column") << 19 << int(Qt::Key_Up) << 400;
        QTest::newRow("down past first column") << 380 << int(Qt::Key_Down) << 417;
        QTest::newRow("grey rows, down") << 403 << int(Qt::Key_Down) << 411;
        QTest::newRow("grey rows, up") << 411 << int(Qt::Key_Up) << 403;
        QTest::newRow("grey rows, up from upper") << 401 << int(Qt::Key_Up) << 409;
        QTest::newRow("end cell stays") << 400 << int(Qt::Key_Up) << 400;
        QTest::newRow("left at start") << 0 << int(Qt::Key_Left) << 0;
        QTest::newRow("right at end") << 417 << int(Qt::Key_Right) << 417;
        QTest::newRow("right into neutral") << 399 << int(Qt::Key_Right) << 400;
        QTest::newRow("none selected") << -1 << int(Qt::Key_Down) << 0;
        QTest::newRow("other key") << 7 << int(Qt::Key_A) << 7;
    }
    void presetKeys()
    {
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, to);
        QCOMPARE(kcolor::presetMove(from, key), to);
    }

    void presetGridWidget()
    {
        KHexColorPicker picker;
        picker.resize(picker.sizeHint());
        QSignalSpy picked(&picker, &KHexColorPicker::selectColor);
        picker.setSelColor(QColor(kcolor::presetColors().at(2)));
        QCOMPARE(picker.selectedCell(), 2);
        QTest::keyClick(&picker, Qt::Key_Up);
        QCOMPARE(picker.selectedCell(), 383);
        QCOMPARE(picked.last().at(0).value<QColor>(), QColor(kcolor::presetColors().at(383)));
        QCOMPARE(kcolor::presetColors().size(), kcolor::PresetCells);
        QCOMPARE(QColor(kcolor::presetColors().at(0)), QColor(0xF9FBFA));
        QCOMPARE(QColor(kcolor::presetColors().at(417)), QColor(Qt::black));
    }

    void presetHitTest_data()
    {
        QTest::addColumn<int>("cell");
        QTest::addColumn<QPoint>("offset"); // from the cell's top-left
        QTest::addColumn<int>("expected");
        QTest::newRow("centre") << 21 << QPoint(5, 5) << 21;
        QTest::newRow("left edge of a cell") << 1 << QPoint(0, 5) << 1;
        QTest::newRow("top edge of a cell") << 20 << QPoint(5, 0) << 20;
        QTest::newRow("gap, left neighbour first") << 1 << QPoint(-1, 5) << 0;
        QTest::newRow("end cell") << 400 << QPoint(3, 3) << 400;
        QTest::newRow("grey") << 409 << QPoint(2, 2) << 409;
        QTest::newRow("outside") << 0 << QPoint(-20, -20) << -1;
    }
    void presetHitTest()
    {
        QFETCH(int, cell);
        QFETCH(QPoint, offset);
        QFETCH(int, expected);
        KHexColorPicker picker;
        QCOMPARE(picker.cellAt(picker.cellRect(cell).topLeft() + offset), expected);
    }

    void planeValues_data()
    {
        QTest::addColumn<int>("pos");
        QTest::addColumn<int>("extent");
        QTest::addColumn<int>("hue");
        QTest::addColumn<int>("saturation");
        QTest::newRow("origin") << 0 << 200 << 0 << 255;
        QTest::newRow("middle") << 100 << 201 << 128 << 128;
        QTest::newRow("last") << 199 << 200 << 255 << 0;
        QTest::newRow("one pixel") << 0 << 1 << 0 << 255;
        QTest::newRow("outside") << 500 << 200 << 255 << 0;
    }
    void planeValues()
    {
        QFETCH(int, pos);
        QFETCH(int, extent);
        QFETCH(int, hue);
        QFETCH(int, saturation);
        QCOMPARE(kcolor::planeHue(pos, extent), hue);
        QCOMPARE(kcolor::planeSaturation(pos, extent), saturation);
    }

    void colorEditor_data()
    {
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QVector<int>>("rgb");
        QTest::addColumn<QVector<int>>("hsl");
        QTest::newRow("red") << QColor(255, 0, 0) << QVector<int>{255, 0, 0} << QVector<int>{0, 255, 128};
        QTest::newRow("grey hue 0") << QColor(128, 128, 128) << QVector<int>{128, 128, 128} << QVector<int>{0, 0, 128};
        QTest::newRow("blue") << QColor(0, 0, 255) << QVector<int>{0, 0, 255} << QVector<int>{170, 255, 128};
    }
    void colorEditor()
    {
        QFETCH(QColor, color);
        QFETCH(QVector<int>, rgb);
        QFETCH(QVector<int>, hsl);
        KColorShower shower;
        QSignalSpy edited(&shower, &KColorShower::currentColorChancsbSecondValue);
        shower.setRgb(color.rgba());
        for (int mode : {0, 1, 0}) {
            shower.modeBox()->setCurrentIndex(mode);
            const QVector<int> &expected = mode == 0 ? rgb : hsl;
            for (int i = 0; i < 3; ++i)
                QCOMPARE(shower.field(i)->value(), expected[i]);
        }
        QCOMPARE(shower.fieldLabel(0)->text(), QStringLiteral("&Red:"));
        QCOMPARE(edited.count(), 0); // showing and converting emit nothing
        shower.field(1)->setValue(200);
        QCOMPARE(edited.count(), 1);
        QCOMPARE(edited.last().at(0).value<QColor>().green(), 200);
    }

    // Every picker feeds the swatch and the editors.
    void pickersFeedEachOther()
    {
        KColorDialog dialog{QColor(Qt::white)};
        QCOMPARE(dialog.swatch()->currentColor(), QColor(Qt::white));
        emit dialog.hexPicker()->selectColor(QColor(0x808080));
        QCOMPARE(dialog.swatch()->newColor(), QColor(0x808080));
        QCOMPARE(dialog.shower()->field(0)->value(), 0x80);
        emit dialog.colorCircle()->colorChanged(QColor(0, 255, 0));
        QCOMPARE(dialog.swatch()->newColor(), QColor(0, 255, 0));
        QCOMPARE(dialog.shower()->field(1)->value(), 255);
        dialog.shower()->field(2)->setValue(255);
        QCOMPARE(dialog.newColor(), QColor(0, 255, 255));
        QCOMPARE(dialog.colorCircle()->color().rgb(), QColor(0, 255, 255).rgb());
    }

    void colorWheelTriangle_data()
    {
        QTest::addColumn<QColor>("color");
        QTest::addColumn<double>("angle"); // of vertex 0, degrees
        QTest::newRow("red") << QColor(255, 0, 0) << 90.0;
        QTest::newRow("green") << QColor(0, 255, 0) << 210.0;
    }
    void colorWheelTriangle()
    {
        QFETCH(QColor, color);
        QFETCH(double, angle);
        KColorCircleHsv wheel;
        wheel.resize(200, 200);
        wheel.setColor(color);
        const QPointF d = wheel.vertex(0) - QPointF(100, 100);
        QCOMPARE(qRound(qRadiansToDegrees(std::atan2(-d.y(), d.x())) + 360) % 360, int(angle));
        // Picking the pure-hue vertex gives back the colour.
        QSignalSpy changed(&wheel, &KColorCircleHsv::colorChanged);
        QTest::mousePress(&wheel, Qt::LeftButton, {}, wheel.vertex(0).toPoint());
        QCOMPARE(changed.count(), 1);
        const QColor picked = changed.last().at(0).value<QColor>();
        QVERIFY2(qAbs(picked.hsvHue() - color.hsvHue()) <= 2 && picked.value() > 240, qPrintable(picked.name()));
    }

    void marginsConfirm_data()
    {
        QTest::addColumn<QString>("application");
        QTest::addColumn<QVector<int>>("margins");
        QTest::addColumn<int>("spacing");
        QTest::addColumn<QString>("remark");
        QTest::addColumn<int>("contentHeight");
        QTest::newRow("writer") << "vyx" << QVector<int>{0, 100, 0, 100} << 50 << "100-100-50" << 234;
        QTest::newRow("presentation") << "vyd" << QVector<int>{0, 100, 0, 100} << 0 << "100-100-0" << 182;
        QTest::newRow("pdf") << "pdf" << QVector<int>{0, 100, 0, 100} << 0 << "100-100-0" << 182;
    }
    void marginsConfirm()
    {
        QFETCH(QString, application);
        QFETCH(QVector<int>, margins);
        QFETCH(int, spacing);
        QFETCH(QString, remark);
        QFETCH(int, contentHeight);
        QCoreApplication::setApplicationName(application);
        KCoreApplication::instance()->getDcInfo()->clearEvents();
        KMarginsOptionDlg dialog(nullptr);
        // What the export dialog gives it; left and right are cleared on confirmation.
        dialog.setPageSpacing(50);
        dialog.setMargins(7, 100, 7, 100);
        QCOMPARE(dialog.margins(), (QVector<int>{7, 100, 7, 100}));
        QSignalSpy finished(&dialog, &KOptionFrameDialog::finished);
        dialog.show();
        QCOMPARE(dialog.contentRect().height(), contentHeight);
        auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("okButton"));
        QVERIFY(ok);
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toInt(), 1);
        QCOMPARE(dialog.margins(), margins);
        QCOMPARE(dialog.pageSpacing(), spacing);
        const QList<KDcEvent> events = eventsNamed(QStringLiteral("vas_exportphoto_margin"));
        QCOMPARE(events.size(), 1);
        QCOMPARE(events.first().fields.value(QStringLiteral("remark")), remark);
        QVERIFY(!dialog.isVisible());
    }

    // Closing by the title bar keeps the confirmed values, also in the spin boxes next time.
    void marginsClose()
    {
        KMarginsOptionDlg dialog(nullptr, true);
        dialog.setMargins(0, 100, 0, 100);
        dialog.setPageSpacing(50);
        QSignalSpy finished(&dialog, &KOptionFrameDialog::finished);
        dialog.show();
        auto *top = dialog.findChild<KLiteSpinBox *>(QStringLiteral("margin1"));
        QVERIFY(top);
        QCOMPARE(top->suffix(), QStringLiteral("pix"));
        QCOMPARE(top->minimum(), 1);
        QCOMPARE(top->maximum(), 300);
        // Labels are drawn whole, in the style asked for (85 % black, 14 pixels).
        const QList<QLabel *> labels = dialog.findChildren<QLabel *>();
        QCOMPARE(labels.size(), 3);
        for (QLabel *label : labels) {
            QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
            QCOMPARE(label->palette().color(QPalette::WindowText).alpha(), 217);
            QCOMPARE(label->font().pixelSize(), 14);
        }
        top->setValue(250);
        static_cast<KOptionTitleBar *>(dialog.titleBar())->onCloseButtonClicked();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toInt(), 0);
        QCOMPARE(dialog.margins(), (QVector<int>{0, 100, 0, 100}));
        dialog.show();
        QCOMPARE(top->value(), 100);
        dialog.hide();
    }

    void watermarkConfirm_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("rotate");
        QTest::addColumn<QString>("storedText");
        QTest::addColumn<int>("storedRotate");
        const QString deg = KWatermarkCliectWidget::degreeSign();
        QTest::newRow("empty text") << QString() << "45" + deg << "Brindlex Office" << 45;
        QTest::newRow("only degree sign") << "Draft" << deg << "Draft" << 0;
        QTest::newRow("both") << QString() << deg << "Brindlex Office" << 0;
        QTest::newRow("full angle") << "x" << "360" + deg << "x" << 360;
    }
    void watermarkConfirm()
    {
        QFETCH(QString, text);
        QFETCH(QString, rotate);
        QFETCH(QString, storedText);
        QFETCH(int, storedRotate);
        WatermarkSetting start;
        start.setStyle(2);
        start.setRotate(30);
        auto *dialog = new KWatermarkOptionDlg(nullptr, QImage(), start);
        QPointer<KWatermarkOptionDlg> alive(dialog);
        QSignalSpy finished(dialog, &KOptionFrameDialog::finished);
        dialog->show();
        KWatermarkCliectWidget *client = dialog->client();
        client->textEdit()->setText(text);
        client->rotateEdit()->setText(rotate);
        QVERIFY(client->rotateEdit()->hasAcceptableInput());
        QTest::mouseClick(client->okButton(), Qt::LeftButton);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toInt(), 1);
        const WatermarkSetting stored = KExportPictrueMgr::instance()->customWatermark();
        QCOMPARE(stored.rotate(), storedRotate);
        QCOMPARE(stored.style(), 2);
        // The text is not kept in the data file; the dialog's copy shows what was taken.
        QCOMPARE(client->setting().text(), storedText);
        QCOMPARE(client->textEdit()->text(), storedText);
        QTRY_VERIFY(!alive); // deleted when closed
    }

    void watermarkInputRules_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("acceptable");
        const QString deg = KWatermarkCliectWidget::degreeSign();
        QTest::newRow("angle 361") << "rotate" << "361" + deg << false;
        QTest::newRow("angle 359") << "rotate" << "359" + deg << true;
        QTest::newRow("angle 05") << "rotate" << "05" + deg << false;
        QTest::newRow("angle without sign") << "rotate" << "45" << false;
        QTest::newRow("text 30") << "text" << QString(30, 'a') << true;
        QTest::newRow("text 31") << "text" << QString(31, 'a') << false;
    }
    void watermarkInputRules()
    {
        QFETCH(QString, field);
        QFETCH(QString, input);
        QFETCH(bool, acceptable);
        KWatermarkCliectWidget client{QImage(), WatermarkSetting()};
        QLineEdit *edit = field == QLatin1String("rotate") ? client.rotateEdit() : client.textEdit();
        int pos = 0;
        QString copy = input;
        QCOMPARE(edit->validator()->validate(copy, pos) == QValidator::Acceptable, acceptable);
    }

    // Each control changes its field of the dialog's copy; closing stores nothing.
    void watermarkControls()
    {
        WatermarkSetting start;
        start.setStyle(0);
        start.setOpacity(0.29);
        start.setSize(1);
        start.setPolicy(1);
        KExportPictrueMgr::instance()->setCustomWatermark(start);
        auto *dialog = new KWatermarkOptionDlg(nullptr, QImage(), start);
        dialog->show();
        KWatermarkCliectWidget *client = dialog->client();
        QCOMPARE(client->opacitySlider()->value(), 29); // not 28: 0.29 * 100 is just below 29
        QTest::mouseClick(client->styleItems().at(4), Qt::LeftButton);
        QTest::mouseClick(client->styleItems().at(4), Qt::LeftButton); // stays selected
        QVERIFY(client->styleItems().at(4)->isSelected());
        QVERIFY(!client->styleItems().at(0)->isSelected());
        client->sizeGroup()->button(2)->click();
        client->policyGroup()->button(0)->click();
        client->opacitySlider()->setValue(60);
        client->colorButton()->onColorChanged(QColor(0xC11900));
        const WatermarkSetting edited = client->setting();
        QCOMPARE(edited.style(), 4);
        QCOMPARE(edited.size(), 2);
        QCOMPARE(edited.policy(), 0);
        QCOMPARE(edited.opacity(), 0.6);
        QCOMPARE(edited.color(), QColor(0xC11900));
        static_cast<KOptionTitleBar *>(dialog->titleBar())->onCloseButtonClicked();
        QCOMPARE(KExportPictrueMgr::instance()->customWatermark().style(), 0);
    }

    void actionProperties_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("policy");
        QTest::addColumn<int>("size");
        QTest::newRow("policy") << "policy" << 0 << 0 << 1;
        QTest::newRow("size") << "size" << 2 << 1 << 2;
        QTest::newRow("neither") << "other" << 0 << 1 << 1;
    }
    void actionProperties()
    {
        QFETCH(QString, property);
        QFETCH(int, value);
        QFETCH(int, policy);
        QFETCH(int, size);
        KWatermarkCliectWidget client{QImage(), WatermarkSetting()};
        QAction action;
        action.setProperty(property.toLatin1(), value);
        connect(&action, &QAction::triggered, &client, &KWatermarkCliectWidget::onActionTrigger);
        action.trigger();
        QCOMPARE(client.setting().policy(), policy);
        QCOMPARE(client.setting().size(), size);
        QCOMPARE(client.policyGroup()->checkedId(), policy);
        QCOMPARE(client.sizeGroup()->checkedId(), size);
    }

    void fitRect_data()
    {
        QTest::addColumn<QRect>("bounds");
        QTest::addColumn<QSize>("image");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("narrowed") << QRect(0, 0, 420, 420) << QSize(800, 1130) << QRect(68, 10, 283, 400);
        QTest::newRow("lowered") << QRect(0, 0, 420, 420) << QSize(800, 400) << QRect(10, 110, 400, 200);
        QTest::newRow("offset bounds") << QRect(50, 30, 220, 420) << QSize(1000, 500) << QRect(60, 190, 200, 100);
        QTest::newRow("too small") << QRect(0, 0, 15, 15) << QSize(10, 10) << QRect();
    }
    void fitRect()
    {
        QFETCH(QRect, bounds);
        QFETCH(QSize, image);
        QFETCH(QRect, expected);
        QCOMPARE(KPreviewPage::fitRect(bounds, image, 10), expected);
    }

    // Without a page the template is shown, with the watermark the export would paint.
    void previewTemplate()
    {
        KPreviewPage page;
        page.resize(420, 600);
        page.show();
        WatermarkSetting none;
        page.setWatermark(none);
        QTRY_VERIFY(page.isReady());
        const QImage plain = page.previewImage();
        QCOMPARE(page.pageImage().size(), QSize(800, 1130));
        QCOMPARE(plain.size(), page.targetRect().size());
        WatermarkSetting text;
        text.setStyle(0);
        text.setOpacity(1.0);
        page.setWatermark(text);
        QVERIFY(!page.isReady());
        QTRY_VERIFY(page.isReady());
        QVERIFY(page.previewImage() != plain);
    }

    void liteSpinBoxArrows_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<bool>("upper");
        QTest::addColumn<int>("expected");
        QTest::newRow("up") << 10 << true << 11;
        QTest::newRow("down") << 10 << false << 9;
        QTest::newRow("up at maximum") << 300 << true << 300;
        QTest::newRow("down at minimum") << 1 << false << 1;
    }
    void liteSpinBoxArrows()
    {
        QFETCH(int, start);
        QFETCH(bool, upper);
        QFETCH(int, expected);
        KLiteSpinBox spin;
        spin.setRange(1, 300);
        spin.setFixedBoxSize(QSize(110, 32));
        spin.setValue(start);
        spin.show();
        QTest::mouseClick(&spin, Qt::LeftButton, {}, QPoint(spin.width() - 5, upper ? 8 : 24));
        QCOMPARE(spin.value(), expected);
        // A click on the text does not step.
        QTest::mouseClick(&spin, Qt::LeftButton, {}, QPoint(20, 16));
        QCOMPARE(spin.value(), expected);
    }

    void colorCombobox()
    {
        KExportPictrueMgr::instance()->setRecentColors(rgbs({0x010203}));
        KColorCombobox button;
        button.resize(290, 32);
        button.show();
        QSignalSpy changed(&button, &KColorCombobox::colorChanged);
        QTest::mouseClick(&button, Qt::LeftButton);
        QVERIFY(button.panel() && button.panel()->isVisible());
        QCOMPARE(button.arrowIconName(), QStringLiteral("arrow-up"));
        QCOMPARE(button.panel()->recentColors(), rgbs({0x010203}));
        // The panel hangs under the button, its shadow outside.
        const QPoint content = button.panel()->geometry().topLeft()
                               + QPoint(button.panel()->shadowMargins().left(), button.panel()->shadowMargins().top());
        QCOMPARE(content, button.mapToGlobal(QPoint(0, button.height())));
        releaseAt(button.panel(), button.panel()->items().at(3).rect.center());
        QCOMPARE(button.arrowIconName(), QStringLiteral("arrow-down"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(button.color(), kcolor::standardColors().at(2));
        QCOMPARE(KExportPictrueMgr::instance()->recentColors(), (Colors{kcolor::standardColors().at(2), QColor(0x010203)}));
        button.onColorChanged(QColor());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(button.color(), kcolor::standardColors().at(2));
    }

    void hsPlanePick_data()
    {
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<int>("hue");
        QTest::addColumn<int>("saturation");
        QTest::newRow("top edge") << QPoint(1, 0) << 1 << 255; // (0, 0) means the centre to QTest
        QTest::newRow("bottom right") << QPoint(199, 159) << 255 << 0;
        QTest::newRow("middle") << QPoint(99, 79) << 127 << 129;
    }
    void hsPlanePick()
    {
        QFETCH(QPoint, pos);
        QFETCH(int, hue);
        QFETCH(int, saturation);
        KHSPicker plane;
        plane.resize(200, 160);
        QSignalSpy picked(&plane, &KHSPicker::newCol);
        QTest::mousePress(&plane, Qt::LeftButton, {}, pos);
        QCOMPARE(picked.count(), 1);
        QCOMPARE(picked.at(0).at(0).toInt(), hue);
        QCOMPARE(picked.at(0).at(1).toInt(), saturation);
        // In the dialog the new colour keeps its lightness and takes hue and saturation.
        KColorDialog dialog(QColor(0x808080));
        emit dialog.hsPicker()->newCol(hue, saturation);
        const QColor expected = QColor::fromHslF(hue / 255.0, saturation / 255.0, 128 / 255.0);
        QCOMPARE(dialog.newColor().rgb(), expected.rgb());
    }

    void dialogExec_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("accepted") << true;
        QTest::newRow("rejected") << false;
    }
    void dialogExec()
    {
        QFETCH(bool, accept);
        KMarginsOptionDlg dialog(nullptr, false);
        QTimer::singleShot(0, &dialog, [&] { accept ? dialog.accept() : dialog.reject(); });
        QCOMPARE(dialog.exec(), accept ? 1 : 0);
        QCOMPARE(dialog.result(), accept ? 1 : 0);
        QVERIFY(!dialog.isVisible());
    }

    void grabDialogs_data() { ktest::addDisplayFactors("scale"); }
    void grabDialogs()
    {
        QFETCH(double, scale);
        KLiteStyle::setScaleFactor(scale);
        const QString suffix = QStringLiteral("-%1.png").arg(int(scale * 100));
        {
            KMarginsOptionDlg margins(nullptr, true);
            margins.setMargins(0, 100, 0, 100);
            margins.setPageSpacing(50);
            margins.show();
            grab(&margins, "margins-dialog" + suffix);
        }
        {
            WatermarkSetting setting;
            setting.setStyle(4);
            setting.setColor(QColor(0xC11900));
            setting.setOpacity(0.4);
            auto *dialog = new KWatermarkOptionDlg(nullptr, QImage(), setting);
            dialog->show();
            QTRY_VERIFY(dialog->client()->preview()->isReady());
            grab(dialog, "watermark-dialog" + suffix);
            dialog->client()->colorButton()->showPanel();
            grab(dialog->client()->colorButton()->panel(), "color-panel" + suffix);
            dialog->client()->colorButton()->panel()->hide();
            dialog->reject();
        }
        KColorDialog colors(QColor(0x6E9BEF));
        colors.show();
        for (int tab = 0; tab < 3; ++tab) {
            colors.tabs()->setCurrentIndex(tab);
            grab(&colors, QStringLiteral("color-dialog-%1").arg(tab) + suffix);
        }
    }
};

KTAVRO_TEST_MAIN(TestOptionDialogs)
#include "tst_optiondialogs.moc"
