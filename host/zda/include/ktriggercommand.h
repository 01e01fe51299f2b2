#pragma once

#include "kcommand.h"

// A command that does something when clicked: trigger() runs the action.
class KTriggerCommand : public KCommand
{
    Q_OBJECT
public:
    using KCommand::KCommand;
    // Runs onTriggered() unless the command is disabled.
    virtual void trigger();

signals:
    void triggered();

protected:
    virtual void onTriggered();
};
