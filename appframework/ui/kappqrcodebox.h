#pragma once

#include <QFrame>
#include <QPixmap>

class QLabel;

// A pop-up with a QR picture, an optional title and a text under it.
class KAppQRCodeBox : public QFrame
{
    Q_OBJECT
public:
    explicit KAppQRCodeBox(QWidget *parent = nullptr);

    void setTitle(const QString &title);
    QString title() const;
    void setText(const QString &text);
    QString text() const;
    void setPicture(const QPixmap &picture);
    QPixmap picture() const { return m_picture; }

    // A built-in or file picture fitted into size; vector pictures are drawn at that size.
    static QPixmap loadPicture(const QString &path, const QSize &size);

    // Shows the box with its top centre at the global point, kept on that point's screen.
    void popupBelow(const QPoint &globalTopCentre);

signals:
    void shown();
    void hidden();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
    QLabel *m_title;
    QLabel *m_image;
    QLabel *m_text;
};

// A thin vertical line between groups of title-bar items.
class KAppWndTitleSeparator : public QWidget
{
    Q_OBJECT
public:
    explicit KAppWndTitleSeparator(QWidget *parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
