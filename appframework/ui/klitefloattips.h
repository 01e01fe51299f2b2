#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include <functional>

class QGraphicsOpacityEffect;
class QTimer;

// A short message that floats over a window, stays, fades out and deletes itself.
class KLiteFloatTips : public QWidget
{
    Q_OBJECT
public:
    KLiteFloatTips(QWidget *parent, const QString &text, int stayMs = 2000, int fadeMs = 500);

    QString text() const { return m_text; }
    int stayDuration() const { return m_stay; }
    int fadeDuration() const { return m_fade; }
    double opacity() const;

    // Opacity elapsed milliseconds after showing: 1 while staying, then linear to 0.
    static double opacityAt(qint64 elapsedMs, int stayMs, int fadeMs);
    // Replaces the clock that measures the time since showing (milliseconds).
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }

public slots:
    void onTimer();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    int m_stay;
    int m_fade;
    bool m_started = false;
    QElapsedTimer m_shown;
    std::function<qint64()> m_clock;
    QGraphicsOpacityEffect *m_effect;
    QTimer *m_timer;
};
