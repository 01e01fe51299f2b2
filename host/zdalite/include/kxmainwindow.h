#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QMdiArea>

struct IKUnknown;

// The MDI area of a main window. currentSubWindow also answers while the window is hidden
// (a command-line run), where QMdiArea would report none.
class KMdiArea : public QMdiArea
{
    Q_OBJECT
public:
    explicit KMdiArea(QWidget *parent = nullptr);
    QMdiSubWindow *currentSubWindow() const;
};

// The widget inside a sub-window that shows one document; it holds a reference to the
// document's automation object.
class KxCoreView : public QWidget
{
    Q_OBJECT
public:
    KxCoreView(IKUnknown *document, QWidget *parent = nullptr);
    ~KxCoreView() override;
    // A new reference to the document, or null.
    IKUnknown *document() const;

private:
    IKUnknown *m_document = nullptr;
};

class KMainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit KMainWindow(QWidget *parent = nullptr);
    KMdiArea *getMdiArea() const;

private:
    KMdiArea *m_mdiArea = nullptr;
};

// The component's main window. The first one made is the application's.
class KxMainWindow : public KMainWindow
{
    Q_OBJECT
public:
    explicit KxMainWindow(QWidget *parent = nullptr);
    ~KxMainWindow() override;

    static KxMainWindow *activeMainWindow();

    // Opens a view of the document in a new sub-window and makes it current.
    KxCoreView *openDocument(IKUnknown *document, const QString &title);
    // Holds a document as the active one without a sub-window, for work that shows nothing
    // (exports from the command line): a sub-window's frame loads the style's icons, and
    // with them every picture plug-in.
    KxCoreView *holdDocument(IKUnknown *document);
    // A new reference to the document of the current view (or the held one), or null.
    IKUnknown *getActiveCoreView() const;

    // Called by whatever changed the open document (a picture inserted, a layout applied)
    // so that its views show what it is now.
    void notifyDocumentChanged();

signals:
    void documentChanged();

private:
    QPointer<KxCoreView> m_held;
};
