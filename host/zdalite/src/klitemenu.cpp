#include "klitemenu.h"

#include "kdrawhelper.h"
#include "kframeshadow.h"
#include "klitestyle.h"

#include <QProxyStyle>

namespace {
// Style sheets cannot size menu icons; the style underneath them can.
class KLiteMenuStyle : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_SmallIconSize)
            return KLiteStyle::dpiScaled(16);
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};
} // namespace

KLiteMenu::KLiteMenu(QWidget *parent)
    : QMenu(parent)
{
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
    auto *style = new KLiteMenuStyle;
    style->setParent(this);
    setStyle(style);
    // Rounded corners need see-through pixels outside them.
    if (KFrameShadow::compositingAvailable())
        setAttribute(Qt::WA_TranslucentBackground);
    KDrawHelper::instance()->watch(this, this);
}

KLiteMenu::KLiteMenu(const QString &title, QWidget *parent)
    : KLiteMenu(parent)
{
    setTitle(title);
}

QAction *KLiteMenu::addThemeAction(const QString &iconName, const QString &text)
{
    return addAction(KDrawHelper::instance()->getIcon(iconName), text);
}

QString KLiteMenu::themeStyleSheet() const
{
    KDrawHelper *draw = KDrawHelper::instance();
    const QStringList classes = KDrawHelper::themeClasses(this);
    const auto color = [&](const char *attribute, QStyle::State state, const QColor &fallback) {
        return draw->getColor(classes, QString::fromLatin1(attribute), state, fallback).name(QColor::HexArgb);
    };
    const QStyle::State normal = QStyle::State_Enabled;
    const QStyle::State hover = normal | QStyle::State_MouseOver;
    const int itemHeight = draw->getMetric(classes, QStringLiteral("item-height"), 30);
    const int radius = testAttribute(Qt::WA_TranslucentBackground)
        ? draw->getMetric(classes, QStringLiteral("radius"), 4)
        : 0;
    const auto px = [](int value) { return QString::number(KLiteStyle::dpiScaled(value)) + QStringLiteral("px"); };
    // Qt style sheets take pixel lengths only, so every measure is scaled here.
    return QStringLiteral(
               "QMenu{background:%1;border:%9 solid %2;border-radius:%3;padding:%4 0px;}"
               "QMenu::item{color:%5;background:transparent;min-height:%6;padding:0px %7 0px %8;}"
               "QMenu::item:selected{background:%10;}"
               "QMenu::item:disabled{color:%11;}"
               "QMenu::separator{height:%9;background:%12;margin:%4 %7;}"
               "QMenu::icon{padding-left:%13;}"
               "QMenu::right-arrow{margin-right:%13;}")
        .arg(color("background", normal, Qt::white), color("border", normal, Qt::gray), px(radius), px(4),
             color("text", normal, Qt::black), px(itemHeight), px(20), px(12))
        .arg(px(1), color("background", hover, Qt::lightGray), color("text", QStyle::State_None, Qt::gray),
             color("separator", normal, Qt::lightGray), px(10));
}

void KLiteMenu::applyTheme()
{
    setStyleSheet(themeStyleSheet());
}
