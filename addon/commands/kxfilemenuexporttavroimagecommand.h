#pragma once

#include "kxexporttavroimagecommand.h"

#include <kxfilemenu.h>

// The File menu's entry of the export, with the File menu's usage report.
class KxFileMenuExportTavroImageCommand : public KxFileMenuInfoCollectBase<KxExportTavroImageCommand>
{
    Q_OBJECT
public:
    KxFileMenuExportTavroImageCommand(KxMainWindow *host, const QVariant &argument);

    // The action may destroy the command (the host rebuilds its File menu while the dialog
    // opens); nothing is touched after that.
    void trigger() override;
    KCommand *clone(QObject *host, const QVariant &argument) const override;

private:
    QString m_infoId;
};
