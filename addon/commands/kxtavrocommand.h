#pragma once

#include <ktriggercommand.h>

class KxMainWindow;

// Base of the add-on's commands; on its own it opens the legacy tool window, which makes the
// document's legacy picture and posts it to the sharing service.
class KxTavroCommand : public KTriggerCommand
{
    Q_OBJECT
public:
    KxTavroCommand(KxMainWindow *host, const QVariant &argument);

    KxMainWindow *mainWindow() const;
    QString legacyImagePath() const { return m_legacyImagePath; }

    // Enabled only while a document is active.
    void update() override;
    KCommand *clone(QObject *host, const QVariant &argument) const override;

protected:
    void onTriggered() override;
    // Shows the tool window over the main window and has it make the legacy picture; see
    // KTavroWindowApi::showWithPicture. False when the window could not be made.
    bool runTavroWindow(bool upload, bool wait);

private:
    QString m_legacyImagePath;
};
