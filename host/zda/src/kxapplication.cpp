#include "kxapplication.h"

#include <QDir>
#include <QFileInfo>

#include "khostconfig.h"
#include "kunknown.h"

#include <QCoreApplication>
#include <QDebug>

KCoreApplication::KCoreApplication(QObject *parent)
    : QObject(parent)
{
}

KCoreApplication *KCoreApplication::instance()
{
    static KCoreApplication *app = new KCoreApplication;
    return app;
}

void KCoreApplication::notifyDocumentEdited()
{
    emit documentEdited();
}

void KCoreApplication::lockMainWindow()
{
    ++m_lockDepth;
    m_log << QStringLiteral("lock");
    if (m_lockDepth == 1)
        emit mainWindowLockChanged(true);
}

void KCoreApplication::unlockMainWindow()
{
    m_log << QStringLiteral("unlock");
    if (m_lockDepth == 0) {
        qWarning() << "KCoreApplication: unlock without a matching lock";
        return;
    }
    if (--m_lockDepth == 0)
        emit mainWindowLockChanged(false);
}

int KCoreApplication::mainWindowLockDepth() const
{
    return m_lockDepth;
}

void KCoreApplication::setInteractionLocked(bool locked)
{
    m_log << QStringLiteral("interaction:%1").arg(locked ? 1 : 0);
    if (m_interactionLocked == locked)
        return;
    m_interactionLocked = locked;
    emit interactionLockChanged(locked);
}

bool KCoreApplication::isInteractionLocked() const
{
    return m_interactionLocked;
}

void KCoreApplication::processPendingUiWork()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void KCoreApplication::setActiveDocument(IKUnknown *document)
{
    QMutexLocker lock(&m_documentMutex);
    if (document)
        document->AddRef();
    if (m_document)
        m_document->Release();
    m_document = document;
}

IKUnknown *KCoreApplication::activeDocument()
{
    QMutexLocker lock(&m_documentMutex);
    if (m_document)
        m_document->AddRef();
    return m_document;
}

void KCoreApplication::setActiveDocumentPath(const QString &path)
{
    QMutexLocker lock(&m_documentMutex);
    m_documentPath = path;
}

QString KCoreApplication::activeDocumentPath() const
{
    QMutexLocker lock(&m_documentMutex);
    return m_documentPath;
}

QString KCoreApplication::activeDocumentFolder() const
{
    const QString path = activeDocumentPath();
    if (path.isEmpty())
        return QString();
    return QDir::toNativeSeparators(QFileInfo(path).absolutePath() + QLatin1Char('/'));
}

QString KCoreApplication::activeDocumentName() const
{
    return QFileInfo(activeDocumentPath()).fileName();
}

QStringList KCoreApplication::shellLog() const
{
    return m_log;
}

void KCoreApplication::clearShellLog()
{
    m_log.clear();
}

KCoreApplication *KxApplication::coreApplication()
{
    return KCoreApplication::instance();
}

bool KMBUtils::FireDocOperationEnable(KCoreApplication *app, int kind)
{
    if (!app)
        return false;
    Q_UNUSED(kind);
    return KHostConfig::value(QStringLiteral("docOperationEnable"), true).toBool();
}

bool KMBUtils::FireDocSaveAsEnable(KCoreApplication *app)
{
    if (!app)
        return false;
    return KHostConfig::value(QStringLiteral("docSaveAsEnable"), true).toBool();
}

bool KMBUtils::IsDocInState(KCoreApplication *app, DocState state)
{
    if (!app)
        return false;
    switch (state) {
    case DocState::EditingObject:
        return KHostConfig::value(QStringLiteral("docState.editingObject"), false).toBool();
    case DocState::PrintPreview:
        return KHostConfig::value(QStringLiteral("docState.printPreview"), false).toBool();
    case DocState::ProtectedView:
        return KHostConfig::value(QStringLiteral("docState.protectedView"), false).toBool();
    case DocState::RecordingMacro:
        return KHostConfig::value(QStringLiteral("docState.recordingMacro"), false).toBool();
    case DocState::ShellLocked:
        return app->mainWindowLockDepth() > 0;
    }
    return false;
}

bool KMBUtils::IsDocBusy(KCoreApplication *app)
{
    for (DocState state : {DocState::EditingObject, DocState::PrintPreview, DocState::ProtectedView,
                           DocState::RecordingMacro, DocState::ShellLocked}) {
        if (IsDocInState(app, state))
            return true;
    }
    return false;
}

bool KMBUtils::IsActiveDocSaveable(KCoreApplication *app)
{
    if (!app)
        return false;
    IKUnknown *document = app->activeDocument();
    if (!document)
        return false;
    document->Release();
    return KHostConfig::value(QStringLiteral("docSaveable"), true).toBool();
}
