#pragma once

#include "kxtavrocommand.h"

// Opens the sharing service's home page in the system browser.
class KxOpenWebTavroCommand : public KxTavroCommand
{
    Q_OBJECT
public:
    using KxTavroCommand::KxTavroCommand;
    KCommand *clone(QObject *host, const QVariant &argument) const override;

protected:
    void onTriggered() override;
};
