#include "ktestexportdlg.h"

#include <kapptranslators.h>
#include <kdocumentloader.h>
#include <kexportpicturedlg.h>
#include <kexporttypeitem.h>
#include <kmarginsoptiondlg.h>
#include <khostconfig.h>
#include <ktavrotranslation.h>
#include <ktipsdialog.h>
#include <kwatermarkoptiondlg.h>
#include <kxapplication.h>
#include <kxmainwindow.h>

#include <QAbstractButton>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

namespace {

// The host's language comes from these; every case starts with all three unset.
void setLanguageSources(const QString &hostValue, const QByteArray &language, const QByteArray &lang)
{
    KHostConfig::reload();
    if (!hostValue.isNull())
        KHostConfig::setValue(QStringLiteral("language"), hostValue);
    auto set = [](const char *name, const QByteArray &value) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    };
    set("LANGUAGE", language);
    set("LANG", lang);
}

QString plain(QString text)
{
    return text.remove(QLatin1Char('&'));
}

// Texts that do not fit the widget that shows them, as "class 'text' needs N of M px".
QStringList clippedTexts(QWidget *root)
{
    QStringList clipped;
    auto check = [&clipped](QWidget *w, const QString &text, int room) {
        const int needed = w->fontMetrics().horizontalAdvance(plain(text));
        if (!text.isEmpty() && needed > room)
            clipped << QStringLiteral("%1 '%2' needs %3 of %4 px")
                           .arg(QLatin1String(w->metaObject()->className()), text)
                           .arg(needed)
                           .arg(room);
    };
    for (QLabel *label : root->findChildren<QLabel *>()) {
        if (label->isVisible() && !label->wordWrap() && !label->text().contains(QLatin1Char('<')))
            check(label, label->text(), label->contentsRect().width() - 2 * label->margin());
    }
    for (QAbstractButton *button : root->findChildren<QAbstractButton *>()) {
        if (button->isVisible())
            check(button, button->text(), button->width());
    }
    return clipped;
}

} // namespace

class TestTranslations : public QObject, ktest::ExportDialogFixture
{
    Q_OBJECT

private slots:
    void init()
    {
        resetFixture();
        setLanguageSources(QString(), QByteArray(), QByteArray());
    }

    void cleanup()
    {
        closeDocument();
        setLanguageSources(QString(), QByteArray(), QByteArray());
    }

    void hostLanguage_data()
    {
        QTest::addColumn<QString>("hostValue");
        QTest::addColumn<QByteArray>("language");
        QTest::addColumn<QByteArray>("lang");
        QTest::addColumn<QString>("expected");

        QTest::newRow("nothing set") << QString() << QByteArray() << QByteArray() << QStringLiteral("en");
        QTest::newRow("LANG with encoding") << QString() << QByteArray() << QByteArray("zh_CN.UTF-8") << QStringLiteral("zh_CN");
        QTest::newRow("LANG with modifier") << QString() << QByteArray() << QByteArray("zh_CN.GB18030@stroke")
                                            << QStringLiteral("zh_CN");
        QTest::newRow("C locale") << QString() << QByteArray() << QByteArray("C.UTF-8") << QStringLiteral("en");
        QTest::newRow("LANGUAGE list wins over LANG") << QString() << QByteArray("zh_CN:en") << QByteArray("en_GB.UTF-8")
                                                      << QStringLiteral("zh_CN");
        QTest::newRow("host value wins") << QStringLiteral("zh_CN") << QByteArray("en") << QByteArray("en_US.UTF-8")
                                         << QStringLiteral("zh_CN");
        QTest::newRow("host value English over Chinese LANG")
            << QStringLiteral("en") << QByteArray() << QByteArray("zh_CN.UTF-8") << QStringLiteral("en");
    }

    void hostLanguage()
    {
        QFETCH(QString, hostValue);
        QFETCH(QByteArray, language);
        QFETCH(QByteArray, lang);
        QFETCH(QString, expected);
        setLanguageSources(hostValue, language, lang);
        QCOMPARE(krt::KAppTranslators::language(), expected);
    }

    // The add-on's texts follow the host's language while an entry holds the translation.
    void addonTextsFollowTheLanguage_data()
    {
        QTest::addColumn<QByteArray>("lang");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("okButton");
        QTest::addColumn<QString>("longPicture");
        QTest::addColumn<QString>("busy");

        QTest::newRow("English") << QByteArray("en_US.UTF-8") << false << QStringLiteral("Ok(&O)")
                                 << QStringLiteral("Long pictrue")
                                 << QStringLiteral("Another export task is running,please wait and try again");
        QTest::newRow("Chinese") << QByteArray("zh_CN.UTF-8") << true << QStringLiteral("确定(&O)")
                                 << QStringLiteral("输出为长图") << QStringLiteral("另一个导出任务正在进行，请稍后再试");
    }

