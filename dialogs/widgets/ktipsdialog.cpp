#include "ktipsdialog.h"

#include <klitestyle.h>

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Measures before DPI scaling.
const int kShadow = 10;
const int kBaseWidth = 456;
const int kHeight = 210;
const int kCardRadius = 4;
const int kSideMargin = 24;
const int kBottomMargin = 20;
const int kTopMargin = 20;
const int kCloseMargin = 10;
const int kCloseSize = 16;
const int kCloseGap = 8;
const int kIconSize = 32;
const int kIconSpacing = 12;
const int kTitlePixelSize = 24;
const int kTextPixelSize = 14;
const int kButtonPixelSize = 12;
const int kButtonPadding = 3;
const int kButtonHeight = 32;
const int kButtonWidth = 96;
const int kWideButtonWidth = 124;
const int kButtonSpacing = 10;
const int kRowSpacing = 8;
const int kShadowAlpha = 60;

const char kPictureRoot[] = ":/kexportpic/tips/";

struct ButtonKind
{
    int bit;
    const char *text;
    int result;
    bool filled;
    int width;
};

// Display order; it differs from bit order on purpose (Ok sits right after Yes).
const ButtonKind kButtonOrder[] = {
    {KTipsDialog::YesButton, QT_TRANSLATE_NOOP("KTipsDialog", "Yes(&Y)"), KTipsDialog::ResultYes, true, kButtonWidth},
    {KTipsDialog::OkButton, QT_TRANSLATE_NOOP("KTipsDialog", "Ok(&O)"), KTipsDialog::ResultOk, true, kButtonWidth},
    {KTipsDialog::NoButton, QT_TRANSLATE_NOOP("KTipsDialog", "No(&N)"), KTipsDialog::ResultNo, false, kButtonWidth},
    {KTipsDialog::OpenButton, QT_TRANSLATE_NOOP("KTipsDialog", "Open(&O)"), KTipsDialog::ResultOpen, true, kButtonWidth},
    {KTipsDialog::OpenPathButton, QT_TRANSLATE_NOOP("KTipsDialog", "Open Path(&F)"), KTipsDialog::ResultOpenPath, false,
     kWideButtonWidth},
    {KTipsDialog::LoginButton, QT_TRANSLATE_NOOP("KTipsDialog", "Login"), KTipsDialog::ResultLogin, true, kButtonWidth},
    {KTipsDialog::ContinueOutputButton, QT_TRANSLATE_NOOP("KTipsDialog", "Continue Output"),
     KTipsDialog::ResultContinueOutput, true, kButtonWidth},
    {KTipsDialog::CancelOutputButton, QT_TRANSLATE_NOOP("KTipsDialog", "Cancel Output"),
     KTipsDialog::ResultCancelOutput, false, kButtonWidth},
};

int scaled(int value)
{
    return KLiteStyle::dpiScaled(value);
}

QFont uiFont(int pixelSize)
{
    QFont font(QString::fromLatin1("Microsoft YaHei")); // not a literal: Qt's font cache outlives the module
    font.setPixelSize(scaled(pixelSize));
    return font;
}

QString picturePath(const char *name)
{
    return QLatin1String(kPictureRoot) + QLatin1String(name);
}

QString buttonStyle(bool filled)
{
    const QString sheet = QStringLiteral("QPushButton { background: %1; color: %2; border: %3; border-radius: %4px; }"
                                         "QPushButton:hover { background: %5; }"
                                         "QPushButton:pressed { background: %6; }");
    const int radius = scaled(2);
    if (filled)
        return sheet.arg("#4A90E2", "#ffffff", "none").arg(radius).arg("#64A3F3", "#4585D7");
    const QString border = QStringLiteral("%1px solid #cccccc").arg(scaled(1));
    return sheet.arg("#ffffff", "#424242", border).arg(radius).arg("#f5f5f5", "#eaeaea");
}

// The given width, or more when a translation would not fit into it.
int buttonWidth(const QPushButton *button, int width)
{
    const QString shown = QString(button->text()).remove(QLatin1Char('&'));
    const int needed = button->fontMetrics().horizontalAdvance(shown) + 2 * scaled(kButtonPadding);
    return qMax(scaled(width), needed);
}

QString closeStyle()
{
    return QStringLiteral("QPushButton { border: none; border-image: url(%1); }"
                          "QPushButton:hover, QPushButton:pressed { border-image: url(%2); }")
        .arg(picturePath("close-normal.png"), picturePath("close-hover.png"));
}

} // namespace

class KTipsDialogPrivate
{
public:
    int width = 0; // before scaling
    QPoint dragOffset;
    bool dragging = false;

    QRect cardRect(const QRect &whole) const
    {
        const int shadow = scaled(kShadow);
        return whole.adjusted(shadow, shadow, -shadow, -shadow);
    }
};

KTipsDialog::KTipsDialog(QWidget *parent, const QString &title, const QString &text, int buttonMask, int iconKind,
                         int extraWidth)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , d(new KTipsDialogPrivate)
{
    // A narrower window than the base one would squeeze the buttons into each other.
    d->width = kBaseWidth + qMax(0, extraWidth);
    setModal(true);
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(scaled(d->width), scaled(kHeight));
    setFont(uiFont(kTextPixelSize));

    auto *body = new QVBoxLayout(this);
    const int side = scaled(kShadow + kSideMargin);
    body->setContentsMargins(side, scaled(kShadow + kTopMargin), side, scaled(kShadow + kBottomMargin));
    body->setSpacing(scaled(kRowSpacing));
    body->addLayout(buildHead(title, iconKind));
    body->addWidget(buildText(text), 1);
    body->addLayout(buildButtonRow(buttonMask));
    addCloseButton();
}

