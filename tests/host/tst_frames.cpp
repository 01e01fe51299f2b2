#include "ktestdocuments.h"
#include "ktestmain.h"

#include <kdrawhelper.h>
#include <kframeaction.h>
#include <kframeshadow.h>
#include <kframetitlebar.h>
#include <kframewindow.h>
#include <kliteiconbutton.h>
#include <klitemenu.h>
#include <klitestyle.h>
#include <kthemeloader.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

Q_DECLARE_METATYPE(QMargins)

namespace {

using Kinds = QList<int>;

// Sends a mouse event with an explicit global position, so drags stay exact while the
// window under the pointer moves.
void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &pos, const QPoint &global,
               Qt::MouseButtons buttons = Qt::LeftButton)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : buttons;
    QMouseEvent event(type, pos, global, button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void click(QWidget *widget, const QPoint &pos)
{
    const QPoint global = widget->mapToGlobal(pos);
    sendMouse(widget, QEvent::MouseMove, pos, global, Qt::NoButton);
    sendMouse(widget, QEvent::MouseButtonPress, pos, global);
    sendMouse(widget, QEvent::MouseButtonRelease, pos, global);
}

// Presses at `at`, moves by `delta` and releases there.
void drag(QWidget *widget, const QPoint &at, const QPoint &delta)
{
    const QPoint global = widget->mapToGlobal(at);
    sendMouse(widget, QEvent::MouseButtonPress, at, global);
    sendMouse(widget, QEvent::MouseMove, at + delta, global + delta);
    sendMouse(widget, QEvent::MouseButtonRelease, at + delta, global + delta);
}

std::unique_ptr<KFrameWindow> shownWindow(int flags = KFrame::DefaultButtons)
{
    auto window = std::make_unique<KFrameWindow>();
    window->setWindowTitle(QStringLiteral("Export to Picture"));
    window->setTitleBarFlags(flags);
    window->setGeometry(100, 100, 480, 320);
    window->show();
    return window;
}

QPoint centreOf(KFrameTitleBar *bar, int kind)
{
    return bar->action(kind)->geometry().center();
}

// An empty spot of the title bar, away from the title and the actions.
QPoint emptySpot(KFrameTitleBar *bar)
{
    return QPoint(bar->width() / 2, bar->height() / 2);
}

} // namespace

class TestFrames : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    std::shared_ptr<KThemeLoader> loadTheme(const QByteArray &xml)
    {
        const QString path = m_dir.filePath(QStringLiteral("test.kuip"));
        auto theme = std::make_shared<KThemeLoader>();
        return ktest::writeText(path, xml) && theme->setupXml(path) ? theme : nullptr;
    }

