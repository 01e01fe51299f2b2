#pragma once

#include <klistcommand.h>

class KxMainWindow;

// The list command of the add-on's ribbon group.
class KxTavroListCommand : public KListCommand
{
    Q_OBJECT
public:
    KxTavroListCommand(KxMainWindow *host, const QVariant &argument);
    KCommand *clone(QObject *host, const QVariant &argument) const override;
};
