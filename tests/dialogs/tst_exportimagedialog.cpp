#include "ktestexportdlg.h"

#include <kexportbutton.h>
#include <kexportcombobox.h>
#include <kexportimagedialog.h>
#include <kexportimagemgr.h>
#include <kexportlineedit.h>
#include <kexportloadingtips.h>
#include <kexportsettings.h>
#include <khostconfig.h>
#include <kregistry.h>
#include <ksimpleitem.h>
#include <kwatermarklineedit.h>

#include <QCheckBox>
#include <QPointer>
#include <QPushButton>


using namespace ktest;

namespace {

QStringList rowTexts(KExportComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->item(i)->text();
    return texts;
}

} // namespace

class TestExportImageDialog : public QObject, ktest::ExportDialogFixture
{
    Q_OBJECT

    int m_logins = 0;
    kexportdlg::DocumentWatermark m_hostWatermark;

    KExportImageDialog *showDialog(const QString &savePath = QString(), int formatIndex = 1)
    {
        auto *dialog = new KExportImageDialog(nullptr, QCoreApplication::applicationName(), QStringLiteral("test"),
                                              savePath, formatIndex);
        dialog->setHostWindow(m_window.get());
        dialog->show();
        QCoreApplication::processEvents();
        return dialog;
    }

    static void waitIdle(QPointer<KExportImageDialog> dialog)
    {
        QTRY_VERIFY_WITH_TIMEOUT(!dialog || !dialog->manager()->isBusy(), 60000);
        QCoreApplication::processEvents();
    }

    static void exportAndWait(QPointer<KExportImageDialog> dialog)
    {
        dialog->exportButton()->click();
        waitIdle(dialog);
    }

    static void clickTile(KExportImageDialog *dialog, int type)
    {
        KSimpleItem *tile = dialog->typeItem(type);
        QTest::mouseClick(tile, Qt::LeftButton, {}, tile->rect().center());
    }

    void setCloud(bool available, const QString &user, bool logined)
    {
        if (available)
            KRegistry::setValue(kCloudKey, QString(), QStringLiteral("lumo cloud"));
        else
            KRegistry::remove(kCloudKey, QString());
        KHostConfig::setValue(QStringLiteral("userId"), user);
        KHostConfig::setValue(QStringLiteral("userLogined"), logined);
    }

private slots:
    void initTestCase()
    {
        KHostConfig::setEditionNumber(5);
        KExportDialogHooks hooks;
        hooks.tips = [this](QWidget *, const QString &title, const QString &text, int buttons) {
            return answerTip(title, text, buttons);
        };
        hooks.openUrl = [this](const QUrl &url) {
            m_urls << url;
            return true;
        };
        hooks.openPicture = [](const QString &) { return false; };
        kexportdlgshared::setHooks(hooks);
        KExportImageDialog::HostHooks host;
        host.documentWatermark = [this] { return m_hostWatermark; };
        host.login = [this](QWidget *) {
            ++m_logins;
            KHostConfig::setValue(QStringLiteral("userLogined"), true);
        };
        KExportImageDialog::setHostHooks(host);
        presentPaths();
    }

    void init()
    {
        resetFixture();
        m_logins = 0;
        m_hostWatermark = kexportdlg::DocumentWatermark();
        KRegistry::remove(kexportsettings::compactDialogKey(), QStringLiteral("enableBackupToCloud"));
        setCloud(false, QString(), false);
    }

    void cleanup() { closeDocument(); }

