#pragma once

#include <QLineEdit>

// The host's text field: a 1 px rounded frame that turns blue on hover and focus, the UI
// font at 12 px, inner margins scaled with the display. Frameless for use inside a
// composite field that draws its own frame.
class KLiteLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit KLiteLineEdit(QWidget *parent = nullptr);

    void setFrameless(bool frameless);
    bool isFrameless() const { return m_frameless; }
    bool isHovered() const { return m_hovered; }

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void applyLook();

    bool m_frameless = false;
    bool m_hovered = false;
};
