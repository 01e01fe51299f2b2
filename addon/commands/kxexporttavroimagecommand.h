#pragma once

#include "kxtavrocommand.h"

class KExportImageMgr;
class QTranslator;

// The ribbon's export-to-picture entry: opens the export dialog for the active document.
// Host properties: "detail" (the entry point) and "SaveAsFilename" (a proposed file name).
class KxExportTavroImageCommand : public KxTavroCommand
{
    Q_OBJECT
public:
    KxExportTavroImageCommand(KxMainWindow *host, const QVariant &argument);
    ~KxExportTavroImageCommand() override;

    // Hidden without the product feature "EnableExportPicture" (asked once per process) and,
    // from the cloud service's entry ("detail" "CloudSvr"), in the PDF component. Enabled with
    // an active document that the host lets it read: not switched off by identifier, not in a
    // state that keeps commands off the document, and a presentation with a slide.
    void update() override;
    KCommand *clone(QObject *host, const QVariant &argument) const override;

    KExportImageMgr *exportManager() const { return m_manager; }

protected:
    void onTriggered() override;
    // The export action for a component; false when nothing was opened.
    bool openExport(const QString &component);
    bool exportAllowed() const;

private:
    QTranslator *m_translator;
    KExportImageMgr *m_manager;
};