    void tilesAndListsFollowTheDocument_data()
    {
        QTest::addColumn<int>("doc");
        QTest::addColumn<int>("pages");
        QTest::addColumn<bool>("eachEnabled");
        QTest::addColumn<bool>("longEnabled");
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("qualities");
        QTest::addColumn<QString>("written");
        const QStringList two{"Common DEFN", "Standard DEFN"};
        const QStringList four = two + QStringList{"High DEFN", "Super DEFN"};
        QTest::newRow("writer, one page") << int(Writer) << 1 << true << false << 0 << four << "doc/doc_01.png";
        QTest::newRow("writer, three pages") << int(Writer) << 3 << true << true << 1 << two << "doc.png";
        QTest::newRow("spreadsheet") << int(Sheet) << 1 << false << true << 1 << two << "sheet.png";
        QTest::newRow("pdf") << int(Pdf) << 3 << true << true << 0 << four << "doc/doc_01.png";
    }
    void tilesAndListsFollowTheDocument()
    {
        QFETCH(int, doc);
        QFETCH(int, pages);
        QFETCH(int, type);
        QFETCH(QString, written);
        openDocument(Doc(doc), pages);
        QPointer<KExportImageDialog> dialog = showDialog();
        QTEST(dialog->typeItem(0)->isEnabled(), "eachEnabled");
        QTEST(dialog->typeItem(1)->isEnabled(), "longEnabled");
        QCOMPARE(dialog->typeItem(1)->toolTip().isEmpty(), dialog->typeItem(1)->isEnabled());
        QCOMPARE(dialog->exportType(), type);
        QVERIFY(dialog->typeItem(type)->isSelected());
        QVERIFY(!dialog->typeItem(1 - type)->isSelected());
        QTEST(rowTexts(dialog->qualityCombo()->comboBox()), "qualities");
        QCOMPARE(rowTexts(dialog->formatCombo()), QStringList({"JPG", "PNG", "BMP", "TIF"}));
        QCOMPARE(dialog->formatCombo()->currentRow(), 1);
        // A disabled tile does not change the choice.
        clickTile(dialog, 1 - type);
        QCOMPARE(dialog->exportType(), dialog->typeItem(1 - type)->isEnabled() ? 1 - type : type);
        clickTile(dialog, type);
        exportAndWait(dialog);
        QVERIFY(!m_tips.isEmpty());
        QCOMPARE(m_tips.last().title, QStringLiteral("Export success"));
        QVERIFY2(QFileInfo(picturePath(written)).size() > 0, qPrintable(exportOutputs(m_folder).join(',')));
        dialog->close();
    }

    void typeAndFormatChangeThePath()
    {
        openDocument(Writer, 3);
        QPointer<KExportImageDialog> dialog = showDialog(QString(), 0);
        QVERIFY(dialog->pathEdit()->text().endsWith(QLatin1String("doc.jpg")));
        clickTile(dialog, 0);
        QCOMPARE(rowTexts(dialog->qualityCombo()->comboBox()).size(), 4);
        dialog->qualityCombo()->setQuality(KPhotoQualityComboBoxItem::Super);
        dialog->formatCombo()->setCurrentRow(2);
        QVERIFY(dialog->pathEdit()->text().endsWith(QLatin1String("doc.bmp")));
        // Back to a long picture: the qualities it cannot have go, the choice falls back.
        clickTile(dialog, 1);
        QCOMPARE(rowTexts(dialog->qualityCombo()->comboBox()).size(), 2);
        QCOMPARE(dialog->qualityCombo()->quality(), KPhotoQualityComboBoxItem::Standard);
        exportAndWait(dialog);
        QVERIFY(QFileInfo(picturePath(QStringLiteral("doc.bmp"))).size() > 0);
        const auto begin = lastExportEvent(QStringLiteral("begin"));
        QCOMPARE(begin.value(QStringLiteral("format")), QStringLiteral("bmp"));
        QCOMPARE(begin.value(QStringLiteral("quality")), QStringLiteral("200%"));
        QCOMPARE(begin.value(QStringLiteral("export_type")), QStringLiteral("LongPicture"));
        QVERIFY(!begin.contains(QStringLiteral("page")));
        QVERIFY(!lastExportEvent(QStringLiteral("end")).contains(QStringLiteral("page")));
        QCOMPARE(lastExportEvent(QStringLiteral("end")).value(QStringLiteral("pageCount")), QStringLiteral("3"));
        dialog->close();
    }

