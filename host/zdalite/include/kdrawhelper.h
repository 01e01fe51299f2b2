#pragma once

#include <QColor>
#include <QObject>

#include <memory>
#include <vector>

class KThemeLoader;
class QWidget;

// The host's theme set: themes added later override earlier ones, class by class and value
// by value. Widgets read their colours and measures here and repaint on themeChanged().
class KDrawHelper : public QObject
{
    Q_OBJECT
public:
    static KDrawHelper *instance();

    void addSubTheme(const std::shared_ptr<KThemeLoader> &theme);
    bool removeSubTheme(const std::shared_ptr<KThemeLoader> &theme);
    bool containsSubTheme(const std::shared_ptr<KThemeLoader> &theme) const;

    QColor getColor(const QString &themeClass, const QString &attribute, const QColor &fallback = QColor()) const;
    int getMetric(const QString &themeClass, const QString &attribute, int fallback = 0) const;

    // Sets the widget's palette from its class's "background", "text" and "button" colours.
    void applyPalette(QWidget *widget, const QString &themeClass) const;

signals:
    void themeChanged();

private:
    std::vector<std::shared_ptr<KThemeLoader>> m_themes;
};
