#pragma once

#include <QRadioButton>
#include <QVariant>

// A selectable tile for the export type: a caption over a picture; the checked tile is framed
// and marked with a corner tick.
class KExportTypeItem : public QRadioButton
{
    Q_OBJECT
public:
    enum Type { EachPage = 0, LongPicture = 1 };

    explicit KExportTypeItem(Type type, QWidget *parent = nullptr);
    Type type() const { return m_type; }
    bool isHovered() const { return m_hovered; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    Type m_type;
    bool m_hovered = false;
};

// A selectable caption with an optional icon and a data value; the checked item is framed
// and marked with a corner tick.
class KRadioItem : public QRadioButton
{
    Q_OBJECT
public:
    KRadioItem(const QVariant &data, const QString &caption, QWidget *parent = nullptr);
    KRadioItem(const QVariant &data, const QIcon &icon, const QString &caption, QWidget *parent = nullptr);

    QVariant data() const { return m_data; }
    bool isHovered() const { return m_hovered; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    QVariant m_data;
    bool m_hovered = false;
};
