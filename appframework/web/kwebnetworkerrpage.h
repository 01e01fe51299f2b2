#pragma once

#include <QWidget>

// What a web window shows when its page could not be loaded.
class KWebNetworkErrPage : public QWidget
{
    Q_OBJECT
public:
    explicit KWebNetworkErrPage(QWidget *parent = nullptr);

    QString pictureName() const { return m_picture; }
    QString text() const { return m_text; }
    // Where the picture and the text go, for tests and layout checks.
    QRect pictureRect() const;
    QRect textRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor themeColor(const char *attribute, const QColor &fallback) const;

    QString m_picture;
    QString m_text;
};
