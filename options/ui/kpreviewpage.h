#pragma once

#include "watermarksetting.h"

#include <QImage>
#include <QThreadPool>
#include <QWidget>

// A page picture with the watermark painted by the export's own painter, scaled to fit.
// Rendering runs on a worker; changes arriving meanwhile are folded into one more render.
class KPreviewPage : public QWidget
{
    Q_OBJECT
public:
    explicit KPreviewPage(QWidget *parent = nullptr);
    ~KPreviewPage() override;

    // A null page shows the built-in template page.
    void setPageImage(const QImage &page);
    QImage pageImage() const { return m_page; }
    WatermarkSetting watermark() const { return m_setting; }

    // Whether a rendered preview for the current page, watermark and size is shown.
    bool isReady() const { return m_readyGeneration == m_generation && !m_preview.isNull(); }
    QImage previewImage() const { return m_preview; }
    QRect targetRect() const;

    // The rectangle inside bounds, less margin on every side, that has the aspect ratio of
    // size: narrowed equally on both sides or lowered equally above and below.
    static QRect fitRect(const QRect &bounds, const QSize &size, int margin);

public slots:
    void setWatermark(const WatermarkSetting &setting);

signals:
    // A render for the current state has been shown.
    void previewUpdated();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void requestRender();
    void startRender();
    void onRendered(quint64 generation, const QImage &preview);

    QImage m_page;
    WatermarkSetting m_setting;
    QImage m_preview;
    quint64 m_generation = 0;
    quint64 m_readyGeneration = 0;
    bool m_busy = false;
    bool m_pending = false;
    QThreadPool m_pool;
};
