#pragma once

#include "kcommand.h"

#include <QList>
#include <QPointer>

// A command that groups others (a ribbon group's drop-down); it owns none of them.
class KListCommand : public KCommand
{
    Q_OBJECT
public:
    using KCommand::KCommand;
    void addCommand(KCommand *command);
    QList<KCommand *> commands() const;
    // Updates every member; the list is visible while one member is.
    void update() override;

private:
    QList<QPointer<KCommand>> m_commands;
};