KTipsDialog::~KTipsDialog() = default;

int KTipsDialog::showTips(QWidget *parent, const QString &title, const QString &text, int *buttonMask, int *iconKind,
                          int extraWidth)
{
    // A message without a stated mask only needs acknowledging; without a kind it is a plain tip.
    const int mask = buttonMask ? *buttonMask : OkButton;
    const int kind = iconKind ? *iconKind : TipsIcon;
    // On the heap: the parent may go away while the message waits, taking the dialog with it.
    QPointer<KTipsDialog> dialog = new KTipsDialog(parent, title, text, mask, kind, extraWidth);
    const int result = dialog->exec();
    if (!dialog)
        return ResultClosed;
    delete dialog;
    return result;
}

void KTipsDialog::onClose()
{
    done(ResultClosed);
}

// Escape and the window manager's close end up here; both mean the same as the close button.
void KTipsDialog::reject()
{
    onClose();
}

// Kept out of the layout: a row of its own would take height the text needs.
void KTipsDialog::addCloseButton()
{
    auto *close = new QPushButton(this);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setFixedSize(scaled(kCloseSize), scaled(kCloseSize));
    close->move(width() - scaled(kShadow + kCloseMargin + kCloseSize), scaled(kShadow + kCloseMargin));
    close->setFocusPolicy(Qt::NoFocus);
    close->setCursor(Qt::PointingHandCursor);
    close->setStyleSheet(closeStyle());
    connect(close, &QPushButton::clicked, this, &KTipsDialog::onClose);
}

QLayout *KTipsDialog::buildHead(const QString &title, int iconKind)
{
    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("iconLabel"));
    icon->setFixedSize(scaled(kIconSize), scaled(kIconSize));
    icon->setScaledContents(true);
    icon->setPixmap(QPixmap(picturePath(iconKind == CompleteIcon ? "complete.png" : "tips.png")));

    // Elided so that a long translation cannot run under the close button or off the card.
    const QFont titleFont = uiFont(kTitlePixelSize);
    const int titleRight = kShadow + kCloseMargin + kCloseSize + kCloseGap;
    const int titleWidth = scaled(d->width - kShadow - kSideMargin - kIconSize - kIconSpacing - titleRight);
    const QString shown = QFontMetrics(titleFont).elidedText(title, Qt::ElideRight, titleWidth);
    auto *titleLabel = new QLabel(shown, this);
    titleLabel->setObjectName(QStringLiteral("titleLabel"));
    titleLabel->setTextFormat(Qt::PlainText);
    titleLabel->setFont(titleFont);
    titleLabel->setStyleSheet(QStringLiteral("color: #424242;"));
    if (shown != title)
        titleLabel->setToolTip(title);

    auto *head = new QHBoxLayout;
    head->setContentsMargins(0, 0, scaled(titleRight - kShadow - kSideMargin), 0);
    head->setSpacing(scaled(kIconSpacing));
    head->addWidget(icon);
    head->addWidget(titleLabel, 1);
    return head;
}

QWidget *KTipsDialog::buildText(const QString &text)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(QStringLiteral("textLabel"));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    label->setStyleSheet(QStringLiteral("color: #666666;"));
    // Ignored: an unbreakable word (a long path) must not widen the fixed window's layout.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
    connect(label, &QLabel::linkActivated, this, &KTipsDialog::linkActivated);

    return label;
}

QLayout *KTipsDialog::buildButtonRow(int buttonMask)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(scaled(kButtonSpacing));
    row->addStretch();
    const QFont buttonFont = uiFont(kButtonPixelSize);
    for (const ButtonKind &kind : kButtonOrder) {
        if (!(buttonMask & kind.bit))
            continue;
        auto *button = new QPushButton(tr(kind.text), this);
        button->setFont(buttonFont);
        button->setFixedSize(buttonWidth(button, kind.width), scaled(kButtonHeight));
        button->setCursor(Qt::PointingHandCursor);
        button->setStyleSheet(buttonStyle(kind.filled));
        const int result = kind.result;
        connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
        row->addWidget(button);
    }
    return row;
}

void KTipsDialog::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = d->cardRect(rect());
    const qreal radius = scaled(kCardRadius);
    // Rings fading outwards give a soft edge without a blur pass.
    const int shadow = scaled(kShadow);
    painter.setBrush(Qt::NoBrush);
    for (int ring = 1; ring <= shadow; ++ring) {
        const qreal fade = 1.0 - qreal(ring) / (shadow + 1);
        painter.setPen(QPen(QColor(0, 0, 0, qRound(kShadowAlpha * fade * fade)), 1));
        const qreal grow = ring - 0.5;
        painter.drawRoundedRect(card.adjusted(-grow, -grow, grow, grow), radius + grow, radius + grow);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(card, radius, radius);
}

// Without a window frame the card itself is the handle for moving the message.
void KTipsDialog::mousePressEvent(QMouseEvent *event)
{
    d->dragging = event->button() == Qt::LeftButton && d->cardRect(rect()).contains(event->pos());
    if (d->dragging)
        d->dragOffset = event->globalPos() - frameGeometry().topLeft();
    QDialog::mousePressEvent(event);
}

void KTipsDialog::mouseMoveEvent(QMouseEvent *event)
{
    if (d->dragging && (event->buttons() & Qt::LeftButton))
        move(event->globalPos() - d->dragOffset);
    QDialog::mouseMoveEvent(event);
}

void KTipsDialog::mouseReleaseEvent(QMouseEvent *event)
{
    d->dragging = false;
    QDialog::mouseReleaseEvent(event);
}