    void longPictureLimitTexts_data()
    {
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("quality");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("16 pages, standard") << 16 << 1 << QStringLiteral(
            "You can combine 15 pages at most to a standard long picture. You can reduce pages or choose lower "
            "quality, and try again.");
        QTest::newRow("26 pages, common") << 26 << 0 << QStringLiteral(
            "You can combine 25 pages at most to a normal quality long picture. Please reduce pages and try again.");
        QTest::newRow("16 pages, common") << 16 << 0 << QString();
        QTest::newRow("15 pages, standard") << 15 << 1 << QString();
    }
    void longPictureLimitTexts()
    {
        QFETCH(int, pages);
        QFETCH(int, quality);
        QFETCH(QString, refusal);
        openDocument(Writer, pages);
        QPointer<KExportImageDialog> dialog = showDialog();
        dialog->qualityCombo()->setQuality(KPhotoQualityComboBoxItem::PhotoQuality(quality));
        exportAndWait(dialog);
        QVERIFY(!m_tips.isEmpty());
        if (refusal.isEmpty()) {
            QCOMPARE(m_tips.last().title, QStringLiteral("Export success"));
            QVERIFY(QFileInfo(picturePath(QStringLiteral("doc.png"))).size() > 0);
        } else {
            QCOMPARE(m_tips.last().title, QStringLiteral("Out of range"));
            QCOMPARE(m_tips.last().text, refusal);
            QCOMPARE(m_tips.last().buttons, int(KTipsDialog::OkButton));
            QCOMPARE(exportOutputs(m_folder), QStringList());
        }
        dialog->close();
    }

