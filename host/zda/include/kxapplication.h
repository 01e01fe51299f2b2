#pragma once

#include <QObject>
#include <QStringList>

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

    // Every lock call in order ("lock", "unlock", "interaction:1", ...), for inspection.
    QStringList shellLog() const;
    void clearShellLog();

signals:
    void mainWindowLockChanged(bool locked);
    void interactionLockChanged(bool locked);

private:
    explicit KCoreApplication(QObject *parent = nullptr);
    int m_lockDepth = 0;
    bool m_interactionLocked = false;
    QStringList m_log;
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
} // namespace KMBUtils
