#include "ktestmain.h"

#include <klitestyle.h>
#include <ktipsdialog.h>

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace {

const int kStuck = -1000; // no button has this code

// Action buttons from left to right.
QList<QPushButton *> actionButtons(const KTipsDialog *dialog)
{
    QList<QPushButton *> buttons = dialog->findChildren<QPushButton *>();
    buttons.removeAll(dialog->findChild<QPushButton *>(QStringLiteral("closeButton")));
    std::sort(buttons.begin(), buttons.end(), [](QPushButton *a, QPushButton *b) { return a->x() < b->x(); });
    return buttons;
}

QStringList texts(const QList<QPushButton *> &buttons)
{
    QStringList list;
    for (QPushButton *button : buttons)
        list << button->text();
    return list;
}

// Runs the blocking call; once the window is up, lets `look` see it, then presses the button with
// the text `press`, the close button ("close") or Escape ("escape"). A window still open a second
// later is ended with kStuck, so a dead button fails the test instead of hanging it.
int showAndPress(int *mask, int *kind, const QString &press, const std::function<void(KTipsDialog *)> &look = nullptr)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [=] {
        QPointer<KTipsDialog> dialog = qobject_cast<KTipsDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll->deleteLater();
        if (look)
            look(dialog);
        QPushButton *close = dialog->findChild<QPushButton *>(QStringLiteral("closeButton"));
        const QList<QPushButton *> buttons = actionButtons(dialog) << close;
        for (QPushButton *button : buttons)
            if (button->text() == press || (button == close && press == QLatin1String("close")))
                QTest::mouseClick(button, Qt::LeftButton);
        if (press == QLatin1String("escape"))
            QTest::keyClick(dialog, Qt::Key_Escape);
        QTimer::singleShot(1000, [dialog] {
            if (dialog && dialog->isVisible())
                dialog->done(kStuck);
        });
    });
    poll->start(10);
    return KTipsDialog::showTips(nullptr, QStringLiteral("Title"), QStringLiteral("Text"), mask, kind);
}

bool showsPicture(const KTipsDialog *dialog, const QString &name)
{
    const QPixmap shown = dialog->findChild<QLabel *>(QStringLiteral("iconLabel"))->pixmap(Qt::ReturnByValue);
    const QImage expected(QStringLiteral(":/kexportpic/tips/") + name);
    // Compared premultiplied, as a pixmap holds it: unpremultiplying back rounds
    // differently on different processors.
    const auto premultiplied = QImage::Format_ARGB32_Premultiplied;
    return !expected.isNull() && shown.toImage().convertToFormat(premultiplied) == expected.convertToFormat(premultiplied);
}

} // namespace

