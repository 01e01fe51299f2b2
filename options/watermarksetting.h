#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QString>

enum WatermarkStyle {
    WatermarkStyleNone = -1,
    WatermarkStyleText = 0,
    WatermarkStyleRightTriangle = 1,
    WatermarkStyleIsoscelesTriangle = 2,
    WatermarkStyleRectangle = 3,
    WatermarkStyleCircle = 4,
    WatermarkStyleEllipse = 5,
    WatermarkStylePicture = 6,
};

enum WatermarkPolicy {
    WatermarkPolicyCenter = 0,
    WatermarkPolicyTile = 1,
};

enum WatermarkSize {
    WatermarkSizeSmall = 0,
    WatermarkSizeMid = 1,
    WatermarkSizeLarge = 2,
};

// The watermark an export paints on every picture: a text stamp in one of six shapes
// or a picture stamp. A plain value; accessors do no validation.
class WatermarkSetting
{
    Q_DECLARE_TR_FUNCTIONS(WatermarkSetting)
public:
    WatermarkSetting();

    int style() const { return m_style; }
    void setStyle(int style) { m_style = style; }
    int policy() const { return m_policy; }
    void setPolicy(int policy) { m_policy = policy; }
    int size() const { return m_size; }
    void setSize(int size) { m_size = size; }
    QString text() const { return m_text; }
    void setText(const QString &text) { m_text = text; }
    QColor color() const { return m_color; }
    void setColor(const QColor &color) { m_color = color; }
    int rotate() const { return m_rotate; }
    void setRotate(int rotate) { m_rotate = rotate; }
    double opacity() const { return m_opacity; }
    void setOpacity(double opacity) { m_opacity = opacity; }
    QImage picture() const { return m_picture; }
    void setPicture(const QImage &picture) { m_picture = picture; }
    int scale() const { return m_scale; }
    void setScale(int scale) { m_scale = scale; }

private:
    int m_style = WatermarkStyleNone;
    int m_policy = WatermarkPolicyTile;
    int m_size = WatermarkSizeMid;
    QString m_text;
    QColor m_color = Qt::black;
    int m_rotate = 330;
    double m_opacity = 0.1;
    QImage m_picture;
    int m_scale = 1;
};
