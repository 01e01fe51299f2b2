#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;

// A spinning arc: turns 10 degrees every 27 ms while it is shown.
class KLoadingIcon : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 27;
    static constexpr int kStepDegrees = 10;

    explicit KLoadingIcon(QWidget *parent = nullptr);
    int angle() const { return m_angle; }
    bool isTurning() const { return m_timer.isActive(); }

public slots:
    void onTimeOut();

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QTimer m_timer;
    int m_angle = 0;
};

// The dark strip of the loading tip: the spinning icon and a white text.
class KLodingWidget : public QWidget
{
    Q_OBJECT
public:
    explicit KLodingWidget(const QString &text, QWidget *parent = nullptr);
    void setText(const QString &text);
    QString text() const;
    KLoadingIcon *loadingIcon() const { return m_icon; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    KLoadingIcon *m_icon;
    QLabel *m_label;
};

// Shown over a dialog while an export runs; its "cancel" link asks to stop the export.
class KExportLoadingTips : public QWidget
{
    Q_OBJECT
public:
    explicit KExportLoadingTips(QWidget *parent = nullptr);

    static QString waitText();
    static QString cancelLink();
    void setText(const QString &text);
    QString text() const;
    KLodingWidget *strip() const { return m_strip; }
    QLabel *cancelLabel() const { return m_cancel; }
    // Centres the tip on the given widget's window.
    void showCentredOn(QWidget *widget);

signals:
    void closeTips();

public slots:
    void onCloseBtnClicked();

private:
    KLodingWidget *m_strip;
    QLabel *m_cancel;
};
