#pragma once

#include "kexportclickable.h"
#include "kexportwidgetstyle.h"

// A text drawn as a link, its colour following the mouse (normal, hover, pressed).
class KExportImageLink : public KExportClickable
{
    Q_OBJECT
public:
    explicit KExportImageLink(const QString &text, QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    // "normal,hover,pressed" (or separated by ";").
    void setLinkColors(const QString &triple);
    QColor currentLinkColor() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    // Text drawn before the link, in the plain colour; none here.
    virtual QString plainText() const { return QString(); }
    QColor m_plainColor{0x42, 0x42, 0x42};

private:
    QString m_text;
    kexportwidgets::ColorTriple m_link;
};

// A plain text followed by a link, the link in "#5087E5,#7CABF2,#3966BF" and the plain part
// in #424242.
class KExportImageLinkEx : public KExportImageLink
{
    Q_OBJECT
public:
    KExportImageLinkEx(const QString &plain, const QString &link, QWidget *parent = nullptr);

protected:
    QString plainText() const override { return m_plain; }

private:
    QString m_plain;
};
