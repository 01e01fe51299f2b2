#pragma once

#include "kcommand.h"

// A context category: a ribbon tab shown while its context is active.
class KxContextCategory : public KCommand
{
    Q_OBJECT
public:
    using KCommand::KCommand;
    QString contextName() const;
    void setContextName(const QString &name);

private:
    QString m_contextName;
};
