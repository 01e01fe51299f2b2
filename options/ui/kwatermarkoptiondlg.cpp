#include "kwatermarkoptiondlg.h"

#include "koptionsui.h"
#include "kpreviewpage.h"
#include "kwatermarkstyleitem.h"

#include <kexportpictruemgr.h>
#include <klitespinbox.h>
#include <klitestyle.h>

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const char *const kStyleIcons[] = {"textonly", "triangle-rightangle", "triangle-isosceles",
                                   "rectangle", "circle", "ellipse"};

QString defaultText()
{
    return WatermarkSetting().text();
}

QString editStyleSheet()
{
    return QStringLiteral("QLineEdit{font-family:'Microsoft YaHei';font-size:%1px;color:#333333;border:1px solid #CDCDCD;"
                          "border-radius:%2px;padding-left:%3px;background:#ffffff;}QLineEdit:focus{border-color:#6E9BEF;}")
        .arg(KLiteStyle::dpiScaled(12))
        .arg(KLiteStyle::dpiScaled(2))
        .arg(KLiteStyle::dpiScaled(8));
}

} // namespace

KWatermarkOptionDlgTitle::KWatermarkOptionDlgTitle(QWidget *parent)
    : KOptionTitleBar(parent)
{
}

QString KWatermarkCliectWidget::degreeSign()
{
    return QString(QChar(0x00B0));
}

KWatermarkCliectWidget::KWatermarkCliectWidget(const QImage &page, const WatermarkSetting &setting, QWidget *parent)
    : KFrameClientWidget(parent)
    , m_setting(setting)
{
    m_preview = new KPreviewPage(this);
    m_preview->setObjectName(QStringLiteral("preview"));
    m_preview->setMinimumWidth(KLiteStyle::dpiScaled(360));
    m_preview->setStyleSheet(QString());
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(KLiteStyle::dpiScaled(QMargins(16, 0, 24, 20)));
    row->setSpacing(KLiteStyle::dpiScaled(20));
    row->addWidget(m_preview, 1);
    row->addWidget(buildControls());
    m_preview->setPageImage(page);
    m_preview->setWatermark(m_setting);
}

QLabel *KWatermarkCliectWidget::label(const QString &text)
{
    auto *l = new QLabel(text, this);
    l->setStyleSheet(QStringLiteral("QLabel{font-family:'Microsoft YaHei'; color:#666666;font-size:%1px;}")
                         .arg(KLiteStyle::dpiScaled(12)));
    return l;
}