private slots:
    void init() { KLiteStyle::setScaleFactor(1.0); }

    void titleBarShowsActionsPerFlags_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<Kinds>("shown");
        QTest::addColumn<QString>("themeClass");
        QTest::newRow("defaults") << int(KFrame::DefaultButtons)
                                  << Kinds{KFrame::MinimizeButton, KFrame::MaximizeButton, KFrame::CloseButton}
                                  << QString();
        QTest::newRow("close only") << int(KFrame::CloseButton) << Kinds{KFrame::CloseButton} << QString();
        QTest::newRow("none") << 0 << Kinds{} << QString();
        QTest::newRow("every kind, own theme class")
            << int(KFrame::CloseButton | KFrame::MaximizeButton | KFrame::MinimizeButton | KFrame::MenuButton
                   | KFrame::AvatarButton | KFrame::PhoneButton)
            << Kinds{KFrame::AvatarButton, KFrame::PhoneButton, KFrame::MenuButton, KFrame::MinimizeButton,
                     KFrame::MaximizeButton, KFrame::CloseButton}
            << QStringLiteral("KTavroTitleBar");
    }

    void titleBarShowsActionsPerFlags()
    {
        QFETCH(int, flags);
        QFETCH(Kinds, shown);
        QFETCH(QString, themeClass);
        auto window = shownWindow(flags);
        KFrameTitleBar *bar = window->titleBar();
        if (!themeClass.isEmpty())
            bar->setProperty(KDrawHelper::ObjectThemeClassName, themeClass);
        const QString prefix = themeClass.isEmpty() ? QStringLiteral("KFrameTitleBar") : themeClass;
        Kinds kinds;
        int lastRight = -1;
        for (KFrameAction *action : bar->visibleActions()) {
            kinds << action->kind();
            QCOMPARE(action->objectName(), prefix + KFrameTitleBar::actionSuffix(action->kind()));
            QVERIFY2(action->geometry().left() >= lastRight, "actions overlap or are out of order");
            QVERIFY(bar->rect().contains(action->geometry()));
            lastRight = action->geometry().right();
        }
        QCOMPARE(kinds, shown);
        if (!shown.isEmpty())
            QCOMPARE(lastRight, bar->width() - 1);
        QCOMPARE(window->titleBarFlags(), flags);
    }

    void clickingAnActionActs_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("signal");
        QTest::addColumn<bool>("visibleAfter");
        QTest::addColumn<Qt::WindowState>("stateAfter");
        QTest::addColumn<QString>("maximizeIconAfter");
        QTest::newRow("close") << int(KFrame::CloseButton) << QByteArray(SIGNAL(closeButtonClicked())) << false
                               << Qt::WindowNoState << QStringLiteral("frame_title_maximize");
        QTest::newRow("maximize") << int(KFrame::MaximizeButton) << QByteArray(SIGNAL(maximizeButtonClicked()))
                                  << true << Qt::WindowMaximized << QStringLiteral("frame_title_restore");
        QTest::newRow("minimize") << int(KFrame::MinimizeButton) << QByteArray(SIGNAL(minimizeButtonClicked()))
                                  << true << Qt::WindowMinimized << QStringLiteral("frame_title_maximize");
    }

    void clickingAnActionActs()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, signal);
        QFETCH(bool, visibleAfter);
        QFETCH(Qt::WindowState, stateAfter);
        QFETCH(QString, maximizeIconAfter);
        auto window = shownWindow();
        KFrameTitleBar *bar = window->titleBar();
        QSignalSpy specific(bar, signal.constData());
        QSignalSpy triggered(bar, &KFrameTitleBar::actionTriggered);
        QSignalSpy actionTriggered(bar->action(kind), &QAction::triggered);
        click(bar, centreOf(bar, kind));
        QCOMPARE(specific.count(), 1);
        QCOMPARE(triggered.count(), 1);
        QCOMPARE(triggered.first().first().value<KFrameAction *>(), bar->action(kind));
        QCOMPARE(actionTriggered.count(), 1);
        QCOMPARE(window->isVisible(), visibleAfter);
        QCOMPARE(window->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized), Qt::WindowStates(stateAfter));
        QCOMPARE(bar->action(KFrame::MaximizeButton)->currentIconName(), maximizeIconAfter);
    }

    void clicksThatMustNotAct_data()
    {
        QTest::addColumn<bool>("disabled");
        QTest::addColumn<QPoint>("releaseShift");
        QTest::newRow("disabled action") << true << QPoint();
        QTest::newRow("released off the action") << false << QPoint(-200, 0);
    }

    void clicksThatMustNotAct()
    {
        QFETCH(bool, disabled);
        QFETCH(QPoint, releaseShift);
        auto window = shownWindow();
        KFrameTitleBar *bar = window->titleBar();
        KFrameAction *close = bar->action(KFrame::CloseButton);
        close->setEnabled(!disabled);
        QSignalSpy closed(bar, &KFrameTitleBar::closeButtonClicked);
        drag(bar, close->geometry().center(), releaseShift);
        QCOMPARE(closed.count(), 0);
        QVERIFY(window->isVisible());
        QVERIFY(!(close->state() & QStyle::State_Sunken));
    }

    void menuButtonOpensTheMenu()
    {
        auto window = shownWindow(KFrame::CloseButton | KFrame::MenuButton);
        KFrameTitleBar *bar = window->titleBar();
        KLiteMenu menu;
        menu.addThemeAction(QStringLiteral("plugin_title_feedback"), QStringLiteral("Feedback"));
        bar->setMenu(&menu);
        click(bar, centreOf(bar, KFrame::MenuButton));
        QVERIFY(menu.isVisible());
        const QPoint below = bar->mapToGlobal(bar->action(KFrame::MenuButton)->geometry().bottomLeft());
        QVERIFY(qAbs(menu.pos().y() - below.y()) <= 2);
        menu.hide();
    }

    void actionStateChoosesIcon_data()
    {
        QTest::addColumn<QString>("iconSet");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("icon");
        const QString full = QStringLiteral("n;h;p;d;c");
        const int on = QStyle::State_Enabled;
        QTest::newRow("normal") << full << on << QStringLiteral("n");
        QTest::newRow("hover") << full << int(on | QStyle::State_MouseOver) << QStringLiteral("h");
        QTest::newRow("pressed beats hover") << full << int(on | QStyle::State_MouseOver | QStyle::State_Sunken)
                                             << QStringLiteral("p");
        QTest::newRow("disabled beats all") << full << int(QStyle::State_MouseOver | QStyle::State_On) << QStringLiteral("d");
        QTest::newRow("checked") << full << int(on | QStyle::State_On) << QStringLiteral("c");
        QTest::newRow("hover beats checked") << full << int(on | QStyle::State_On | QStyle::State_MouseOver) << QStringLiteral("h");
        QTest::newRow("single name for all") << QStringLiteral("only") << int(on | QStyle::State_Sunken) << QStringLiteral("only");
        QTest::newRow("empty hover entry") << QStringLiteral("n;;p") << int(on | QStyle::State_MouseOver) << QStringLiteral("n");
        QTest::newRow("no disabled entry") << QStringLiteral("n;h;p") << 0 << QStringLiteral("n");
    }

    void actionStateChoosesIcon()
    {
        QFETCH(QString, iconSet);
        QFETCH(int, state);
        QFETCH(QString, icon);
        QCOMPARE(KDrawHelper::iconNameForState(iconSet, QStyle::State(state)), icon);
    }

    void pointerChangesActionState()
    {
        auto window = shownWindow();
        KFrameTitleBar *bar = window->titleBar();
        KFrameAction *close = bar->action(KFrame::CloseButton);
        QSignalSpy changes(close, &KFrameAction::stateChanged);
        QSignalSpy hovered(bar, &KFrameTitleBar::actionHovered);
        const QPoint at = close->geometry().center();
        sendMouse(bar, QEvent::MouseMove, at, bar->mapToGlobal(at), Qt::NoButton);
        QCOMPARE(close->currentIconName(), QStringLiteral("frame_title_close_hover"));
        QCOMPARE(hovered.count(), 1);
        sendMouse(bar, QEvent::MouseButtonPress, at, bar->mapToGlobal(at));
        QCOMPARE(close->currentIconName(), QStringLiteral("frame_title_close_click"));
        QCOMPARE(changes.count(), 2);
        const auto last = changes.last();
        QVERIFY(last.at(0).value<QStyle::State>() & QStyle::State_Sunken);
        QVERIFY(!(last.at(1).value<QStyle::State>() & QStyle::State_Sunken));
        sendMouse(bar, QEvent::MouseButtonRelease, emptySpot(bar), bar->mapToGlobal(emptySpot(bar)));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(bar, &leave);
        QCOMPARE(close->currentIconName(), QStringLiteral("frame_title_close"));
        close->setEnabled(false);
        QVERIFY(!(changes.last().at(0).value<QStyle::State>() & QStyle::State_Enabled));
    }

    void draggingTheBarMovesTheWindow_data()
    {
        QTest::addColumn<bool>("maximized");
        QTest::addColumn<bool>("onAction");
        QTest::addColumn<bool>("dragEnabled");
        QTest::addColumn<QPoint>("moved");
        QTest::newRow("normal window") << false << false << true << QPoint(40, 25);
        QTest::newRow("maximized window stays") << true << false << true << QPoint();
        QTest::newRow("press on an action") << false << true << true << QPoint();
        QTest::newRow("dragging switched off") << false << false << false << QPoint();
    }

    void draggingTheBarMovesTheWindow()
    {
        QFETCH(bool, maximized);
        QFETCH(bool, onAction);
        QFETCH(bool, dragEnabled);
        QFETCH(QPoint, moved);
        auto window = shownWindow();
        if (maximized)
            window->showMaximized();
        KFrameTitleBar *bar = window->titleBar();
        bar->setDragEnabled(dragEnabled);
        const QPoint start = window->pos();
        const QPoint at = onAction ? centreOf(bar, KFrame::MinimizeButton) : emptySpot(bar);
        const QPoint global = bar->mapToGlobal(at);
        sendMouse(bar, QEvent::MouseButtonPress, at, global);
        sendMouse(bar, QEvent::MouseMove, at + QPoint(20, 10), global + QPoint(20, 10));
        sendMouse(bar, QEvent::MouseMove, at + QPoint(40, 25), global + QPoint(40, 25));
        sendMouse(bar, QEvent::MouseButtonRelease, at + QPoint(40, 25), global + QPoint(40, 25));
        QCOMPARE(window->pos() - start, moved);
        QCOMPARE(window->isMaximized(), maximized);
    }

    void doubleClickMaximizesWhenAllowed_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<bool>("fixedSize");
        QTest::addColumn<bool>("maximized");
        QTest::newRow("with maximize action") << int(KFrame::DefaultButtons) << false << true;
        QTest::newRow("without maximize action") << int(KFrame::CloseButton) << false << false;
        QTest::newRow("fixed size") << int(KFrame::DefaultButtons) << true << false;
    }

    void doubleClickMaximizesWhenAllowed()
    {
        QFETCH(int, flags);
        QFETCH(bool, fixedSize);
        QFETCH(bool, maximized);
        auto window = shownWindow(flags);
        if (fixedSize)
            window->setFixedSize(window->size());
        KFrameTitleBar *bar = window->titleBar();
        QTest::mouseDClick(bar, Qt::LeftButton, Qt::NoModifier, emptySpot(bar));
        QCOMPARE(window->isMaximized(), maximized);
        QCOMPARE(window->frameMargins().isNull(), maximized);
    }

    void edgesResizeOnlyWithTheSwitchOn_data()
    {
        QTest::addColumn<bool>("resizable");
        QTest::addColumn<int>("edge");
        QTest::addColumn<QRect>("change"); // left, top, width, height deltas
        QTest::newRow("right edge") << true << int(Qt::RightEdge) << QRect(0, 0, 30, 0);
        QTest::newRow("bottom right corner") << true << int(Qt::RightEdge | Qt::BottomEdge) << QRect(0, 0, 30, 20);
        QTest::newRow("left edge keeps the right") << true << int(Qt::LeftEdge) << QRect(30, 0, -30, 0);
        QTest::newRow("switch off") << false << int(Qt::RightEdge | Qt::BottomEdge) << QRect(0, 0, 0, 0);
        QTest::newRow("inside the content") << true << 0 << QRect(0, 0, 0, 0);
    }

    void edgesResizeOnlyWithTheSwitchOn()
    {
        QFETCH(bool, resizable);
        QFETCH(int, edge);
        QFETCH(QRect, change);
        auto window = shownWindow();
        window->setResizable(resizable);
        const QRect content = window->contentRect();
        const QRect before = window->geometry();
        QPoint at = content.center();
        if (edge & Qt::RightEdge)
            at.setX(content.right() + 2);
        if (edge & Qt::LeftEdge)
            at.setX(content.left() - 2);
        if (edge & Qt::BottomEdge)
            at.setY(content.bottom() + 2);
        QCOMPARE(int(window->resizeEdgesAt(at)), resizable ? edge : 0);
        if (!edge) { // near the edge, yet inside; and the shadow's corner
            QCOMPARE(int(window->resizeEdgesAt(QPoint(content.right() - 10, content.center().y()))), 0);
            QCOMPARE(int(window->resizeEdgesAt(QPoint(0, 0))), 0);
        }
        drag(window.get(), at, QPoint(30, 20));
        const QRect after = window->geometry();
        QCOMPARE(QRect(after.x() - before.x(), after.y() - before.y(), after.width() - before.width(),
                       after.height() - before.height()),
                 change);
    }

    void resizedGeometryKeepsLimits_data()
    {
        QTest::addColumn<int>("edges");
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<QRect>("expected");
        // From (100, 100) 400 x 300, minimum 200 x 150, maximum 600 x 500.
        QTest::newRow("grow right") << int(Qt::RightEdge) << QPoint(50, 9) << QRect(100, 100, 450, 300);
        QTest::newRow("shrink left past minimum") << int(Qt::LeftEdge) << QPoint(350, 0) << QRect(300, 100, 200, 300);
        QTest::newRow("grow top past maximum") << int(Qt::TopEdge) << QPoint(0, -400) << QRect(100, -100, 400, 500);
        QTest::newRow("corner") << int(Qt::LeftEdge | Qt::BottomEdge) << QPoint(-20, 20) << QRect(80, 100, 420, 320);
        QTest::newRow("no edge") << 0 << QPoint(50, 50) << QRect(100, 100, 400, 300);
    }

    void resizedGeometryKeepsLimits()
    {
        QFETCH(int, edges);
        QFETCH(QPoint, delta);
        QFETCH(QRect, expected);
        QCOMPARE(kResizedGeometry(QRect(100, 100, 400, 300), Qt::Edges(edges), delta, QSize(200, 150), QSize(600, 500)),
                 expected);
    }

    void themeLookupByNameAndState_data()
    {
        QTest::addColumn<QStringList>("classes");
        QTest::addColumn<QString>("attribute");
        QTest::addColumn<int>("state");
        QTest::addColumn<QColor>("expected");
        const int on = QStyle::State_Enabled;
        const int hover = on | QStyle::State_MouseOver;
        const QStringList closeChain{"KTavroTitleBar-Close", "KFrameAction-Close", "KFrameAction"};
        QTest::newRow("own colour") << closeChain << QStringLiteral("background") << on << QColor("#112233");
        QTest::newRow("own state colour") << closeChain << QStringLiteral("background") << int(on | QStyle::State_Sunken)
                                          << QColor("#445566");
        QTest::newRow("generic hover before own plain") << closeChain << QStringLiteral("background") << hover << QColor("#e81123");
        QTest::newRow("sub-theme overrides built-in") << QStringList{"KFrameTitleBar"} << QStringLiteral("background") << on
                                                      << QColor("#010203");
        QTest::newRow("built-in answers the rest") << QStringList{"KFrameTitleBar"} << QStringLiteral("text") << on
                                                   << QColor("#1f2329");
        QTest::newRow("unknown class falls back") << QStringList{"NoSuchClass"} << QStringLiteral("background") << on
                                                  << QColor(Qt::magenta);
        QTest::newRow("unknown attribute falls back") << closeChain << QStringLiteral("no-such") << hover << QColor(Qt::magenta);
    }

    void themeLookupByNameAndState()
    {
        QFETCH(QStringList, classes);
        QFETCH(QString, attribute);
        QFETCH(int, state);
        QFETCH(QColor, expected);
        auto theme = loadTheme("<theme name='t'>"
"<class name='KTavroTitleBar-Close'>"
"<color name='background' value='#112233'/>"
"<color name='background:pressed' value='#445566'/>"
"</class>"
"<class name='KFrameTitleBar'><color name='background' value='#010203'/></class>"
"</theme>");
        QVERIFY(theme);
        KDrawHelper *draw = KDrawHelper::instance();
        draw->addSubTheme(theme);
        const QColor found = draw->getColor(classes, attribute, QStyle::State(state), Qt::magenta);
        draw->removeSubTheme(theme);
        QCOMPARE(found, expected);
    }

    void themeIconsByName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QColor>("ink");
        QTest::newRow("built-in") << QStringLiteral("frame_title_close") << true << QColor("#4a4f57");
        QTest::newRow("built-in hover variant") << QStringLiteral("frame_title_close_hover") << true << QColor(Qt::white);
        QTest::newRow("theme file, relative path, tinted") << QStringLiteral("test_glyph") << true << QColor("#00ff00");
        QTest::newRow("theme replaces built-in") << QStringLiteral("frame_title_menu") << true << QColor("#00ff00");
        QTest::newRow("unknown") << QStringLiteral("no_such_icon") << false << QColor();
    }

    void themeIconsByName()
    {
        QFETCH(QString, name);
        QFETCH(bool, found);
        QFETCH(QColor, ink);
        QVERIFY(ktest::writeText(m_dir.filePath(QStringLiteral("square.svg")),
                                 "<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16'><rect width='16' height='16' fill='#000'/></svg>"));
        auto theme = loadTheme("<theme name='t'>"
"<icon name='test_glyph' value='square.svg' color='#00ff00'/>"
"<icon name='frame_title_menu' value='square.svg' color='#00ff00'/>"
"</theme>");
        QVERIFY(theme);
        KDrawHelper *draw = KDrawHelper::instance();
        draw->addSubTheme(theme);
        const QIcon icon = draw->getIcon(name);
        const bool has = draw->hasIcon(name);
        draw->removeSubTheme(theme);
        QCOMPARE(has, found);
        QCOMPARE(icon.isNull(), !found);
        if (!found)
            return;
        // The darkest opaque pixel carries the tint.
        const QImage image = icon.pixmap(48, 48).toImage().convertToFormat(QImage::Format_ARGB32);
        QColor strongest;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.alpha() == 255)
                    strongest = c;
            }
        }
        QCOMPARE(strongest.rgb(), ink.rgb());
    }

    void badThemeFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("error");
        QTest::newRow("icon colour") << QByteArray("<theme><icon name='a' value='a.svg' color='nope'/></theme>")
                                     << QStringLiteral("invalid colour \"nope\" for icon a");
        QTest::newRow("icon without file") << QByteArray("<theme><icon name='a'/></theme>")
                                           << QStringLiteral("<icon> without a name or a value");
    }

    void badThemeFilesAreRefused()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, error);
        const QString path = m_dir.filePath(QStringLiteral("bad.kuip"));
        QVERIFY(ktest::writeText(path, xml));
        KThemeLoader theme;
        QVERIFY(!theme.setupXml(path));
        QCOMPARE(theme.errorString(), error);
        QVERIFY(!theme.hasIcon(QStringLiteral("a")));
    }

    void measuresFollowTheDisplayFactor_data() { ktest::addDisplayFactors("factor"); }

    void measuresFollowTheDisplayFactor()
    {
        QFETCH(double, factor);
        KLiteStyle::setScaleFactor(factor);
        auto window = shownWindow();
        KFrameTitleBar *bar = window->titleBar();
        QCOMPARE(bar->height(), qRound(32 * factor));
        QCOMPARE(bar->action(KFrame::CloseButton)->geometry().width(), qRound(40 * factor));
        const KFrameShadow shadow = KFrameShadow::fromTheme();
        QCOMPARE(shadow.blur(), qRound(14 * factor));
        QCOMPARE(window->frameMargins(), shadow.margins() + QMargins(1, 1, 1, 1) * qRound(factor));
        KLiteIconButton button(QStringLiteral("back"));
        QCOMPARE(button.sizeHint(), QSize(28, 28) * factor);
        KLiteMenu menu;
        QCOMPARE(menu.style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, &menu), qRound(16 * factor));
    }

    void shadowMarginsFollowBlurAndOffset_data()
    {
        QTest::addColumn<QColor>("color");
        QTest::addColumn<int>("blur");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QMargins>("margins");
        QTest::addColumn<int>("border"); // wider without a shadow to grab for resizing
        const QColor grey(0, 0, 0, 51);
        QTest::newRow("offset down") << grey << 10 << 4 << QMargins(10, 6, 10, 14) << 1;
        QTest::newRow("no offset") << grey << 8 << 0 << QMargins(8, 8, 8, 8) << 1;
        QTest::newRow("offset beyond blur is clamped") << grey << 5 << 9 << QMargins(5, 0, 5, 10) << 1;
        QTest::newRow("no blur, no shadow") << grey << 0 << 3 << QMargins() << 3;
        QTest::newRow("transparent, no shadow") << QColor(Qt::transparent) << 10 << 4 << QMargins() << 3;
    }

    void shadowMarginsFollowBlurAndOffset()
    {
        QFETCH(QColor, color);
        QFETCH(int, blur);
        QFETCH(int, offset);
        QFETCH(QMargins, margins);
        QFETCH(int, border);
        QCOMPARE(KFrameShadow(color, blur, offset).margins(), margins);
        KFrameWindow window;
        window.setBoxShadow(color, blur, offset);
        QCOMPARE(window.frameMargins(), margins + QMargins(border, border, border, border));
    }

    void shadowSetOnAShownOpaqueWindowIsNotDrawn()
    {
        KFrameWindow window;
        window.setBoxShadow(Qt::transparent, 0, 0);
        window.show();
        window.setBoxShadow(QColor(0, 0, 0, 51), 10, 4);
        QVERIFY(!window.isShadowShown());
        QCOMPARE(window.contentRect(), window.rect());
    }

    void themeChangesReachThemedObjects()
    {
        struct Counter : IThemeObject
        {
            int applied = 0;
            void applyTheme() override { ++applied; }
        } counter;
        auto owner = std::make_unique<QObject>();
        KDrawHelper *draw = KDrawHelper::instance();
        draw->watch(owner.get(), &counter);
        QCOMPARE(counter.applied, 1);
        KLiteMenu menu;
        KFrameTitleBar bar;
        bar.setThemeClassName(QStringLiteral("KTavroTitleBar"));
        auto theme = loadTheme("<theme><class name='KLiteMenu'><color name='background' value='#123456'/></class>"
                               "<class name='KTavroTitleBar'><metric name='height' value='40'/></class></theme>");
        QVERIFY(theme);
        draw->addSubTheme(theme);
        QCOMPARE(counter.applied, 2);
        QVERIFY(menu.styleSheet().contains(QStringLiteral("#ff123456")));
        QCOMPARE(bar.height(), 40);
        owner.reset();
        draw->removeSubTheme(theme);
        QCOMPARE(counter.applied, 2);
        QVERIFY(!menu.styleSheet().contains(QStringLiteral("#ff123456")));
        QCOMPARE(bar.height(), 32);
    }

    void outerShadowFollowsItsTarget()
    {
        auto target = std::make_unique<QWidget>();
        target->setGeometry(200, 150, 300, 200);
        target->show();
        auto *shadow = new KFrameOuterShadow(target.get(), QStringLiteral("KWebMainwindow-Shadow"), true);
        QPointer<KFrameOuterShadow> guard(shadow);
        const QMargins margins = KFrameShadow::fromTheme().margins();
        QVERIFY(shadow->isVisible());
        QCOMPARE(shadow->geometry(), target->frameGeometry().marginsAdded(margins));
        target->move(260, 170);
        QCOMPARE(shadow->geometry(), target->frameGeometry().marginsAdded(margins));
        // Dragging its right edge resizes the target.
        const QPoint at(shadow->width() - margins.right() + 2, shadow->height() / 2);
        const QPoint global = shadow->mapToGlobal(at);
        sendMouse(shadow, QEvent::MouseButtonPress, at, global);
        sendMouse(shadow, QEvent::MouseMove, at + QPoint(25, 0), global + QPoint(25, 0));
        QCOMPARE(target->width(), 325);
        target->hide();
        QVERIFY(!shadow->isVisible());
        target.reset();
        QTRY_VERIFY(!guard);
    }

    // A window with everything on it, grabbed for a person to look at; the checks catch a
    // missing shadow, an unpainted title bar and a hover that draws nothing.
    void grabbedWindowShowsEveryPart_data() { measuresFollowTheDisplayFactor_data(); }

    void grabbedWindowShowsEveryPart()
    {
        QFETCH(double, factor);
        KLiteStyle::setScaleFactor(factor);
        auto window = std::make_unique<KFrameWindow>();
        window->setWindowTitle(QStringLiteral("Export to Picture"));
        window->setTitleBarFlags(KFrame::DefaultButtons | KFrame::MenuButton);
        window->initUi();
        auto *row = new QHBoxLayout(window->clientWidget());
        row->addWidget(new QLabel(QStringLiteral("Client area")));
        row->addStretch();
        for (const char *names : {"back", "browser", "arrow-down"}) {
            auto *button = new KLiteIconButton(QString::fromLatin1(names));
            button->setFixedButtonSize(QSize(28, 28));
            row->addWidget(button);
        }
        window->setGeometry(QRect(QPoint(100, 100), QSize(520, 300) * factor));
        window->show();
        KFrameTitleBar *bar = window->titleBar();
        const QPoint hover = centreOf(bar, KFrame::CloseButton);
        sendMouse(bar, QEvent::MouseMove, hover, bar->mapToGlobal(hover), Qt::NoButton);

        KLiteMenu menu;
        menu.addThemeAction(QStringLiteral("plugin_title_feedback"), QStringLiteral("Feedback"));
        menu.addThemeAction(QStringLiteral("plugin_title_report"), QStringLiteral("Report"));
        menu.addSeparator();
        menu.addThemeAction(QStringLiteral("plugin_title_version"), QStringLiteral("About"));
        menu.adjustSize();

        QImage shot = window->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        {
            QPainter painter(&shot);
            const QPoint menuAt = bar->mapTo(window.get(), bar->action(KFrame::MenuButton)->geometry().bottomLeft());
            menu.render(&painter, menuAt - QPoint(menu.width() / 2, 0));
        }
        QVERIFY(shot.save(ktest::artifactPath(QStringLiteral("frame-window-x%1.png").arg(factor))));

        const QRect content = window->contentRect();
        QCOMPARE(shot.pixelColor(0, 0).alpha(), 0);
        QVERIFY(shot.pixelColor(content.center().x(), content.bottom() + 3).alpha() > 0);
        QCOMPARE(shot.pixelColor(content.left(), content.center().y()).rgb(), QColor("#d3d7de").rgb());
        const QPoint barPoint = bar->mapTo(window.get(), QPoint(bar->width() / 2, 4));
        QCOMPARE(shot.pixelColor(barPoint).rgb(), QColor("#f3f4f6").rgb());
        const QRect closeRect = bar->action(KFrame::CloseButton)->geometry().translated(bar->mapTo(window.get(), QPoint()));
        QCOMPARE(shot.pixelColor(closeRect.topLeft() + QPoint(2, 2)).rgb(), QColor("#e81123").rgb());
    }
};

KTAVRO_TEST_MAIN(TestFrames)
#include "tst_frames.moc"
