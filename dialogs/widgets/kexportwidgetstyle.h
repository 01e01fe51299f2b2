#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QString>
#include <QStyle>

// What the export dialogs' widgets share: the UI font, scaled measures, colour triples and
// the add-on's icons.
namespace kexportwidgets {
int scaled(int value);
QFont uiFont(int pixelSize);

// Normal, hover and pressed colours, given as "normal;hover;pressed". A missing entry repeats
// the one before it, so a single colour serves all three states.
struct ColorTriple
{
    QColor normal, hover, pressed;
    static ColorTriple parse(const QString &text);
    QColor forState(bool hovered, bool pressed) const;
};

// The add-on's icon by name ("corner-tick", "browser", ...).
QIcon icon(const QString &name);
} // namespace kexportwidgets
