#pragma once

#include <kdrawhelper.h>

#include <QPushButton>

namespace kappessui {

// A flat push button painted with the theme colours of its state; the theme entry is
// chosen by its object name. The fallbacks apply where the theme has no entry.
class SimpleButton : public QPushButton, public IThemeObject
{
    Q_OBJECT
public:
    explicit SimpleButton(const QString &text, QWidget *parent = nullptr);

    void setFallbackColors(const QColor &background, const QColor &text, const QColor &border = QColor());
    QColor backgroundColor() const;
    QColor textColor() const;
    QStyle::State state() const;

    void applyTheme() override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_background;
    QColor m_text;
    QColor m_border;
};

} // namespace kappessui
