#include "kexportcombobox.h"

#include "kexportwidgetstyle.h"

#include <krt.h>

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>

using namespace kexportwidgets;

namespace {
const int kRowHeight = 28;
const int kVisibleRows = 6;
const int kPadding = 8;
const QColor kText(0x42, 0x42, 0x42);

QString listStyle()
{
    return QStringLiteral("QListWidget{border:%1px solid #e0e0e0;background:#ffffff;outline:none;}"
                          "QListWidget::item{border:none;}"
                          "QListWidget::item:hover{background:#dee8f9;}"
                          "QListWidget::item:selected{background:#bbcdeb;}"
                          "QScrollBar:vertical{width:%2px;background:transparent;margin:0;}"
                          "QScrollBar::handle:vertical{background:#cccccc;border-radius:%3px;min-height:%4px;}"
                          "QScrollBar::add-line:vertical,QScrollBar::sub-line:vertical{height:0;}"
                          "QScrollBar::add-page:vertical,QScrollBar::sub-page:vertical{background:none;}")
        .arg(std::max(1, scaled(1)))
        .arg(scaled(6))
        .arg(scaled(3))
        .arg(scaled(20));
}
} // namespace

IExportComboBoxItem::IExportComboBoxItem(QWidget *parent)
    : QWidget(parent)
{
    setFont(uiFont(12));
    setAttribute(Qt::WA_TransparentForMouseEvents); // the list row takes the click
}

void IExportComboBoxItem::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(kText);
    p.setFont(font());
    p.drawText(rect().adjusted(scaled(kPadding), 0, -scaled(kPadding), 0), Qt::AlignVCenter | Qt::AlignLeft,
               fontMetrics().elidedText(text(), Qt::ElideRight, width() - 2 * scaled(kPadding)));
}

KPhotoFormatComboBoxItem::KPhotoFormatComboBoxItem(const QString &text, int formatIndex, QWidget *parent)
    : IExportComboBoxItem(parent)
    , m_text(text)
    , m_index(formatIndex)
{
}

QList<KPhotoFormatComboBoxItem *> KPhotoFormatComboBoxItem::standardItems()
{
    QList<KPhotoFormatComboBoxItem *> items;
    const char *names[] = {"JPG", "PNG", "BMP", "TIF"};
    for (int i = 0; i < 4; ++i)
        items << new KPhotoFormatComboBoxItem(QLatin1String(names[i]), i);
    return items;
}

KPhotoQualityComboBoxItem::KPhotoQualityComboBoxItem(PhotoQuality quality, QWidget *parent)
    : IExportComboBoxItem(parent)
    , m_quality(quality)
    , m_text(textFor(quality, editionShowsPercent()))
{
}

QString KPhotoQualityComboBoxItem::textFor(PhotoQuality quality, bool withPercent)
{
    switch (quality) {
    case Common:
        return withPercent ? tr("Common DEFN(100 percent)") : tr("Common DEFN");
    case Standard:
        return withPercent ? tr("Standard DEFN(200 percent)") : tr("Standard DEFN");
    case High:
        return withPercent ? tr("High DEFN(300 percent)") : tr("High DEFN");
    case Super:
        return withPercent ? tr("Super DEFN(600 percent)") : tr("Super DEFN");
    }
    return QString();
}

bool KPhotoQualityComboBoxItem::editionShowsPercent()
{
    const int edition = krt::product::versionID();
    return edition != 0 && edition != 5 && edition != 7;
}

KExportComboBox::KExportComboBox(QWidget *parent)
    : QWidget(parent)
    , m_popup(new QFrame(this, Qt::Popup | Qt::FramelessWindowHint))
    , m_list(new QListWidget(m_popup))
{
    setCursor(Qt::PointingHandCursor);
    setFont(uiFont(12));
    setFixedHeight(scaled(kRowHeight));
    auto *layout = new QVBoxLayout(m_popup);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    m_list->setStyleSheet(listStyle());
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setMouseTracking(true);
    connect(m_list, &QListWidget::itemClicked, this, &KExportComboBox::onItemClick);
    connect(m_list, &QListWidget::currentRowChanged, this, &KExportComboBox::onCurrentRowChanged);
}

KExportComboBox::~KExportComboBox() = default;

void KExportComboBox::addItem(IExportComboBoxItem *item)
{
    auto *row = new QListWidgetItem(m_list);
    row->setSizeHint(QSize(0, scaled(kRowHeight)));
    m_list->setItemWidget(row, item);
    if (m_list->count() == 1)
        m_list->setCurrentRow(0);
}

