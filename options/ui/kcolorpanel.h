#pragma once

#include <QColor>
#include <QDialog>
#include <QList>
#include <QRect>

// The colour button's drop-down: "Auto", the standard colours, the recent colours and
// "Other Color(M)..." that opens the full colour dialog.
class KColorPanel : public QDialog
{
    Q_OBJECT
public:
    struct Item
    {
        enum Kind { Auto = 0, Cell = 1, Other = 2 };
        enum State { Normal = 0, Hovered = 1, Selected = 2 };
        int kind;
        QRect rect;
        QColor color;
        int state;
    };

    KColorPanel(QWidget *parent, const QColor &autoColor, const QList<QColor> &standard,
                const QList<QColor> &recent);

    QColor currentColor() const { return m_current; }
    // Selects the first item of that colour, or none.
    void setCurrentColor(const QColor &color);
    QList<QColor> recentColors() const { return m_recent; }
    // Where the content (inside the shadow) sits in the panel.
    QMargins shadowMargins() const;

    const QList<Item> &items() const { return m_items; }
    int itemAt(const QPoint &pos) const;

    // Opens the full colour dialog; replaced by tests.
    using ColorDialogFunction = QColor (*)(const QColor &initial, QWidget *parent);
    void setColorDialogFunction(ColorDialogFunction function) { m_colorDialog = function; }

signals:
    void colorChanged(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void layoutItems();
    // By value: the items the colour may come from are rebuilt here.
    void choose(QColor color, int chosenItem);
    void paintItem(class QPainter &painter, const Item &item) const;
    QRect contentRect() const;

    QColor m_auto;
    QList<QColor> m_standard;
    QList<QColor> m_recent;
    QColor m_current;
    QList<Item> m_items;
    ColorDialogFunction m_colorDialog;
};
