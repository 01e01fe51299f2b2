#include "koptionframe.h"

#include <klitestyle.h>

#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLayout>

KOptionTitleBar::KOptionTitleBar(QWidget *parent)
    : KFrameTitleBar(parent)
{
    setTitleBarFlags(KFrame::CloseButton);
    action(KFrame::CloseButton)
        ->setIconNames(QStringLiteral("popup-dlg-close;popup-dlg-close-hover;popup-dlg-close-click"));
}

void KOptionTitleBar::onCloseButtonClicked()
{
    emit rejectRequested();
}

KOptionFrameDialog::KOptionFrameDialog(QWidget *parent)
    : KFrameWindow(parent)
{
    setWindowFlag(Qt::Window);
    setWindowModality(Qt::WindowModal);
    setResizable(false);
    setTitleBarFlags(KFrame::CloseButton);
}

KOptionFrameDialog::~KOptionFrameDialog()
{
    if (m_loop)
        m_loop->exit(Rejected);
}

void KOptionFrameDialog::setFixedContentSize(const QSize &size)
{
    m_fixedSize = size;
    m_fixedIsClient = false;
    applyFixedSize();
}

void KOptionFrameDialog::setFixedClientSize(const QSize &size)
{
    m_fixedSize = size;
    m_fixedIsClient = true;
    applyFixedSize();
}

void KOptionFrameDialog::applyFixedSize()
{
    if (m_fixedSize.isEmpty())
        return;
    QSize size = KLiteStyle::dpiScaled(m_fixedSize);
    const QMargins shadow = isShadowShown() ? boxShadow().margins() : QMargins();
    if (m_fixedIsClient) {
        initUi();
        const QMargins border = frameMargins() - shadow;
        size += QSize(border.left() + border.right(), border.top() + border.bottom() + titleBar()->sizeHint().height());
    }
    size += QSize(shadow.left() + shadow.right(), shadow.top() + shadow.bottom());
    // Texts longer than the measures were made for widen the window rather than being cut.
    if (layout()) {
        layout()->activate();
        size = size.expandedTo(layout()->totalMinimumSize());
    }
    setFixedSize(size);
}

void KOptionFrameDialog::showEvent(QShowEvent *event)
{
    applyFixedSize();
    KFrameWindow::showEvent(event);
}

int KOptionFrameDialog::exec()
{
    QEventLoop loop;
    m_loop = &loop;
    m_result = Rejected;
    show();
    return loop.exec();
}

void KOptionFrameDialog::accept()
{
    done(Accepted);
}

void KOptionFrameDialog::reject()
{
    done(Rejected);
}

void KOptionFrameDialog::done(int result)
{
    if (m_finishing)
        return;
    m_finishing = true;
    m_result = result;
    hide();
    if (m_loop)
        m_loop->exit(result);
    emit finished(result);
    emit result == Accepted ? accepted() : rejected();
    m_finishing = false;
    if (testAttribute(Qt::WA_DeleteOnClose))
        deleteLater();
}

void KOptionFrameDialog::closeEvent(QCloseEvent *event)
{
    // Closing by the window system counts as a rejection, like the title bar's close button.
    if (isVisible() && !m_finishing) {
        event->ignore();
        reject();
        return;
    }
    KFrameWindow::closeEvent(event);
}

void KOptionFrameDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    KFrameWindow::keyPressEvent(event);
}
