#pragma once

#include "kexportclickable.h"

#include <QPixmap>

// A selectable tile: a picture over a caption, framed by the "selected" or "hover" frame
// picture (a drawn frame when none is given). The dialog gives its size.
class KSimpleItem : public KExportClickable
{
    Q_OBJECT
public:
    KSimpleItem(const QPixmap &picture, const QString &caption, QWidget *parent = nullptr);

    void setFramePictures(const QPixmap &selected, const QPixmap &hover);
    void setSelected(bool selected);
    bool isSelected() const { return m_selected; }
    QString caption() const { return m_caption; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintFrame(QPainter &painter);

    QPixmap m_picture;
    QString m_caption;
    QPixmap m_selectedFrame;
    QPixmap m_hoverFrame;
    bool m_selected = false;
};
