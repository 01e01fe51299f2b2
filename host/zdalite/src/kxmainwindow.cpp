#include "kxmainwindow.h"

#include <kunknown.h>
#include <kxapplication.h>

#include <QMdiSubWindow>
#include <QPointer>

namespace {
QPointer<KxMainWindow> g_mainWindow;
}

KMdiArea::KMdiArea(QWidget *parent)
    : QMdiArea(parent)
{
}

QMdiSubWindow *KMdiArea::currentSubWindow() const
{
    if (QMdiSubWindow *active = QMdiArea::currentSubWindow())
        return active;
    const QList<QMdiSubWindow *> windows = subWindowList(QMdiArea::ActivationHistoryOrder);
    return windows.isEmpty() ? nullptr : windows.last();
}

KxCoreView::KxCoreView(IKUnknown *document, QWidget *parent)
    : QWidget(parent)
    , m_document(document)
{
    if (m_document)
        m_document->AddRef();
}

KxCoreView::~KxCoreView()
{
    if (m_document)
        m_document->Release();
}

IKUnknown *KxCoreView::document() const
{
    if (m_document)
        m_document->AddRef();
    return m_document;
}

KMainWindow::KMainWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_mdiArea(new KMdiArea(this))
{
    setCentralWidget(m_mdiArea);
}

KMdiArea *KMainWindow::getMdiArea() const
{
    return m_mdiArea;
}

KxMainWindow::KxMainWindow(QWidget *parent)
    : KMainWindow(parent)
{
    if (!g_mainWindow)
        g_mainWindow = this;
}

KxMainWindow::~KxMainWindow() = default;

KxMainWindow *KxMainWindow::activeMainWindow()
{
    return g_mainWindow;
}

KxCoreView *KxMainWindow::openDocument(IKUnknown *document, const QString &title)
{
    auto *view = new KxCoreView(document);
    QMdiSubWindow *sub = getMdiArea()->addSubWindow(view);
    sub->setWindowTitle(title);
    getMdiArea()->setActiveSubWindow(sub);
    KxApplication::coreApplication()->setActiveDocument(document);
    return view;
}

KxCoreView *KxMainWindow::holdDocument(IKUnknown *document)
{
    delete m_held;
    m_held = new KxCoreView(document, this);
    m_held->hide();
    KxApplication::coreApplication()->setActiveDocument(document);
    return m_held;
}

IKUnknown *KxMainWindow::getActiveCoreView() const
{
    QMdiSubWindow *sub = getMdiArea()->currentSubWindow();
    KxCoreView *view = sub ? qobject_cast<KxCoreView *>(sub->widget()) : m_held.data();
    return view ? view->document() : nullptr;
}

void KxMainWindow::notifyDocumentChanged()
{
    emit documentChanged();
}
