#include "kexportwidgetstyle.h"

#include <kexportpictruemgr.h>
#include <klitestyle.h>

#include <QGuiApplication>
#include <QStringList>

int kexportwidgets::scaled(int value)
{
    return KLiteStyle::dpiScaled(value);
}

QFont kexportwidgets::uiFont(int pixelSize)
{
    QFont font(QString::fromLatin1("Microsoft YaHei")); // not a literal: Qt's font cache outlives the module
    font.setPixelSize(scaled(pixelSize));
    return font;
}

kexportwidgets::ColorTriple kexportwidgets::ColorTriple::parse(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(';'));
    ColorTriple t;
    t.normal = QColor(parts.value(0).trimmed());
    t.hover = parts.size() > 1 ? QColor(parts.at(1).trimmed()) : t.normal;
    t.pressed = parts.size() > 2 ? QColor(parts.at(2).trimmed()) : t.hover;
    return t;
}

QColor kexportwidgets::ColorTriple::forState(bool hovered, bool down) const
{
    return down ? pressed : hovered ? hover : normal;
}

QIcon kexportwidgets::icon(const QString &name)
{
    return KExportPictrueMgr::instance()->icon(name);
}
