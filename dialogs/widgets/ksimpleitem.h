#pragma once

#include <QPixmap>
#include <QWidget>

// A selectable tile: a picture over a caption, framed by the "selected" or "hover" frame
// picture (a drawn frame when none is given). The dialog gives its size.
class KSimpleItem : public QWidget
{
    Q_OBJECT
public:
    KSimpleItem(const QPixmap &picture, const QString &caption, QWidget *parent = nullptr);

    void setFramePictures(const QPixmap &selected, const QPixmap &hover);
    void setSelected(bool selected);
    bool isSelected() const { return m_selected; }
    bool isHovered() const { return m_hovered; }
    QString caption() const { return m_caption; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void paintFrame(QPainter &painter);

    QPixmap m_picture;
    QString m_caption;
    QPixmap m_selectedFrame;
    QPixmap m_hoverFrame;
    bool m_selected = false;
    bool m_hovered = false;
    bool m_pressed = false;
};
