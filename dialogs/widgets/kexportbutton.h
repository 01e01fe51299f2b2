#pragma once

#include "kexportwidgetstyle.h"

#include <QLabel>
#include <QPushButton>

// A flat button: background, border and text each in a colour triple for normal, hover and
// pressed ("normal;hover;pressed"), with an optional icon and a soft shadow.
class KExportButton : public QPushButton
{
    Q_OBJECT
public:
    KExportButton(const QString &text, const QString &background, const QString &border, const QString &textColor,
                  QWidget *parent = nullptr);

    // The dialogs' two kinds: blue filled, and white outlined.
    static KExportButton *filled(const QString &text, QWidget *parent = nullptr);
    static KExportButton *outlined(const QString &text, QWidget *parent = nullptr);

    void setColors(const QString &background, const QString &border, const QString &textColor);
    void setShadow(bool on);
    bool isHovered() const { return m_hovered; }
    // The colours painted now: background, border, text.
    QColor currentBackground() const;
    QColor currentBorder() const;
    QColor currentText() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    kexportwidgets::ColorTriple m_background, m_border, m_text;
    bool m_hovered = false;
};

// A text that acts as a link: its colour changes under the mouse, and releasing the button
// over it emits clicked().
class KExportLabel : public QLabel
{
    Q_OBJECT
public:
    explicit KExportLabel(const QString &text, QWidget *parent = nullptr);
    void setColors(const QColor &normal, const QColor &hover);
    bool isHovered() const { return m_hovered; }

signals:
    void clicked();

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void applyColor();

    QColor m_normal{0x42, 0x42, 0x42};
    QColor m_hover{0x4a, 0x90, 0xe2};
    bool m_hovered = false;
    bool m_pressed = false;
};