    void addonTextsFollowTheLanguage()
    {
        QFETCH(QByteArray, lang);
        QFETCH(bool, installed);
        QFETCH(QString, okButton);
        QFETCH(QString, longPicture);
        QFETCH(QString, busy);
        setLanguageSources(QString(), QByteArray(), lang);
        {
            const KTavroTranslation translation;
            QCOMPARE(translation.isInstalled(), installed);
            KTipsDialog tips(nullptr, QStringLiteral("t"), QStringLiteral("m"), KTipsDialog::OkButton);
            QStringList texts;
            for (const QPushButton *button : tips.findChildren<QPushButton *>())
                texts << button->text();
            QVERIFY2(texts.contains(okButton), qPrintable(texts.join(QLatin1Char('|'))));
            QCOMPARE(KExportTypeItem(KExportTypeItem::LongPicture).text(), longPicture);
            QCOMPARE(QCoreApplication::translate("KExportImageMgr",
                                                 "Another export task is running,please wait and try again"),
                     busy);
        }
        // Gone with the last holder.
        QCOMPARE(KExportTypeItem(KExportTypeItem::LongPicture).text(), QStringLiteral("Long pictrue"));
    }

    // An entry object and a command may hold the translation at once: the first to go must not
    // take it from the other.
    void translationStaysWhileAnyHolderLives()
    {
        setLanguageSources(QString(), QByteArray("zh_CN"), QByteArray());
        krt::KAppTranslators *registry = KCoreApplication::translator();
        QVERIFY(registry);
        auto first = std::make_unique<KTavroTranslation>();
        auto second = std::make_unique<KTavroTranslation>();
        QVERIFY(first->isInstalled());
        QVERIFY(second->isInstalled());
        QCOMPARE(KExportTypeItem(KExportTypeItem::EachPage).text(), QStringLiteral("逐页输出"));
        first.reset();
        QCOMPARE(KExportTypeItem(KExportTypeItem::EachPage).text(), QStringLiteral("逐页输出"));
        QCOMPARE(registry->installedFolders().size(), 1);
        second.reset();
        QCOMPARE(KExportTypeItem(KExportTypeItem::EachPage).text(), QStringLiteral("Each Page"));
        QVERIFY(registry->installedFolders().isEmpty());
        // Uninstalling what is not installed changes nothing.
        registry->uninstallTranslation(KTavroTranslation::muiFolder());
        QVERIFY(registry->installedFolders().isEmpty());
    }

    // The export picture dialog in Chinese: its caption, its texts whole, and pictures of it
    // for a person to look at.
    void exportDialogInChinese()
    {
        setLanguageSources(QString(), QByteArray(), QByteArray("zh_CN.UTF-8"));
        const KTavroTranslation translation;
        QVERIFY(translation.isInstalled());
        openDocument(ktest::Writer, 4);
        QPointer<KExportPictureDlg> dialog =
            new KExportPictureDlg(nullptr, QStringLiteral("test_export"), QString(), -1);
        dialog->setHostWindow(m_window.get());
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("导出为图片"));
        QTest::qWait(1200);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->client()->isPreviewRunning(), 60000);
        const QStringList clipped = clippedTexts(dialog);
        QVERIFY(ktest::saveStateGrab(QStringLiteral("exportdlg"), "zh_CN", dialog->grab().toImage()));
        KTipsDialog finished(dialog, QCoreApplication::translate("KExportPictureClientWidget", "Export success"),
                             QCoreApplication::translate("KExportPictureClientWidget",
                                                         "image outputed, open file or open output path to view!"),
                             KTipsDialog::OpenButton | KTipsDialog::OpenPathButton, KTipsDialog::CompleteIcon);
        finished.show();
        QVERIFY(QTest::qWaitForWindowExposed(&finished));
        QVERIFY(ktest::saveStateGrab(QStringLiteral("tips"), "zh_CN", finished.grab().toImage()));
        const QStringList clippedTips = clippedTexts(&finished);
        finished.close();
        dialog->close();
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1Char('\n'))));
        QVERIFY2(clippedTips.isEmpty(), qPrintable(clippedTips.join(QLatin1Char('\n'))));
    }

    // The option dialogs the export dialog opens, in Chinese: captions and texts whole.
    void optionDialogsInChinese_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("title");
        QTest::newRow("watermark") << 0 << QStringLiteral("自定义水印");
        QTest::newRow("margins") << 1 << QStringLiteral("页边距设置");
    }

    void optionDialogsInChinese()
    {
        QFETCH(int, kind);
        QFETCH(QString, title);
        setLanguageSources(QString(), QByteArray(), QByteArray("zh_CN.UTF-8"));
        const KTavroTranslation translation;
        QVERIFY(translation.isInstalled());
        QImage page(400, 560, QImage::Format_RGB32);
        page.fill(Qt::white);
        std::unique_ptr<QWidget> dialog;
        if (kind == 0)
            dialog.reset(new KWatermarkOptionDlg(nullptr, page));
        else
            dialog.reset(new KMarginsOptionDlg(nullptr, true));
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QCOMPARE(dialog->windowTitle(), title);
        QVERIFY(ktest::saveStateGrab(QStringLiteral("options-") + QLatin1String(QTest::currentDataTag()), "zh_CN",
                                     dialog->grab().toImage()));
        const QStringList clipped = clippedTexts(dialog.get());
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1Char('\n'))));
    }
};

KTAVRO_TEST_MAIN(TestTranslations)
#include "tst_translations.moc"