class TestKTipsDialog : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { KLiteStyle::setScaleFactor(1.0); }

    void eachWayOutEndsWithItsCode_data()
    {
        QTest::addColumn<int>("mask"); // -1: neither mask nor kind given
        QTest::addColumn<QString>("press");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QStringList>("shown");
        const int open = KTipsDialog::OpenButton | KTipsDialog::OpenPathButton;
        const QStringList opens{"Open(&O)", "Open Path(&F)"};
        QTest::newRow("open") << open << "Open(&O)" << 4 << opens;
        QTest::newRow("open path") << open << "Open Path(&F)" << 5 << opens;
        QTest::newRow("close button") << open << "close" << 3 << opens;
        QTest::newRow("escape") << open << "escape" << 3 << opens;
        QTest::newRow("yes") << int(KTipsDialog::YesButton | KTipsDialog::NoButton) << "Yes(&Y)" << 0 << QStringList{"Yes(&Y)", "No(&N)"};
        QTest::newRow("cancel output") << 0xc0 << "Cancel Output" << 10 << QStringList{"Continue Output", "Cancel Output"};
        QTest::newRow("null pointers: Ok and plain tip") << -1 << "Ok(&O)" << -1 << QStringList{"Ok(&O)"};
    }

    void eachWayOutEndsWithItsCode()
    {
        QFETCH(int, mask);
        QFETCH(QString, press);
        QFETCH(int, expected);
        QFETCH(QStringList, shown);
        int kind = KTipsDialog::CompleteIcon;
        const bool none = mask < 0;
        QStringList seen;
        bool picture = false;
        const auto look = [&](KTipsDialog *dialog) {
            seen = texts(actionButtons(dialog));
            picture = showsPicture(dialog, none ? QStringLiteral("tips.png") : QStringLiteral("complete.png"));
        };
        QCOMPARE(showAndPress(none ? nullptr : &mask, none ? nullptr : &kind, press, look), expected);
        QCOMPARE(seen, shown);
        QVERIFY(picture);
    }

    void buttonsFollowFixedOrderAndOnlyTheMask()
    {
        KTipsDialog all(nullptr, QStringLiteral("Title"), QStringLiteral("Text"), 0xff, KTipsDialog::TipsIcon, 480);
        all.show();
        const QList<QPushButton *> buttons = actionButtons(&all);
        QCOMPARE(texts(buttons), QStringList({"Yes(&Y)", "Ok(&O)", "No(&N)", "Open(&O)", "Open Path(&F)", "Login",
                                              "Continue Output", "Cancel Output"}));
        for (int i = 0; i < buttons.size(); ++i) {
            QCOMPARE(buttons[i]->size(), QSize(buttons[i]->text() == "Open Path(&F)" ? 124 : 96, 32));
            QVERIFY(i == 0 || buttons[i - 1]->geometry().right() < buttons[i]->x());
        }
        QVERIFY(buttons.last()->geometry().right() < all.width() - 10);

        const int mask = KTipsDialog::CancelOutputButton | KTipsDialog::YesButton | KTipsDialog::OpenPathButton | 0x100;
        KTipsDialog some(nullptr, QStringLiteral("Title"), QStringLiteral("Text"), mask);
        some.show();
        QCOMPARE(texts(actionButtons(&some)), QStringList({"Yes(&Y)", "Open Path(&F)", "Cancel Output"}));
    }

    void sizeFollowsExtraWidthAndScale()
    {
        const QString t = QStringLiteral("Title");
        QCOMPARE(KTipsDialog(nullptr, t, t).size(), QSize(456, 210));
        QCOMPARE(KTipsDialog(nullptr, t, t, KTipsDialog::OkButton, KTipsDialog::TipsIcon, 32).size(), QSize(488, 210));
        // A negative extra width would squeeze the buttons together; the base size is the floor.
        QCOMPARE(KTipsDialog(nullptr, t, t, KTipsDialog::OkButton, KTipsDialog::TipsIcon, -100).size(), QSize(456, 210));

        KLiteStyle::setScaleFactor(1.5);
        KTipsDialog scaled(nullptr, t, t, KTipsDialog::OpenPathButton, KTipsDialog::TipsIcon, 32);
        QCOMPARE(scaled.size(), QSize(732, 315));
        QCOMPARE(actionButtons(&scaled).value(0)->size(), QSize(186, 48));
        QCOMPARE(scaled.findChild<QPushButton *>(QStringLiteral("closeButton"))->size(), QSize(24, 24));
    }

    void linksOfTheTextAreForwarded()
    {
        KTipsDialog dialog(nullptr, QStringLiteral("Login tips"), QStringLiteral("Please <a href=\"login\">log in</a>."));
        QSignalSpy spy(&dialog, &KTipsDialog::linkActivated);
        emit dialog.findChild<QLabel *>(QStringLiteral("textLabel"))->linkActivated(QStringLiteral("login"));
        QCOMPARE(spy.value(0).value(0).toString(), QStringLiteral("login"));
    }

    // Leaves pictures for a person to check; fails when text would be cut off or a picture is missing.
    void picturesShowWholeText_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("mask");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("ktipsdialog") << int(KTipsDialog::TipsIcon) << 0xc0 << "Export Limit"
                                     << "Picture length and width product exceeds 10000*10000, continue output may "
                                        "cause picture output incomplete; can be output by the following method:";
        QTest::newRow("ktipsdialog-complete") << int(KTipsDialog::CompleteIcon) << 0xc << "Export success"
                                              << "image outputed, open file or open output path to view!";
    }

    void picturesShowWholeText()
    {
        QFETCH(int, kind);
        QFETCH(int, mask);
        QFETCH(QString, title);
        QFETCH(QString, text);
        KTipsDialog dialog(nullptr, title, text, mask, kind);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(dialog.grab().save(ktest::artifactPath(QTest::currentDataTag() + QStringLiteral(".png"))));

        QVERIFY(showsPicture(&dialog, kind == KTipsDialog::CompleteIcon ? "complete.png" : "tips.png"));
        auto *body = dialog.findChild<QLabel *>(QStringLiteral("textLabel"));
        QVERIFY(body->heightForWidth(body->width()) <= body->height());
        for (QPushButton *button : actionButtons(&dialog))
            QVERIFY(button->fontMetrics().horizontalAdvance(button->text().remove('&')) < button->width());
    }
};

KTAVRO_TEST_MAIN(TestKTipsDialog)
#include "tst_ktipsdialog.moc"
