#pragma once

#include <QAbstractButton>

// A checkable tile showing one watermark style. A click selects it; a selected tile stays
// selected on further clicks.
class KWatermarkStyleItem : public QAbstractButton
{
    Q_OBJECT
public:
    KWatermarkStyleItem(const QString &iconName, QWidget *parent = nullptr);

    QString iconName() const { return m_iconName; }
    bool isSelected() const { return isChecked(); }
    void setSelected(bool selected);
    QSize sizeHint() const override;

signals:
    void selecteStateChanged(bool bSelected);

protected:
    void paintEvent(QPaintEvent *event) override;
    void nextCheckState() override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QString m_iconName;
    bool m_hovered = false;
};

// The colour button of the watermark dialog: a swatch and an arrow; its drop-down is the
// colour panel.
class KColorPanel;

class KColorCombobox : public QAbstractButton
{
    Q_OBJECT
public:
    explicit KColorCombobox(QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor &color);
    KColorPanel *panel() const { return m_panel; }
    QString arrowIconName() const { return m_arrow; }
    QSize sizeHint() const override;

    // Builds the panel (once) and shows it under the button.
    void showPanel();

public slots:
    void onColorChanged(const QColor &color);

signals:
    void colorChanged(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QColor m_color = Qt::black;
    KColorPanel *m_panel = nullptr;
    QString m_arrow = QStringLiteral("arrow-down");
};
