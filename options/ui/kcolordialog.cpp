#include "kcolordialog.h"

#include "kcolormodel.h"
#include "kcolorpickers.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QWidget *headed(QWidget *body, QWidget *buddy, QWidget *parent)
{
    auto *page = new QWidget(parent);
    auto *column = new QVBoxLayout(page);
    auto *heading = new QLabel(KColorDialog::tr("&Colors:"), page);
    heading->setBuddy(buddy);
    column->addWidget(heading);
    column->addWidget(body, 1);
    return page;
}

// Hue and saturation on the 0..255 scale, the way the plane and the bar speak of them.
void hsl255(const QColor &color, int *hue, int *saturation, int *lightness)
{
    const QColor hsl = color.toHsl();
    *hue = hsl.hslHueF() < 0 ? 0 : qRound(hsl.hslHueF() * 255);
    *saturation = qRound(hsl.hslSaturationF() * 255);
    *lightness = qRound(hsl.lightnessF() * 255);
}

} // namespace

KColorDialog::KColorDialog(const QColor &initial, QWidget *parent)
    : QDialog(parent)
{
    setModal(true);
    setSizeGripEnabled(true);
    setWindowTitle(tr("Colors"));

    m_tabs = new QTabWidget(this);
    m_tabs->addTab(standardTab(), tr("Standard"));
    m_tabs->addTab(customTab(), tr("Custom"));
    m_tabs->addTab(advancedTab(), tr("Advanced"));
    m_alpha = new KAlphaPanel(this);
    connect(m_alpha, &KAlphaPanel::valueChanged, this, &KColorDialog::alphaValueChanged);

    auto *left = new QVBoxLayout;
    left->addWidget(m_tabs, 1);
    left->addWidget(m_alpha);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_swatch = new KDualColors(this);
    auto *right = new QVBoxLayout;
    right->addWidget(buttons);
    right->addStretch(1);
    right->addWidget(new QLabel(tr("New"), this), 0, Qt::AlignHCenter);
    right->addWidget(m_swatch, 0, Qt::AlignHCenter);
    right->addWidget(new QLabel(tr("Current"), this), 0, Qt::AlignHCenter);

    auto *main = new QHBoxLayout(this);
    main->addLayout(left, 1);
    main->addLayout(right);

    for (QObject *picker : {static_cast<QObject *>(m_hex), static_cast<QObject *>(m_hs),
                            static_cast<QObject *>(m_l)}) {
        connect(picker, SIGNAL(validDblClick()), this, SLOT(accept()));
    }

    if (initial.isValid()) {
        QColor opaque = initial;
        opaque.setAlpha(255);
        m_swatch->setCurrrentColor(opaque);
        // The transparency that gives back the initial alpha.
        m_alpha->setValue(qRound((255 - initial.alpha()) * 100 / 255.0));
        showNewColor(opaque, nullptr);
    } else {
        showNewColor(Qt::white, nullptr);
    }
}

QWidget *KColorDialog::standardTab()
{
    m_hex = new KHexColorPicker;
    connect(m_hex, &KHexColorPicker::selectColor, this, &KColorDialog::setNewColor_HexPicker);
    auto *body = new QWidget;
    auto *row = new QHBoxLayout(body);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_hex, 0, Qt::AlignTop);
    row->addStretch(1);
    return headed(body, m_hex, m_tabs);
}

QWidget *KColorDialog::customTab()
{
    m_hs = new KHSPicker;
    m_l = new KLPicker;
    m_shower = new KColorShower;
    connect(m_hs, &KHSPicker::newCol, this, [this](int hue, int saturation) {
        int h, s, l;
        hsl255(m_new, &h, &s, &l);
        newHsl_LPicker(hue, saturation, l);
    });
    connect(m_l, &KLPicker::newHsl, this, &KColorDialog::newHsl_LPicker);
    connect(m_shower, &KColorShower::currentColorChancsbSecondValue, this, &KColorDialog::setNewColor_Shower);
    auto *body = new QWidget;
    auto *grid = new QVBoxLayout(body);
    grid->setContentsMargins(0, 0, 0, 0);
    auto *pickers = new QHBoxLayout;
    pickers->addWidget(m_hs, 1);
    pickers->addWidget(m_l);
    grid->addLayout(pickers, 1);
    grid->addWidget(m_shower);
    return headed(body, m_hs, m_tabs);
}

QWidget *KColorDialog::advancedTab()
{
    m_circle = new KColorCircleHsv;
    m_advancedShower = new KColorShower;
    connect(m_circle, &KColorCircleHsv::colorChanged, this, &KColorDialog::setNewColor_ColorCircle);
    connect(m_advancedShower, &KColorShower::currentColorChancsbSecondValue, this,
            &KColorDialog::setNewColor_Shower);
    auto *body = new QWidget;
    auto *column = new QVBoxLayout(body);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_circle, 1);
    column->addWidget(m_advancedShower);
    return headed(body, m_circle, m_tabs);
}

QColor KColorDialog::selectedColor() const
{
    QColor color = m_new;
    color.setAlpha(kcolor::transparencyToAlpha(m_alpha->value()));
    return color;
}

void KColorDialog::showNewColor(const QColor &color, QObject *source)
{
    m_new = color;
    m_new.setAlpha(255);
    int h, s, l;
    hsl255(m_new, &h, &s, &l);
    if (source != m_hex)
        m_hex->setSelColor(m_new);
    if (source != m_hs)
        m_hs->setCol(h, s);
    m_l->setCol(h, s);
    m_l->setLightness(l);
    const QRgb shown = selectedColor().rgba();
    if (source != m_shower)
        m_shower->setRgb(shown);
    if (source != m_advancedShower)
        m_advancedShower->setRgb(shown);
    if (source != m_circle) {
        const QSignalBlocker block(m_circle);
        m_circle->setColor(m_new);
    }
    m_swatch->setNewColor(m_new);
}

void KColorDialog::setNewColor_HexPicker(const QColor &color)
{
    showNewColor(color, m_hex);
}

void KColorDialog::newHsl_LPicker(int hue, int saturation, int lightness)
{
    const QColor color = QColor::fromHslF(qMin(hue, 255) / 255.0, saturation / 255.0, lightness / 255.0);
    showNewColor(color, sender() == m_l ? static_cast<QObject *>(m_l) : m_hs);
}

void KColorDialog::setNewColor_Shower(const QColor &color)
{
    // The alpha field and the transparency describe the same value.
    if (color.alpha() != selectedColor().alpha()) {
        const QSignalBlocker block(m_alpha);
        m_alpha->setValue(qRound((255 - color.alpha()) * 100 / 255.0));
    }
    showNewColor(color, sender());
}

void KColorDialog::alphaValueChanged(int)
{
    const QRgb shown = selectedColor().rgba();
    m_shower->setRgb(shown);
    m_advancedShower->setRgb(shown);
}

void KColorDialog::setNewColor_ColorCircle(const QColor &color)
{
    showNewColor(color, m_circle);
}

QColor KColorDialog::getColor(const QColor &initial, QWidget *parent, const QString &title)
{
    KColorDialog dialog(initial, parent);
    if (!title.isEmpty())
        dialog.setWindowTitle(title);
    if (dialog.exec() != QDialog::Accepted)
        return QColor();
    return dialog.selectedColor();
}