QWidget *KWatermarkCliectWidget::buildControls()
{
    auto *panel = new QWidget(this);
    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(KLiteStyle::dpiScaled(12));
    grid->setVerticalSpacing(KLiteStyle::dpiScaled(12));
    const QSize editSize = KLiteStyle::dpiScaled(QSize(290, 32));
    int line = 0;

    m_text = new QLineEdit(m_setting.text(), panel);
    m_text->setObjectName(QStringLiteral("text"));
    m_text->setFixedSize(editSize);
    m_text->setStyleSheet(editStyleSheet());
    m_text->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("^.{0,30}$")), m_text));
    connect(m_text, &QLineEdit::editingFinished, this, &KWatermarkCliectWidget::onEditingFinished);
    grid->addWidget(label(tr("text")), line, 0);
    grid->addWidget(m_text, line++, 1);

    m_color = new KColorCombobox(panel);
    m_color->setFixedSize(editSize);
    m_color->setColor(m_setting.color());
    connect(m_color, &KColorCombobox::colorChanged, this, &KWatermarkCliectWidget::onColorChanged);
    grid->addWidget(label(tr("color")), line, 0);
    grid->addWidget(m_color, line++, 1);

    m_opacity = new QSlider(Qt::Horizontal, panel);
    m_opacity->setRange(0, 100);
    // Rounded, so an opacity stored from the slider comes back to the same tick.
    m_opacity->setValue(qRound(m_setting.opacity() * 100));
    m_opacityEdit = new KLiteSpinBox(panel);
    m_opacityEdit->setRange(0, 100);
    m_opacityEdit->setValue(m_opacity->value());
    m_opacityEdit->setFixedSize(KLiteStyle::dpiScaled(QSize(64, 24)));
    m_opacity->setFixedSize(editSize.width() - m_opacityEdit->width() - KLiteStyle::dpiScaled(8),
                            KLiteStyle::dpiScaled(24));
    connect(m_opacity, &QSlider::sliderReleased, this, &KWatermarkCliectWidget::onSliderReleased);
    connect(m_opacity, &QSlider::valueChanged, this, [this](int value) {
        m_opacityEdit->setValue(value);
        if (!m_opacity->isSliderDown()) // keys and clicks on the groove
            takeOpacity(value);
    });
    connect(m_opacityEdit, &QSpinBox::editingFinished, this, [this] {
        m_opacity->setValue(m_opacityEdit->value());
        takeOpacity(m_opacityEdit->value());
    });
    auto *opacityRow = new QHBoxLayout;
    opacityRow->setSpacing(KLiteStyle::dpiScaled(8));
    opacityRow->addWidget(m_opacity);
    opacityRow->addWidget(m_opacityEdit);
    grid->addWidget(label(tr("opacity")), line, 0);
    grid->addLayout(opacityRow, line++, 1);

    auto *tiles = new QGridLayout;
    tiles->setSpacing(KLiteStyle::dpiScaled(8));
    for (int style = 0; style < 6; ++style) {
        auto *item = new KWatermarkStyleItem(QString::fromLatin1(kStyleIcons[style]), panel);
        item->setProperty("style", style);
        item->setSelected(style == m_setting.style());
        connect(item, &KWatermarkStyleItem::selecteStateChanged, this,
                &KWatermarkCliectWidget::onWatermarkItemStateChanged);
        tiles->addWidget(item, style / 3, style % 3);
        m_styles.append(item);
    }
    grid->addWidget(label(tr("style")), line, 0, Qt::AlignTop);
    grid->addLayout(tiles, line++, 1);

    m_rotate = new QLineEdit(QStringLiteral("%1%2").arg(m_setting.rotate()).arg(degreeSign()), panel);
    m_rotate->setObjectName(QStringLiteral("rotate"));
    m_rotate->setFixedSize(editSize);
    m_rotate->setStyleSheet(editStyleSheet());
    m_rotate->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^(([0-9]{0,1})|([1-9][0-9])|([1-2][0-9]{2})|(3[0-5][0-9])|360)%1$")
                               .arg(degreeSign())),
        m_rotate));
    connect(m_rotate, &QLineEdit::editingFinished, this, &KWatermarkCliectWidget::onEditingFinished);
    grid->addWidget(label(tr("rotate")), line, 0);
    grid->addWidget(m_rotate, line++, 1);

    auto addChoices = [&](QButtonGroup *group, const QList<QPair<QString, int>> &choices, int current) {
        auto *box = new QHBoxLayout;
        for (const auto &choice : choices) {
            auto *button = new QRadioButton(choice.first, panel);
            button->setStyleSheet(QStringLiteral("QRadioButton{font-family:'Microsoft YaHei';color:#333333;font-size:%1px;}")
                                      .arg(KLiteStyle::dpiScaled(12)));
            button->setChecked(choice.second == current);
            group->addButton(button, choice.second);
            box->addWidget(button);
        }
        box->addStretch(1);
        return box;
    };
    m_sizes = new QButtonGroup(this);
    grid->addWidget(label(tr("size")), line, 0);
    grid->addLayout(addChoices(m_sizes, {{tr("large"), 2}, {tr("mid"), 1}, {tr("small"), 0}}, m_setting.size()), line++, 1);
    connect(m_sizes, QOverload<QAbstractButton *>::of(&QButtonGroup::buttonClicked), this,
            &KWatermarkCliectWidget::onWatermarkSizeBtnClicked);
    m_policies = new QButtonGroup(this);
    grid->addWidget(label(tr("tile")), line, 0);
    grid->addLayout(addChoices(m_policies, {{tr("yes"), 1}, {tr("no"), 0}}, m_setting.policy()), line++, 1);
    connect(m_policies, QOverload<QAbstractButton *>::of(&QButtonGroup::buttonClicked), this,
            &KWatermarkCliectWidget::onWatermarkPolicyBtnClicked);

    grid->setRowStretch(line++, 1);
    auto *ok = new QPushButton(tr("Ok"), panel);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setStyleSheet(koptionsui::okButtonStyleSheet());
    ok->setFixedSize(KLiteStyle::dpiScaled(QSize(80, 32)));
    ok->setCursor(Qt::PointingHandCursor);
    connect(ok, &QPushButton::clicked, this, &KWatermarkCliectWidget::onOkButtonClicked);
    grid->addWidget(ok, line, 1, Qt::AlignRight);
    m_ok = ok;
    return panel;
}

void KWatermarkCliectWidget::refresh()
{
    m_preview->setWatermark(m_setting);
}

void KWatermarkCliectWidget::takeText()
{
    if (m_text->text().isEmpty())
        m_text->setText(defaultText());
    if (m_text->text() == m_setting.text())
        return;
    m_setting.setText(m_text->text());
    refresh();
}

