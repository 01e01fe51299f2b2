#pragma once

#include <QAbstractButton>
#include <QStyle>

// A flat button showing one icon per state: theme icon names "normal;hover;pressed
// [;disabled[;checked]]", drawn over the theme's state background. Sizes are for a 100 %
// display and scaled here.
class KLiteIconButton : public QAbstractButton
{
    Q_OBJECT
public:
    explicit KLiteIconButton(QWidget *parent = nullptr);
    KLiteIconButton(const QString &iconNames, QWidget *parent = nullptr);

    void setIconNames(const QString &iconSet);
    QString iconNames() const { return m_iconNames; }
    QString currentIconName() const;

    void setIconSize(const QSize &size);
    void setFixedButtonSize(const QSize &size);

    QStyle::State state() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QString m_iconNames;
    QSize m_iconSize{16, 16};
    bool m_hovered = false;
};
