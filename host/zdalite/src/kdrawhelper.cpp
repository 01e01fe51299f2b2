#include "kdrawhelper.h"

#include "kthemeiconengine.h"
#include "kthemeloader.h"

#include <QPalette>
#include <QWidget>
#include <QtDebug>

#include <algorithm>

const char *const KDrawHelper::ObjectThemeClassName = "__theme_class_name__";

KDrawHelper::KDrawHelper()
    : m_base(std::make_shared<KThemeLoader>())
{
    if (!m_base->setupXml(QStringLiteral(":/zdalite/theme/base.kuip")))
        qWarning("zdalite: built-in theme unreadable: %s", qPrintable(m_base->errorString()));
}

KDrawHelper *KDrawHelper::instance()
{
    static KDrawHelper helper;
    return &helper;
}

void KDrawHelper::addSubTheme(const std::shared_ptr<KThemeLoader> &theme)
{
    if (!theme || containsSubTheme(theme))
        return;
    m_themes.push_back(theme);
    emit themeChanged();
}

bool KDrawHelper::removeSubTheme(const std::shared_ptr<KThemeLoader> &theme)
{
    const auto it = std::find(m_themes.begin(), m_themes.end(), theme);
    if (it == m_themes.end())
        return false;
    m_themes.erase(it);
    emit themeChanged();
    return true;
}

bool KDrawHelper::containsSubTheme(const std::shared_ptr<KThemeLoader> &theme) const
{
    return std::find(m_themes.begin(), m_themes.end(), theme) != m_themes.end();
}

const KThemeLoader *KDrawHelper::themeWithColor(const QString &themeClass, const QString &attribute) const
{
    for (auto it = m_themes.rbegin(); it != m_themes.rend(); ++it) {
        if ((*it)->hasColor(themeClass, attribute))
            return it->get();
    }
    return m_base->hasColor(themeClass, attribute) ? m_base.get() : nullptr;
}

QColor KDrawHelper::getColor(const QString &themeClass, const QString &attribute, const QColor &fallback) const
{
    const KThemeLoader *theme = themeWithColor(themeClass, attribute);
    return theme ? theme->color(themeClass, attribute) : fallback;
}

int KDrawHelper::getMetric(const QString &themeClass, const QString &attribute, int fallback) const
{
    for (auto it = m_themes.rbegin(); it != m_themes.rend(); ++it) {
        if ((*it)->hasMetric(themeClass, attribute))
            return (*it)->metric(themeClass, attribute);
    }
    return m_base->metric(themeClass, attribute, fallback);
}

QStringList KDrawHelper::themeClasses(const QObject *object)
{
    QStringList classes;
    if (!object)
        return classes;
    if (!object->objectName().isEmpty())
        classes << object->objectName();
    const QString themed = object->property(ObjectThemeClassName).toString();
    if (!themed.isEmpty())
        classes << themed;
    for (const QMetaObject *meta = object->metaObject(); meta; meta = meta->superClass()) {
        const QString name = QString::fromLatin1(meta->className());
        if (name.startsWith(QLatin1Char('Q')))
            break;
        classes << name;
    }
    classes.removeDuplicates();
    return classes;
}

QStringList KDrawHelper::stateNames(QStyle::State state)
{
    if (!(state & QStyle::State_Enabled))
        return {QStringLiteral("disabled")};
    QStringList names;
    if (state & QStyle::State_Sunken)
        names << QStringLiteral("pressed");
    if (state & QStyle::State_MouseOver)
        names << QStringLiteral("hover");
    if (state & QStyle::State_On)
        names << QStringLiteral("checked");
    return names;
}

QColor KDrawHelper::getColor(const QStringList &classes, const QString &attribute, QStyle::State state,
                             const QColor &fallback) const
{
    QStringList attributes;
    for (const QString &name : stateNames(state))
        attributes << attribute + QLatin1Char(':') + name;
    attributes << attribute;
    for (const QString &candidate : attributes) {
        for (const QString &themeClass : classes) {
            if (const KThemeLoader *theme = themeWithColor(themeClass, candidate))
                return theme->color(themeClass, candidate);
        }
    }
    return fallback;
}

int KDrawHelper::getMetric(const QStringList &classes, const QString &attribute, int fallback) const
{
    constexpr int unset = INT_MIN;
    for (const QString &themeClass : classes) {
        const int value = getMetric(themeClass, attribute, unset);
        if (value != unset)
            return value;
    }
    return fallback;
}

bool KDrawHelper::hasIcon(const QString &name) const
{
    const auto has = [&](const std::shared_ptr<KThemeLoader> &theme) { return theme->hasIcon(name); };
    return m_base->hasIcon(name) || std::any_of(m_themes.begin(), m_themes.end(), has);
}

QIcon KDrawHelper::getIcon(const QString &name) const
{
    for (auto it = m_themes.rbegin(); it != m_themes.rend(); ++it) {
        if ((*it)->hasIcon(name))
            return KThemeIconEngine::icon((*it)->icon(name));
    }
    if (m_base->hasIcon(name))
        return KThemeIconEngine::icon(m_base->icon(name));
    if (!m_warnedIcons.contains(name)) {
        m_warnedIcons.insert(name);
        qWarning("zdalite: no theme has the icon \"%s\"", qPrintable(name));
    }
    return QIcon();
}

QString KDrawHelper::iconNameForState(const QString &iconSet, QStyle::State state)
{
    const QStringList parts = iconSet.split(QLatin1Char(';'));
    static const QStringList order{QStringLiteral("normal"), QStringLiteral("hover"), QStringLiteral("pressed"),
                                   QStringLiteral("disabled"), QStringLiteral("checked")};
    for (const QString &name : stateNames(state)) {
        const int index = order.indexOf(name);
        if (index < parts.size() && !parts.at(index).trimmed().isEmpty())
            return parts.at(index).trimmed();
    }
    return parts.first().trimmed();
}

QIcon KDrawHelper::getStateIcon(const QString &iconSet, QStyle::State state) const
{
    return getIcon(iconNameForState(iconSet, state));
}

void KDrawHelper::watch(QObject *owner, IThemeObject *object)
{
    if (!owner || !object)
        return;
    object->applyTheme();
    connect(this, &KDrawHelper::themeChanged, owner, [object] { object->applyTheme(); });
}

void KDrawHelper::applyPalette(QWidget *widget, const QString &themeClass) const
{
    if (!widget)
        return;
    QPalette palette = widget->palette();
    const QColor background = getColor(themeClass, QStringLiteral("background"));
    const QColor text = getColor(themeClass, QStringLiteral("text"));
    const QColor button = getColor(themeClass, QStringLiteral("button"));
    if (background.isValid())
        palette.setColor(QPalette::Window, background);
    if (text.isValid()) {
        palette.setColor(QPalette::WindowText, text);
        palette.setColor(QPalette::Text, text);
        palette.setColor(QPalette::ButtonText, text);
    }
    if (button.isValid())
        palette.setColor(QPalette::Button, button);
    widget->setPalette(palette);
}
