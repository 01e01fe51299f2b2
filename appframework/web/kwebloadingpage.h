#pragma once

#include <QTimer>
#include <QWidget>

// What a web window shows while its page loads: a progress line along the top, a turning
// spinner and "loading...". The spinner only turns while the page is visible.
class KWebLoadingPage : public QWidget
{
    Q_OBJECT
public:
    static constexpr int TickMs = 27;
    static constexpr int StepDegrees = 10;

    explicit KWebLoadingPage(QWidget *parent = nullptr);

    void setProgress(int percent);
    int progress() const { return m_progress; }
    int angle() const { return m_angle; }
    QString text() const { return m_text; }
    bool isTurning() const { return m_timer->isActive(); }

    // The spinner's square, for tests and for a person checking the layout.
    QRect spinnerRect() const;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void onTick();
    QColor themeColor(const char *attribute, const QColor &fallback) const;
    void paintSpinner(QPainter &painter, const QRect &area) const;
    void paintText(QPainter &painter, const QRect &area) const;
    int textHeight() const;

    QString m_text;
    QTimer *m_timer;
    int m_angle = 0;
    int m_progress = 0;
    int m_ticks = 0;
};
