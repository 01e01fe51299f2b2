#pragma once

#include "exportimageoptions.h"
#include "kexportcomponent.h"
#include "koutputpath.h"

#include <QCoreApplication>
#include <QVariantMap>

class KExportImageMgr;
class KxMainWindow;

// An export asked for on the command line: checks the request with the dialogs' rules and
// limits, runs it through the export manager and answers with the result map.
class KCommandLineExport
{
    Q_DECLARE_TR_FUNCTIONS(KCommandLineExport)
public:
    enum Status { Success = 0, Failed = 1, Canceled = 2, UsageError = 64 };
    typedef void (*ProgressFn)(int done, int total);

    explicit KCommandLineExport(ProgressFn progress = nullptr);
    QVariantMap run(const QVariantMap &request);
    static void cancelRunning();

private:
    struct Refusal
    {
        int status = Success;
        QString title;
        QString message;
        QString detail; // the cause, on a line of its own
        bool isSet() const { return status != Success; }
    };

    Refusal readOptions(const QVariantMap &request);
    Refusal readWatermark(const QVariantMap &request);
    Refusal readOutput(const QVariantMap &request);
    Refusal checkPicturePath(const KOutputPath::Check &check, const QVariantMap &request);
    Refusal checkLimits(int pageCount);
    QVariantMap execute(KExportImageMgr &manager);
    static QVariantMap refusal(const Refusal &r);

    ProgressFn m_progress;
    const KExportComponent *m_component = &KExportComponent::of(KExportComponent::Unknown);
    QString m_document;
    KxMainWindow *m_window = nullptr; // the host's window showing the document
    ExportImageOptions m_options;
};
