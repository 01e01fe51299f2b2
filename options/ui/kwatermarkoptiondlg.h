#pragma once

#include "koptionframe.h"
#include "watermarksetting.h"

#include <QImage>
#include <QList>

class KColorCombobox;
class KPreviewPage;
class KWatermarkOptionDlg;
class KWatermarkStyleItem;
class QAbstractButton;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QSlider;
class QSpinBox;

class KWatermarkOptionDlgTitle : public KOptionTitleBar
{
    Q_OBJECT
public:
    explicit KWatermarkOptionDlgTitle(QWidget *parent = nullptr);
};

// The controls of the custom watermark beside its live preview. Each change updates the
// dialog's copy of the setting and repaints the preview.
class KWatermarkCliectWidget : public KFrameClientWidget
{
    Q_OBJECT
public:
    KWatermarkCliectWidget(const QImage &page, const WatermarkSetting &setting, QWidget *parent = nullptr);

    WatermarkSetting setting() const { return m_setting; }

    QLineEdit *textEdit() const { return m_text; }
    QLineEdit *rotateEdit() const { return m_rotate; }
    KColorCombobox *colorButton() const { return m_color; }
    QSlider *opacitySlider() const { return m_opacity; }
    QSpinBox *opacityEdit() const { return m_opacityEdit; }
    QList<KWatermarkStyleItem *> styleItems() const { return m_styles; }
    QButtonGroup *sizeGroup() const { return m_sizes; }
    QButtonGroup *policyGroup() const { return m_policies; }
    KPreviewPage *preview() const { return m_preview; }
    QAbstractButton *okButton() const { return m_ok; }

    static QString degreeSign();

public slots:
    void onWatermarkItemStateChanged(bool selected);
    void onEditingFinished();
    void onWatermarkSizeBtnClicked(QAbstractButton *button);
    void onWatermarkPolicyBtnClicked(QAbstractButton *button);
    // For menu actions carrying an integer "policy" or "size" property.
    void onActionTrigger();
    void onColorChanged(const QColor &color);
    void onSliderReleased();
    void onOkButtonClicked();

signals:
    void okButtonClicked();

private:
    class QWidget *buildControls();
    QLabel *label(const QString &text);
    void takeText();
    void takeRotate();
    void takeOpacity(int value);
    void refresh();

    WatermarkSetting m_setting;
    KPreviewPage *m_preview = nullptr;
    QLineEdit *m_text = nullptr;
    QLineEdit *m_rotate = nullptr;
    KColorCombobox *m_color = nullptr;
    QSlider *m_opacity = nullptr;
    QSpinBox *m_opacityEdit = nullptr;
    QList<KWatermarkStyleItem *> m_styles;
    QButtonGroup *m_sizes = nullptr;
    QButtonGroup *m_policies = nullptr;
    QAbstractButton *m_ok = nullptr;
};

// Edits the stored custom watermark; "Ok" stores and saves it, closing discards the edits.
class KWatermarkOptionDlg : public KOptionFrameDialog
{
    Q_OBJECT
public:
    // The setting starts as the stored custom watermark.
    KWatermarkOptionDlg(QWidget *parent, const QImage &page);
    KWatermarkOptionDlg(QWidget *parent, const QImage &page, const WatermarkSetting &setting);

    KWatermarkCliectWidget *client() const;
    // Whether the last confirmation reached the data file.
    bool savedToDisk() const { return m_saved; }

protected:
    KFrameTitleBar *createTitleBar() override;
    KFrameClientWidget *createClientWidget() override;

private slots:
    void onConfirmed();

private:
    QImage m_page;
    WatermarkSetting m_setting;
    bool m_saved = false;
};
