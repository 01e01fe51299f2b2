#include "kexportlineedit.h"

#include "kexportwidgetstyle.h"

#include <kliteiconbutton.h>
#include <klitelineedit.h>

#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QPainter>

using namespace kexportwidgets;

namespace {
KExportLineEdit::FolderChooser g_chooser;

QString nativeFolder(QWidget *parent, const QString &title)
{
    return QFileDialog::getExistingDirectory(parent, title, QString(), QFileDialog::ShowDirsOnly);
}
} // namespace

KExportLineEdit::KExportLineEdit(QWidget *parent)
    : QWidget(parent)
    , m_edit(new KLiteLineEdit(this))
    , m_browse(new KLiteIconButton(this))
{
    m_edit->setFrameless(true);
    m_edit->installEventFilter(this);
    m_browse->setIcon(icon(QStringLiteral("browser")));
    m_browse->setIconSize(QSize(16, 16));
    m_browse->setFixedButtonSize(QSize(32, 28));
    m_browse->setCursor(Qt::PointingHandCursor);
    m_browse->setToolTip(tr("Browse"));
    auto *row = new QHBoxLayout(this);
    const int border = std::max(1, scaled(1));
    row->setContentsMargins(border, border, border, border);
    row->setSpacing(0);
    row->addWidget(m_edit, 1);
    row->addWidget(m_browse);
    setFixedHeight(scaled(28) + 2 * border);
    connect(m_browse, &QAbstractButton::clicked, this, &KExportLineEdit::onBrowseButtonClicked);
}

QString KExportLineEdit::text() const
{
    return m_edit->text();
}

void KExportLineEdit::setText(const QString &text)
{
    m_edit->setText(text);
    m_edit->setCursorPosition(0);
}

void KExportLineEdit::setFolderChooser(FolderChooser chooser)
{
    g_chooser = std::move(chooser);
}

// A cancelled choice leaves the path as it was: a bare separator would name the root folder.
void KExportLineEdit::onBrowseButtonClicked()
{
    const QString title = tr("save image");
    const QString folder = g_chooser ? g_chooser(this, title) : nativeFolder(this, title);
    if (folder.isEmpty())
        return;
    QString path = QDir::toNativeSeparators(folder);
    if (!path.endsWith(QDir::separator()))
        path += QDir::separator();
    emit selectPathFinished(path);
}

void KExportLineEdit::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int border = std::max(1, scaled(1));
    const bool active = m_hovered || m_edit->hasFocus();
    p.setPen(QPen(active ? QColor(0x4a, 0x90, 0xe2) : QColor(0xcc, 0xcc, 0xcc), border));
    p.setBrush(isEnabled() ? Qt::white : QColor(0xf5, 0xf5, 0xf5));
    const qreal half = border / 2.0;
    p.setRenderHint(QPainter::Antialiasing);
    p.drawRoundedRect(QRectF(rect()).adjusted(half, half, -half, -half), scaled(2), scaled(2));
}

void KExportLineEdit::enterEvent(QEvent *event)
{
    m_hovered = true;
    QWidget::enterEvent(event);
    update();
}

void KExportLineEdit::leaveEvent(QEvent *event)
{
    m_hovered = false;
    QWidget::leaveEvent(event);
    update();
}

bool KExportLineEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        update();
    return QWidget::eventFilter(watched, event);
}
