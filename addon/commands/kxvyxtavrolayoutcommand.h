#pragma once

#include "kxtavrocommand.h"

struct IKUnknown;

// Lays the writer document out for reading on a phone: every section gets narrow margins
// and a tall page without header or footer room, and every paragraph a first-line indent
// of two characters. One named operation ("VyxTavroLayout") groups the changes.
class KxVyxTavroLayoutCommand : public KxTavroCommand
{
    Q_OBJECT
public:
    using KxTavroCommand::KxTavroCommand;
    KCommand *clone(QObject *host, const QVariant &argument) const override;

    // Applies the layout to a writer document; true when its sections were changed.
    static bool applyLayout(IKUnknown *document);

protected:
    void onTriggered() override;
};
