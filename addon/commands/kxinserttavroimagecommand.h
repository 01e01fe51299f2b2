#pragma once

#include "kxtavrocommand.h"

// Inserts a picture file into the document through the host's own "InsertPictureFromFile"
// (writer and presentation only).
class KxInsertTavroImageCommand : public KxTavroCommand
{
    Q_OBJECT
public:
    using KxTavroCommand::KxTavroCommand;
    KCommand *clone(QObject *host, const QVariant &argument) const override;

protected:
    void onTriggered() override;
};
