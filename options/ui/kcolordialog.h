#pragma once

#include <QColor>
#include <QDialog>

class KAlphaPanel;
class KColorCircleHsv;
class KColorShower;
class KDualColors;
class KHexColorPicker;
class KHSPicker;
class KLPicker;
class QTabWidget;

// The full colour dialog: preset grid, hue/saturation plane with lightness bar, colour wheel,
// numeric entry, transparency and a new/current swatch. Every picker feeds the others.
class KColorDialog : public QDialog
{
    Q_OBJECT
public:
    explicit KColorDialog(const QColor &initial, QWidget *parent = nullptr);

    // The chosen colour with the alpha of the transparency, or an invalid colour when
    // cancelled.
    static QColor getColor(const QColor &initial, QWidget *parent, const QString &title);

    // The colour accepting would return now.
    QColor selectedColor() const;
    QColor newColor() const { return m_new; }

    QTabWidget *tabs() const { return m_tabs; }
    KHexColorPicker *hexPicker() const { return m_hex; }
    KHSPicker *hsPicker() const { return m_hs; }
    KLPicker *lPicker() const { return m_l; }
    KColorShower *shower() const { return m_shower; }
    KColorCircleHsv *colorCircle() const { return m_circle; }
    KAlphaPanel *alphaPanel() const { return m_alpha; }
    KDualColors *swatch() const { return m_swatch; }

public slots:
    void setNewColor_HexPicker(const QColor &color);
    void newHsl_LPicker(int hue, int saturation, int lightness);
    void setNewColor_Shower(const QColor &color);
    void alphaValueChanged(int transparency);
    void setNewColor_ColorCircle(const QColor &color);

private:
    QWidget *standardTab();
    QWidget *customTab();
    QWidget *advancedTab();
    // Shows colour in every picker except the one it came from.
    void showNewColor(const QColor &color, QObject *source);

    QColor m_new;
    QTabWidget *m_tabs = nullptr;
    KHexColorPicker *m_hex = nullptr;
    KHSPicker *m_hs = nullptr;
    KLPicker *m_l = nullptr;
    KColorShower *m_shower = nullptr;
    KColorShower *m_advancedShower = nullptr;
    KColorCircleHsv *m_circle = nullptr;
    KAlphaPanel *m_alpha = nullptr;
    KDualColors *m_swatch = nullptr;
};
