#pragma once

#include <QWidget>

// A widget that follows the mouse (hover, pressed) and emits clicked() on a release over it
// that follows a press on it, as a button does.
class KExportClickable : public QWidget
{
    Q_OBJECT
public:
    explicit KExportClickable(QWidget *parent = nullptr);

    bool isHovered() const { return m_hovered; }
    bool isPressed() const { return m_pressed; }

signals:
    void clicked();

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_hovered = false;
    bool m_pressed = false;
};
