#pragma once

#include <ktriggercommand.h>

class KxMainWindow;

// The PDF component's export-to-picture entry. Host properties: "detail" (the entry point)
// and "componentname" (replaces the component name the dialog is opened for).
class KxPdf2PhotoCommand : public KTriggerCommand
{
    Q_OBJECT
public:
    KxPdf2PhotoCommand(KxMainWindow *host, const QVariant &argument);

    // Visible and enabled in the PDF component only.
    void update() override;
    KCommand *clone(QObject *host, const QVariant &argument) const override;

protected:
    void onTriggered() override;
};