void KWatermarkCliectWidget::takeRotate()
{
    QString text = m_rotate->text();
    if (text.endsWith(degreeSign()))
        text.chop(1);
    const int angle = text.toInt(); // only the sign left means 0
    if (angle == m_setting.rotate())
        return;
    m_setting.setRotate(angle);
    refresh();
}

void KWatermarkCliectWidget::takeOpacity(int value)
{
    const double opacity = double(value) / m_opacity->maximum();
    if (qFuzzyCompare(opacity + 1, m_setting.opacity() + 1))
        return;
    m_setting.setOpacity(opacity);
    refresh();
}

void KWatermarkCliectWidget::onEditingFinished()
{
    if (sender() == m_text)
        takeText();
    else if (sender() == m_rotate)
        takeRotate();
}

void KWatermarkCliectWidget::onWatermarkItemStateChanged(bool selected)
{
    auto *item = qobject_cast<KWatermarkStyleItem *>(sender());
    if (!selected || !item)
        return;
    for (KWatermarkStyleItem *other : qAsConst(m_styles)) {
        if (other != item)
            other->setSelected(false);
    }
    m_setting.setStyle(m_styles.indexOf(item));
    refresh();
}

void KWatermarkCliectWidget::onWatermarkSizeBtnClicked(QAbstractButton *button)
{
    m_setting.setSize(m_sizes->id(button));
    refresh();
}

void KWatermarkCliectWidget::onWatermarkPolicyBtnClicked(QAbstractButton *button)
{
    m_setting.setPolicy(m_policies->id(button));
    refresh();
}

void KWatermarkCliectWidget::onActionTrigger()
{
    const QObject *action = sender();
    if (!action)
        return;
    bool ok = false;
    const int policy = action->property("policy").toInt(&ok);
    QButtonGroup *group = m_policies;
    int value = policy;
    if (!ok) {
        value = action->property("size").toInt(&ok);
        group = m_sizes;
    }
    if (!ok)
        return;
    if (group == m_policies)
        m_setting.setPolicy(value);
    else
        m_setting.setSize(value);
    if (QAbstractButton *button = group->button(value))
        button->setChecked(true);
    refresh();
}

void KWatermarkCliectWidget::onColorChanged(const QColor &color)
{
    if (!color.isValid() || color == m_setting.color())
        return;
    m_setting.setColor(color);
    refresh();
}

void KWatermarkCliectWidget::onSliderReleased()
{
    takeOpacity(m_opacity->value());
}

void KWatermarkCliectWidget::onOkButtonClicked()
{
    // Fields still being edited count as finished.
    if (m_rotate->text() == degreeSign())
        m_rotate->setText(QStringLiteral("0%1").arg(degreeSign()));
    m_opacityEdit->clearFocus();
    m_opacity->setValue(m_opacityEdit->value());
    takeOpacity(m_opacity->value());
    takeText();
    takeRotate();
    emit okButtonClicked();
}

KWatermarkOptionDlg::KWatermarkOptionDlg(QWidget *parent, const QImage &page)
    : KWatermarkOptionDlg(parent, page, KExportPictrueMgr::instance()->customWatermark())
{
}

KWatermarkOptionDlg::KWatermarkOptionDlg(QWidget *parent, const QImage &page, const WatermarkSetting &setting)
    : KOptionFrameDialog(parent)
    , m_page(page)
    , m_setting(setting)
{
    koptionsui::ensureTheme();
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Custom Watermark"));
    setBoxShadow(QColor(0, 0, 0, 58), KLiteStyle::dpiScaled(27), KLiteStyle::dpiScaled(3));
    setFixedClientSize(QSize(800, 520));
}

KWatermarkCliectWidget *KWatermarkOptionDlg::client() const
{
    return static_cast<KWatermarkCliectWidget *>(clientWidget());
}

KFrameTitleBar *KWatermarkOptionDlg::createTitleBar()
{
    auto *bar = new KWatermarkOptionDlgTitle(this);
    connect(bar, &KOptionTitleBar::rejectRequested, this, &KOptionFrameDialog::reject);
    return bar;
}

KFrameClientWidget *KWatermarkOptionDlg::createClientWidget()
{
    auto *client = new KWatermarkCliectWidget(m_page, m_setting, this);
    connect(client, &KWatermarkCliectWidget::okButtonClicked, this, &KWatermarkOptionDlg::onConfirmed);
    return client;
}

void KWatermarkOptionDlg::onConfirmed()
{
    m_setting = client()->setting();
    m_saved = KExportPictrueMgr::instance()->setCustomWatermark(m_setting);
    if (!m_saved)
        qWarning("ktavro: the custom watermark is kept for this session but could not be saved");
    accept();
}
