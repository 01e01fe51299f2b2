#include "kxtavrocommand.h"

#include "kcommandsupport.h"
#include "ktavromodule.h"
#include "ktavrowindowapi.h"
#include "ktavrowindowloader.h"

#include <kexceptionguard.h>

#include <QWidget>

KxTavroCommand::KxTavroCommand(KxMainWindow *host, const QVariant &argument)
    : KTriggerCommand(host, argument)
    , m_legacyImagePath(kcommandsupport::legacyImagePath())
{
}

KxMainWindow *KxTavroCommand::mainWindow() const
{
    return kcommandsupport::mainWindowOf(this);
}

void KxTavroCommand::update()
{
    setEnabled(kcommandsupport::hasActiveDocument(this));
}

KCommand *KxTavroCommand::clone(QObject *host, const QVariant &argument) const
{
    return kcommandsupport::cloneOf(this, host, argument);
}

void KxTavroCommand::onTriggered()
{
    KExceptionGuard guard("KxTavroCommand");
    runTavroWindow(true, false);
}

bool KxTavroCommand::runTavroWindow(bool upload, bool wait)
{
    KxMainWindow *window = mainWindow();
    if (!window || !KTavroModule::ensureStarted())
        return false;
    KTavroWindowApi *tool = ktavrowindowloader::create(window);
    if (!tool)
        return false;
    return tool->showWithPicture(kcommandsupport::placementFor(window), m_legacyImagePath, upload, wait);
}
