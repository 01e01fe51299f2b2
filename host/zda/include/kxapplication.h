#pragma once

#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>

struct IKUnknown;
class KAccountService;
class KDcInfoC;
class KPluginManager;
namespace krt {
class KAppTranslators;
}

// The host's application object. Besides being the anchor for the suite's services it
// holds the shell lock: the main window is locked in pairs around long operations, and
// the interaction switch tells the interface whether user input is taken.
class KCoreApplication : public QObject
{
    Q_OBJECT
public:
    static KCoreApplication *instance();

    void lockMainWindow();
    void unlockMainWindow();
    int mainWindowLockDepth() const;

    void setInteractionLocked(bool locked);
    bool isInteractionLocked() const;

    // Lets the interface thread handle what queued up while it was busy.
    void processPendingUiWork();

    // The document this process has open (one per process, as in the suite). The
    // application keeps a reference; activeDocument hands out another one, or null.
    void setActiveDocument(IKUnknown *document);
    IKUnknown *activeDocument();
    // Where the active document lives, as the suite reports it: its full path, or "" for a
    // document never saved (or none). The folder ends with a separator.
    void setActiveDocumentPath(const QString &path);
    QString activeDocumentPath() const;
    QString activeDocumentFolder() const;
    QString activeDocumentName() const;

    // The suite's services; each may be absent (null). Defined beside each service.
    KDcInfoC *getDcInfo();
    KPluginManager *getPluginMgr();
    KAccountService *getAccountService();
    // The registry add-ons install their translations into; null before a
    // QCoreApplication exists.
    static krt::KAppTranslators *translator();

    // Every lock call in order ("lock", "unlock", "interaction:1", ...), for inspection.
    QStringList shellLog() const;
    void clearShellLog();

    // Document back-ends call this once an edit is complete (a picture inserted, a layout
    // applied), so that whatever shows the document can refresh.
    void notifyDocumentEdited();

signals:
    void documentEdited();
    void mainWindowLockChanged(bool locked);
    void interactionLockChanged(bool locked);

private:
    explicit KCoreApplication(QObject *parent = nullptr);
    int m_lockDepth = 0;
    bool m_interactionLocked = false;
    QStringList m_log;
    mutable QMutex m_documentMutex;
    IKUnknown *m_document = nullptr;
    QString m_documentPath;
};

class KxApplication
{
public:
    static KCoreApplication *coreApplication();
};

namespace KMBUtils {
// May the active document be operated on (kind 2: export) / saved under another name.
// The answers come from the host values "docOperationEnable" and "docSaveAsEnable".
bool FireDocOperationEnable(KCoreApplication *app, int kind);
bool FireDocSaveAsEnable(KCoreApplication *app);

// States of the active document in which commands that read the whole document step aside.
// Each but ShellLocked is the host value "docState.<name>" (editingObject, printPreview,
// protectedView, recordingMacro); ShellLocked holds while the main window is locked.
enum class DocState { EditingObject, PrintPreview, ProtectedView, RecordingMacro, ShellLocked };
bool IsDocInState(KCoreApplication *app, DocState state);
// True when any of the states above holds.
bool IsDocBusy(KCoreApplication *app);
// A document is open and may be saved (host value "docSaveable", default true).
bool IsActiveDocSaveable(KCoreApplication *app);
} // namespace KMBUtils