    void closingWhileExportingIsRefused_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("close button") << false;
        QTest::newRow("escape key") << true;
    }
    void closingWhileExportingIsRefused()
    {
        QFETCH(bool, escape);
        openDocument(Writer, 12);
        QPointer<KExportImageDialog> dialog = showDialog();
        clickTile(dialog, 0);
        dialog->exportButton()->click();
        if (!dialog->manager()->isBusy())
            QSKIP("the export finished within the click");
        if (escape)
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            dialog->closeButton()->click();
        QVERIFY(!dialog.isNull());
        QVERIFY(dialog->isVisible());
        QCOMPARE(m_tips.size(), 1);
        QCOMPARE(m_tips.first().title, QStringLiteral("Export Image"));
        QCOMPARE(m_tips.first().text, QStringLiteral("Can't close because another export task is running"));
        QCOMPARE(m_tips.first().buttons, int(KTipsDialog::YesButton));
        waitIdle(dialog);
        QCOMPARE(m_tips.last().title, QStringLiteral("Export success"));
        if (escape)
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            dialog->closeButton()->click();
        QTRY_VERIFY(dialog.isNull());
    }

    void secondExportIsRefused()
    {
        openDocument(Writer, 10);
        QPointer<KExportImageDialog> dialog = showDialog();
        clickTile(dialog, 0);
        dialog->exportButton()->click();
        if (!dialog->manager()->isBusy())
            QSKIP("the export finished within the click");
        dialog->exportButton()->click();
        QCOMPARE(m_tips.size(), 1);
        QCOMPARE(m_tips.first().text, QStringLiteral("Another export task is running,please wait and try again"));
        waitIdle(dialog);
        QCOMPARE(m_tips.last().title, QStringLiteral("Export success"));
        dialog->close();
    }

    void exportCancelLeavesNothing_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("closeAfter");
        QTest::newRow("long picture") << 1 << false;
        QTest::newRow("each page") << 0 << false;
        QTest::newRow("each page, cancel and close") << 0 << true;
    }
    void exportCancelLeavesNothing()
    {
        QFETCH(int, type);
        QFETCH(bool, closeAfter);
        openDocument(Writer, 12);
        QPointer<KExportImageDialog> dialog = showDialog();
        clickTile(dialog, type);
        dialog->exportButton()->click();
        if (closeAfter)
            dialog->cancelAndClose();
        else
            dialog->onCancelExport();
        waitIdle(dialog);
        if (closeAfter)
            QTRY_VERIFY(dialog.isNull());
        else
            QVERIFY(dialog->loadingTips()->isHidden());
        QCOMPARE(exportOutputs(m_folder), QStringList());
        QCOMPARE(m_tips.size(), 0);
        if (dialog)
            dialog->close();
    }

    void backupNeedsLoginAndCopiesIntoTheCloud_data()
    {
        QTest::addColumn<bool>("logined");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("logins");
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("cloudFiles");
        QTest::newRow("not logged in, login") << false << int(KTipsDialog::ResultLogin) << 1 << 1 << QStringList();
        QTest::newRow("not logged in, closed") << false << int(KTipsDialog::ResultClosed) << 0 << 1 << QStringList();
        QTest::newRow("logged in, long picture") << true << 0 << 0 << 1 << QStringList{"cloudapp/ktavro/doc.png"};
        QTest::newRow("logged in, each page")
            << true << 0 << 0 << 0 << QStringList{"cloudapp/ktavro/doc/doc_01.png", "cloudapp/ktavro/doc/doc_02.png"};
    }
    void backupNeedsLoginAndCopiesIntoTheCloud()
    {
        QFETCH(bool, logined);
        QFETCH(int, answer);
        QFETCH(int, type);
        QFETCH(QStringList, cloudFiles);
        const QString cloud = m_folder + QStringLiteral("/../cloud-") + QFileInfo(m_folder).fileName();
        KHostConfig::setValue(QStringLiteral("cloudRoot"), cloud);
        setCloud(true, QStringLiteral("u7"), logined);
        openDocument(Writer, 2);
        QPointer<KExportImageDialog> dialog = showDialog();
        QVERIFY(!dialog->backupCheckBox()->isHidden());
        dialog->backupCheckBox()->setChecked(true);
        clickTile(dialog, type);
        m_answers << answer;
        exportAndWait(dialog);
        QTEST(m_logins, "logins");
        if (!logined) {
            QCOMPARE(m_tips.size(), 1);
            QCOMPARE(m_tips.first().title, QStringLiteral("Login tips"));
            QCOMPARE(m_tips.first().text, QStringLiteral("Sorry! You need to login in order to use cloud disk."));
            QCOMPARE(m_tips.first().buttons, int(KTipsDialog::LoginButton));
            QCOMPARE(exportOutputs(m_folder), QStringList());
        }
        for (const QString &f : cloudFiles)
            QTRY_VERIFY2_WITH_TIMEOUT(QFileInfo::exists(cloud + QStringLiteral("/u7/") + f), qPrintable(f), 10000);
        dialog->close();
        QDir(cloud).removeRecursively();
    }

    void backupChoiceIsRememberedUnderItsOwnKey_data()
    {
        QTest::addColumn<bool>("cloud");
        QTest::addColumn<bool>("logined");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("checked");
        QTest::newRow("first run, logged in") << true << true << QVariant() << true;
        QTest::newRow("first run, not logged in") << true << false << QVariant() << false;
        QTest::newRow("stored off, logged in") << true << true << QVariant(false) << false;
        QTest::newRow("stored on, not logged in") << true << false << QVariant(true) << true;
        QTest::newRow("no cloud, stored on") << false << true << QVariant(true) << false;
        QTest::newRow("no cloud, nothing stored") << false << true << QVariant() << false;
    }
    void backupChoiceIsRememberedUnderItsOwnKey()
    {
        QFETCH(bool, cloud);
        QFETCH(bool, logined);
        QFETCH(QVariant, stored);
        QFETCH(bool, checked);
        setCloud(cloud, QStringLiteral("u7"), logined);
        if (stored.isValid())
            kexportsettings::setCompactBackupToCloud(stored.toBool());
        kexportsettings::setBackupToCloud(!checked);
        openDocument(Writer, 2);
        QPointer<KExportImageDialog> dialog = showDialog();
        QCOMPARE(dialog->backupCheckBox()->isChecked(), checked);
        QCOMPARE(dialog->backupCheckBox()->isHidden(), !cloud);
        if (cloud)
            dialog->backupCheckBox()->setChecked(!checked);
        dialog->close();
        QTRY_VERIFY(dialog.isNull());
        // Without the cloud the stored choice stays as it was.
        QCOMPARE(kexportsettings::hasCompactBackupToCloud(), cloud || stored.isValid());
        QCOMPARE(kexportsettings::compactBackupToCloud(), cloud ? !checked : stored.toBool());
        // The full dialog's own choice is another one.
        QCOMPARE(kexportsettings::backupToCloud(), !checked);
    }

    void watermarkTextGoesIntoTheOptions_data()
    {
        QTest::addColumn<bool>("hostReports");
        QTest::addColumn<QString>("typed"); // "=" keeps the field as it starts
        QTest::addColumn<bool>("on");
        QTest::addColumn<QString>("font");
        QTest::addColumn<bool>("rotate");
        QTest::newRow("nothing typed") << false << "=" << false << "" << false;
        QTest::newRow("typed, no host watermark") << false << "Sample Copy" << true << "Microsoft YaHei" << true;
        QTest::newRow("host watermark kept") << true << "=" << false << "" << false;
        QTest::newRow("host watermark changed") << true << "Original Copy" << true << "Serif" << false;
    }
    void watermarkTextGoesIntoTheOptions()
    {
        QFETCH(bool, hostReports);
        QFETCH(QString, typed);
        QFETCH(bool, on);
        if (hostReports)
            m_hostWatermark = {true, QStringLiteral("Draft"), QStringLiteral("Serif"), KxColor{0xff112233u, 2}, 50.0f,
                               1.0f, 2.0f, 3, false};
        openDocument(Writer, 2);
        QPointer<KExportImageDialog> dialog = showDialog();
        QCOMPARE(dialog->watermarkEdit()->text(), hostReports ? QStringLiteral("Draft") : QString());
        QCOMPARE(dialog->watermarkEdit()->maxLength(), 75);
        if (typed != QLatin1String("=")) {
            dialog->watermarkEdit()->clear();
            QTest::keyClicks(dialog->watermarkEdit(), typed);
        }
        exportAndWait(dialog);
        QCOMPARE(m_tips.last().title, QStringLiteral("Export success"));
        const ExportImageOptions &o = dialog->options();
        QCOMPARE(o.watermarkOn, on);
        QCOMPARE(lastExportEvent(QStringLiteral("begin")).value(QStringLiteral("watermark")),
                 on ? QStringLiteral("custom") : QStringLiteral("none"));
        if (on) {
            QCOMPARE(o.watermarkText, typed);
            QTEST(o.watermarkFont, "font");
            QTEST(o.watermarkRotate, "rotate");
            QCOMPARE(o.watermarkColor.argb, hostReports ? 0xff112233u : 0xffc0c0c0u);
            QCOMPARE(o.watermarkValue1, hostReports ? 50.0f : 100.0f);
        }
        // The watermark is painted: the picture differs from one exported without it.
        const QImage picture(picturePath(QStringLiteral("doc.png")));
        QVERIFY(!picture.isNull());
        if (on) {
            dialog->watermarkEdit()->setText(hostReports ? QStringLiteral("Draft") : QString());
            exportAndWait(dialog);
            QVERIFY(QImage(picturePath(QStringLiteral("doc.png"))) != picture);
        }
        dialog->close();
    }

    // Pictures of the dialog for a person to look at.
    void grabStates()
    {
        setCloud(true, QStringLiteral("u7"), true);
        openDocument(Writer, 4);
        QPointer<KExportImageDialog> dialog = showDialog();
        auto save = [](const char *state, const QImage &picture) {
            QVERIFY(saveStateGrab(QStringLiteral("imagedlg"), state, picture));
        };
        save("idle", dialog->grab().toImage());
        clickTile(dialog, 0);
        dialog->formatCombo()->setCurrentRow(0);
        save("tiles-each-page", dialog->grab().toImage());
        QTest::keyClicks(dialog->watermarkEdit(), QStringLiteral("Confidential"));
        dialog->qualityCombo()->comboBox()->showPopup();
        save("watermark-options", withOverlay(dialog, dialog->grab().toImage(), dialog->qualityCombo()->comboBox()->popup()));
        dialog->qualityCombo()->comboBox()->hidePopup();
        dialog->showExportTips();
        save("exporting", withOverlay(dialog, dialog->grab().toImage(), dialog->loadingTips()));
        dialog->loadingTips()->hide();
        KTipsDialog refusal(dialog, QStringLiteral("Export Image"),
                            QStringLiteral("Can't close because another export task is running"), KTipsDialog::YesButton);
        refusal.show();
        save("refusal", refusal.grab().toImage());
        refusal.close();
        dialog->close();
    }
};

KTAVRO_TEST_MAIN(TestExportImageDialog)
#include "tst_exportimagedialog.moc"
