#pragma once

#include "kdrawhelper.h"

#include <QMenu>

// A menu in the host's look: theme colours, rounded border, DPI-scaled item heights and
// paddings; it restyles itself when the theme changes.
class KLiteMenu : public QMenu, public IThemeObject
{
    Q_OBJECT
public:
    explicit KLiteMenu(QWidget *parent = nullptr);
    explicit KLiteMenu(const QString &title, QWidget *parent = nullptr);

    // Adds an item with the named theme icon.
    QAction *addThemeAction(const QString &iconName, const QString &text);

    // The style sheet made from the current theme.
    QString themeStyleSheet() const;

    void applyTheme() override;
};
