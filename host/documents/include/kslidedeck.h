#pragma once

#include <QList>
#include <QSizeF>
#include <QString>
#include <QUrl>

class QPainter;

// A Markdown deck: slides separated by a line holding only "---" (outside code fences).
// A slide whose first line is a heading takes it as its title; the rest is its body.
// Slides are 16:9, laid out on 1280 x 720 units (13.33 x 7.5 inches at 96 per inch).
class KSlideDeck
{
public:
    struct Slide
    {
        QString title;
        QString body; // Markdown
    };

    static QList<Slide> parse(const QString &markdown);
    static QSizeF slideSize();
    // Paints the slide over the painter's 1280 x 720 units; images in the body are found
    // relative to baseUrl. smooth asks for antialiased shapes and smoothed pictures.
    static void paint(QPainter *painter, const Slide &slide, const QUrl &baseUrl, bool smooth);
};
