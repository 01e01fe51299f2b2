#pragma once

#include <QColor>
#include <QIcon>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QStyle>

#include <memory>
#include <vector>

class KThemeLoader;
class QWidget;

// An object that takes its look from the theme: applyTheme() reads the values it needs.
class IThemeObject
{
public:
    virtual ~IThemeObject() = default;
    virtual void applyTheme() = 0;
};

// The host's theme set: themes added later override earlier ones, class by class and value
// by value, and the host's built-in theme answers last. Widgets read their colours, measures
// and icons here and repaint on themeChanged().
class KDrawHelper : public QObject
{
    Q_OBJECT
public:
    // The property naming a widget's theme class when it is not its C++ class name.
    static const char *const ObjectThemeClassName;

    static KDrawHelper *instance();

    void addSubTheme(const std::shared_ptr<KThemeLoader> &theme);
    bool removeSubTheme(const std::shared_ptr<KThemeLoader> &theme);
    bool containsSubTheme(const std::shared_ptr<KThemeLoader> &theme) const;

    QColor getColor(const QString &themeClass, const QString &attribute, const QColor &fallback = QColor()) const;
    int getMetric(const QString &themeClass, const QString &attribute, int fallback = 0) const;

    // The classes an object's values are looked up under, most specific first: its object
    // name, its theme class property, then its C++ class names up to the Qt ones.
    static QStringList themeClasses(const QObject *object);
    // State names in the order they are tried: "disabled", "pressed", "hover", "checked".
    static QStringList stateNames(QStyle::State state);
    // "attribute:state" of any class before the plain attribute of any class, so a generic
    // hover colour still shows on a widget whose own class sets only the normal one.
    QColor getColor(const QStringList &classes, const QString &attribute, QStyle::State state,
                    const QColor &fallback = QColor()) const;
    int getMetric(const QStringList &classes, const QString &attribute, int fallback = 0) const;

    bool hasIcon(const QString &name) const;
    // A null icon (and one warning) for a name no theme knows.
    QIcon getIcon(const QString &name) const;
    // iconSet: "normal;hover;pressed[;disabled[;checked]]"; a missing entry falls back to normal.
    static QString iconNameForState(const QString &iconSet, QStyle::State state);
    QIcon getStateIcon(const QString &iconSet, QStyle::State state) const;

    // Applies the theme to object now and whenever the theme set changes, for as long as
    // owner (normally the object itself) lives.
    void watch(QObject *owner, IThemeObject *object);

    // Sets the widget's palette from its class's "background", "text" and "button" colours.
    void applyPalette(QWidget *widget, const QString &themeClass) const;

signals:
    void themeChanged();

private:
    KDrawHelper();
    const KThemeLoader *themeWithColor(const QString &themeClass, const QString &attribute) const;

    std::vector<std::shared_ptr<KThemeLoader>> m_themes;
    std::shared_ptr<KThemeLoader> m_base;
    mutable QSet<QString> m_warnedIcons;
};
