#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

class QComboBox;
class QLabel;
class QScrollBar;
class QSpinBox;

// The grid of preset colours: a 20 x 20 field and the neutral cells below it.
class KHexColorPicker : public QWidget
{
    Q_OBJECT
public:
    explicit KHexColorPicker(QWidget *parent = nullptr);

    int selectedCell() const { return m_selected; }
    QRect cellRect(int cell) const;
    // The cell under pos: the one containing it, else the first within 3 pixels; -1 for none.
    int cellAt(const QPoint &pos) const;
    QSize sizeHint() const override;

public slots:
    void setSelColor(const QColor &color);

signals:
    void selectColor(const QColor &color);
    void validDblClick();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void select(int cell);
    int cellSize() const;

    int m_selected = -1;
};

// The hue/saturation plane at half lightness.
class KHSPicker : public QWidget
{
    Q_OBJECT
public:
    explicit KHSPicker(QWidget *parent = nullptr);
    QSize sizeHint() const override;

public slots:
    void setCol(int hue, int saturation);

signals:
    void newCol(int hue, int saturation);
    void validDblClick();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void pick(const QPoint &pos);

    QImage m_plane;
    int m_hue = 0;
    int m_saturation = 0;
};

// The lightness bar for the current hue and saturation: 255 at the top, 0 at the bottom.
class KLPicker : public QWidget
{
    Q_OBJECT
public:
    explicit KLPicker(QWidget *parent = nullptr);
    void setLightness(int lightness);

public slots:
    void setCol(int hue, int saturation);

signals:
    void newHsl(int hue, int saturation, int lightness);
    void validDblClick();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    int lightnessAt(int y) const;

    int m_hue = 0;
    int m_saturation = 0;
    int m_lightness = 128;
};

// Numeric entry of the colour in RGB (mode 0) or HSL (mode 1), all fields 0..255.
class KColorShower : public QWidget
{
    Q_OBJECT
public:
    explicit KColorShower(QWidget *parent = nullptr);

    int mode() const;
    QColor color() const;
    QSpinBox *field(int index) const { return m_fields[index]; }
    QLabel *fieldLabel(int index) const { return m_labels[index]; }
    QComboBox *modeBox() const { return m_mode; }

public slots:
    void setRgb(QRgb rgb);
    void onColorEdit();
    void onColorModeChange(int mode);

signals:
    void currentColorChancsbSecondValue(const QColor &color);

private:
    void showColor(const QColor &color);

    QComboBox *m_mode;
    QSpinBox *m_fields[4];
    QLabel *m_labels[4];
    QColor m_color = Qt::white;
};

// Transparency 0..100 % as a scroll bar and a spin box kept in step.
class KAlphaPanel : public QWidget
{
    Q_OBJECT
public:
    explicit KAlphaPanel(QWidget *parent = nullptr);
    int value() const;
    void setValue(int transparency);
    QScrollBar *scrollBar() const { return m_bar; }
    QSpinBox *spinBox() const { return m_spin; }

public slots:
    void onTransScollBarValueChange(int value);
    void onTransSpinBoxValueChange(int value);

signals:
    void valueChanged(int newValue);

private:
    QScrollBar *m_bar;
    QSpinBox *m_spin;
};

// The new colour over the current one.
class KDualColors : public QWidget
{
    Q_OBJECT
public:
    explicit KDualColors(QWidget *parent = nullptr);
    QColor newColor() const { return m_new; }
    QColor currentColor() const { return m_current; }

public slots:
    void setNewColor(const QColor &color);
    void setCurrrentColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_new = Qt::white;
    QColor m_current = Qt::white;
};

// An HSV wheel: a hue ring around a triangle of saturation and value that turns with the hue.
class KColorCircleHsv : public QWidget
{
    Q_OBJECT
public:
    explicit KColorCircleHsv(QWidget *parent = nullptr);
    QColor color() const { return QColor::fromHsvF(m_hue, m_sat, m_val); }
    QSize sizeHint() const override;

    // Vertex 0 (the pure hue), 1 (white) and 2 (black) of the triangle for the current hue.
    QPointF vertex(int index) const;

public slots:
    void setColor(const QColor &color);

signals:
    void colorChanged(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    enum Drag { None, Ring, Triangle };
    QPointF centre() const;
    double outerRadius() const;
    double innerRadius() const;
    void pick(const QPointF &pos);
    void renderTriangle();

    double m_hue = 0;  // 0..1
    double m_sat = 0;
    double m_val = 1;
    Drag m_drag = None;
    QImage m_triangle;
};
