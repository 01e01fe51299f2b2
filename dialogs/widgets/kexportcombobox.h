#pragma once

#include <QVariant>
#include <QWidget>

class QFrame;
class QLabel;
class QListWidget;
class QListWidgetItem;

// One row of a KExportComboBox: what the list shows and the value it stands for.
class IExportComboBoxItem : public QWidget
{
    Q_OBJECT
public:
    explicit IExportComboBoxItem(QWidget *parent = nullptr);
    virtual QString text() const = 0;
    virtual QVariant value() const = 0;

protected:
    void paintEvent(QPaintEvent *event) override;
};

class KPhotoFormatComboBoxItem : public IExportComboBoxItem
{
    Q_OBJECT
public:
    KPhotoFormatComboBoxItem(const QString &text, int formatIndex, QWidget *parent = nullptr);
    QString text() const override { return m_text; }
    QVariant value() const override { return m_index; }
    int formatIndex() const { return m_index; }
    // "JPG", "PNG", "BMP", "TIF" with the indexes 0..3.
    static QList<KPhotoFormatComboBoxItem *> standardItems();

private:
    QString m_text;
    int m_index;
};

class KPhotoQualityComboBoxItem : public IExportComboBoxItem
{
    Q_OBJECT
public:
    enum PhotoQuality { Common = 0, Standard = 1, High = 2, Super = 3 };
    Q_ENUM(PhotoQuality)

    explicit KPhotoQualityComboBoxItem(PhotoQuality quality, QWidget *parent = nullptr);
    QString text() const override { return m_text; }
    QVariant value() const override { return int(m_quality); }
    PhotoQuality quality() const { return m_quality; }
    // The compact dialog's editions name the qualities without their percentages.
    static QString textFor(PhotoQuality quality, bool withPercent);
    static bool editionShowsPercent();

private:
    PhotoQuality m_quality;
    QString m_text;
};

// A drop-down list: a field showing the current row and a popup list of IExportComboBoxItem.
class KExportComboBox : public QWidget
{
    Q_OBJECT
public:
    explicit KExportComboBox(QWidget *parent = nullptr);
    ~KExportComboBox() override;

    void addItem(IExportComboBoxItem *item); // takes ownership
    int count() const;
    IExportComboBoxItem *item(int row) const;
    int currentRow() const;
    IExportComboBoxItem *currentItem() const { return item(currentRow()); }
    // Rows outside the list are ignored.
    void setCurrentRow(int row);
    QListWidget *listWidget() const { return m_list; }
    QFrame *popup() const { return m_popup; }
    bool isHovered() const { return m_hovered; }

    void showPopup();
    void hidePopup();
    QSize sizeHint() const override;

signals:
    void currentRowChanged(int row);

public slots:
    void onItemClick(QListWidgetItem *item);
    void onCurrentRowChanged(int row);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QFrame *m_popup;
    QListWidget *m_list;
    bool m_hovered = false;
};

// The quality list with its grey caption.
class KPhotoQualityComboBox : public QWidget
{
    Q_OBJECT
public:
    explicit KPhotoQualityComboBox(const QString &caption, QWidget *parent = nullptr);
    KExportComboBox *comboBox() const { return m_combo; }
    QLabel *captionLabel() const { return m_caption; }
    KPhotoQualityComboBoxItem::PhotoQuality quality() const;
    void setQuality(KPhotoQualityComboBoxItem::PhotoQuality quality);

signals:
    void photoQualityChanged(const KPhotoQualityComboBoxItem::PhotoQuality &quality);

private:
    QLabel *m_caption;
    KExportComboBox *m_combo;
};
