#include "kdrawhelper.h"

#include "kthemeloader.h"

#include <QPalette>
#include <QWidget>

#include <algorithm>

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

QColor KDrawHelper::getColor(const QString &themeClass, const QString &attribute, const QColor &fallback) const
{
    for (auto it = m_themes.rbegin(); it != m_themes.rend(); ++it) {
        if ((*it)->hasColor(themeClass, attribute))
            return (*it)->color(themeClass, attribute);
    }
    return fallback;
}

int KDrawHelper::getMetric(const QString &themeClass, const QString &attribute, int fallback) const
{
    for (auto it = m_themes.rbegin(); it != m_themes.rend(); ++it) {
        if ((*it)->hasMetric(themeClass, attribute))
            return (*it)->metric(themeClass, attribute);
    }
    return fallback;
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
