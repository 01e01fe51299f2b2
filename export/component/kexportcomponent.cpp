#include "kexportcomponent.h"

#include "kexportimagetaskpdf.h"
#include "kexportimagetaskqz.h"
#include "kexportimagetaskvyd.h"
#include "kexportimagetaskvyx.h"

#include <QCoreApplication>

namespace {

template <typename Task>
KExportImageTask *make()
{
    return new Task;
}

// kind, name, event, long by default, each page, parts, pages per part, long limits,
// highest long quality, prepares writer, whole sheet, wide watermark, page gap,
// dialog: highest long quality, margins; untitled, task
const KExportComponent kComponents[] = {
    {KExportComponent::Writer, "vyx", "vyx", true, true, false, 1, 25, 15, 200, true, false, false, true, 200, true, "",
     make<KExportImageTaskVyx>},
    {KExportComponent::Presentation, "vyd", "vyd", true, true, false, 1, 25, 15, 200, false, false, true, false, 200, true, "",
     make<KExportImageTaskVyd>},
    {KExportComponent::Spreadsheet, "qz", "qz", true, false, false, 1, 25, 15, 200, false, true, false, false, 200, false, "",
     make<KExportImageTaskQz>},
    {KExportComponent::Pdf, "pdf", "pdf_co", false, true, true, 20, 0, 0, 200, false, false, false, false, 100, false, "PDF",
     make<KExportImageTaskPdf>},
};

const KExportComponent kUnknown = {KExportComponent::Unknown, "", "", true, true, false, 1, 25, 15, 200,
                                   false, false, false, false, 200, true, "", make<KExportImageTask>};

} // namespace

const KExportComponent &KExportComponent::forApplication(const QString &applicationName)
{
    for (const KExportComponent &component : kComponents) {
        if (applicationName.compare(QLatin1String(component.name), Qt::CaseInsensitive) == 0)
            return component;
    }
    return kUnknown;
}

const KExportComponent &KExportComponent::current()
{
    return forApplication(QCoreApplication::applicationName());
}

const KExportComponent &KExportComponent::of(Kind kind)
{
    for (const KExportComponent &component : kComponents) {
        if (component.kind == kind)
            return component;
    }
    return kUnknown;
}
