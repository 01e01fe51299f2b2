#pragma once

#include <QSpinBox>

// The host's flat spin box: a themed frame and text, up and down arrows from the theme's
// "arrow-up" and "arrow-down" icons. Sizes are for a 100 % display and scaled here.
class KLiteSpinBox : public QSpinBox
{
    Q_OBJECT
public:
    explicit KLiteSpinBox(QWidget *parent = nullptr);

    void setFixedBoxSize(const QSize &size);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void applyTheme();
};