int KExportComboBox::count() const
{
    return m_list->count();
}

IExportComboBoxItem *KExportComboBox::item(int row) const
{
    QListWidgetItem *entry = m_list->item(row);
    return entry ? qobject_cast<IExportComboBoxItem *>(m_list->itemWidget(entry)) : nullptr;
}

int KExportComboBox::currentRow() const
{
    return m_list->currentRow();
}

void KExportComboBox::setCurrentRow(int row)
{
    if (row >= 0 && row < count())
        m_list->setCurrentRow(row);
}

void KExportComboBox::showPopup()
{
    if (!count())
        return;
    const int rows = std::min(count(), kVisibleRows);
    const int border = std::max(1, scaled(1));
    m_popup->resize(width(), rows * scaled(kRowHeight) + 2 * border);
    m_popup->move(mapToGlobal(QPoint(0, height())));
    m_popup->show();
    m_list->scrollToItem(m_list->currentItem());
}

void KExportComboBox::hidePopup()
{
    m_popup->hide();
}

QSize KExportComboBox::sizeHint() const
{
    return QSize(scaled(120), scaled(kRowHeight));
}

void KExportComboBox::onItemClick(QListWidgetItem *entry)
{
    if (entry)
        setCurrentRow(m_list->row(entry));
    hidePopup();
}

void KExportComboBox::onCurrentRowChanged(int row)
{
    update();
    emit currentRowChanged(row);
}

void KExportComboBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int border = std::max(1, scaled(1));
    const qreal half = border / 2.0;
    const bool active = m_hovered || m_popup->isVisible();
    p.setPen(QPen(active ? QColor(0x4a, 0x90, 0xe2) : QColor(0xcc, 0xcc, 0xcc), border));
    p.setBrush(isEnabled() ? Qt::white : QColor(0xf5, 0xf5, 0xf5));
    p.drawRoundedRect(QRectF(rect()).adjusted(half, half, -half, -half), scaled(2), scaled(2));

    const int arrow = scaled(16);
    const QRect arrowRect(width() - scaled(kPadding) - arrow, (height() - arrow) / 2, arrow, arrow);
    icon(QStringLiteral("down-arrow")).paint(&p, arrowRect);
    if (IExportComboBoxItem *current = currentItem()) {
        const QRect textRect(scaled(kPadding), 0, arrowRect.left() - 2 * scaled(kPadding), height());
        p.setPen(isEnabled() ? kText : QColor(0xaa, 0xaa, 0xaa));
        p.setFont(font());
        p.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                   fontMetrics().elidedText(current->text(), Qt::ElideRight, textRect.width()));
    }
}

void KExportComboBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_popup->isVisible() ? hidePopup() : showPopup();
    QWidget::mousePressEvent(event);
}

void KExportComboBox::enterEvent(QEvent *event)
{
    m_hovered = true;
    QWidget::enterEvent(event);
    update();
}

void KExportComboBox::leaveEvent(QEvent *event)
{
    m_hovered = false;
    QWidget::leaveEvent(event);
    update();
}

KPhotoQualityComboBox::KPhotoQualityComboBox(const QString &caption, QWidget *parent)
    : QWidget(parent)
    , m_caption(new QLabel(caption, this))
    , m_combo(new KExportComboBox(this))
{
    m_caption->setFont(uiFont(12));
    m_caption->setStyleSheet(QStringLiteral("color:#888888;"));
    for (int q = KPhotoQualityComboBoxItem::Common; q <= KPhotoQualityComboBoxItem::Super; ++q)
        m_combo->addItem(new KPhotoQualityComboBoxItem(KPhotoQualityComboBoxItem::PhotoQuality(q)));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(scaled(8));
    row->addWidget(m_caption);
    row->addWidget(m_combo, 1);
    connect(m_combo, &KExportComboBox::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            emit photoQualityChanged(KPhotoQualityComboBoxItem::PhotoQuality(row));
    });
}

KPhotoQualityComboBoxItem::PhotoQuality KPhotoQualityComboBox::quality() const
{
    return KPhotoQualityComboBoxItem::PhotoQuality(std::max(0, m_combo->currentRow()));
}

void KPhotoQualityComboBox::setQuality(KPhotoQualityComboBoxItem::PhotoQuality quality)
{
    m_combo->setCurrentRow(int(quality));
}
