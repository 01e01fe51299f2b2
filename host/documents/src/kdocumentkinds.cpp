#include "kdocumentkinds_p.h"

#include "kpdfbackend.h"
#include "kpresentationbackend.h"
#include "ksheetbackend.h"
#include "kwriterbackend.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <vector>

namespace {

using Folder = std::shared_ptr<QTemporaryDir>;
using Source = KWriterBackend::Source;

IKUnknown *openPdf(const QString &file, Folder, QString *error)
{
    return KPdfBackend::open(file, error);
}

template <Source source>
IKUnknown *openText(const QString &file, Folder, QString *error)
{
    return KWriterBackend::open(file, source, error);
}

IKUnknown *openDeck(const QString &file, Folder, QString *error)
{
    return KPresentationBackend::open(file, error);
}

// Sheets are read whole, so a converted one does not need its folder afterwards.
IKUnknown *openSheet(const QString &file, Folder, QString *error)
{
    return KSheetBackend::open(file, error);
}

template <typename Backend>
IKUnknown *openPdfPagesAs(const QString &file, Folder folder, QString *error)
{
    KComPtr<KPdfBackend> pdf(KPdfBackend::open(file, error));
    return pdf ? Backend::fromPdf(pdf.get(), std::move(folder)) : nullptr;
}

const std::vector<KDocumentKind> &kinds()
{
    static const std::vector<KDocumentKind> table = {
        {{"pdf"}, "pdf", {}, openPdf},
        {{"txt", "text"}, "vyx", {}, openText<Source::PlainText>},
        {{"md", "markdown"}, "vyx", {}, openText<Source::Markdown>},
        {{"html", "htm"}, "vyx", {}, openText<Source::Html>},
        {{"odt", "docx", "doc", "rtf"}, "vyx", "pdf", openPdfPagesAs<KWriterBackend>},
        {{"slides.md"}, "vyd", {}, openDeck},
        {{"odp", "pptx", "ppt"}, "vyd", "pdf", openPdfPagesAs<KPresentationBackend>},
        {{"csv", "tsv"}, "qz", {}, openSheet},
        {{"ods", "xlsx", "xls"}, "qz", "csv", openSheet},
    };
    return table;
}

} // namespace

const KDocumentKind *kdocumentkinds::kindOf(const QString &path)
{
    const QString name = QFileInfo(path).fileName().toLower();
    const KDocumentKind *found = nullptr;
    int longest = 0;
    for (const KDocumentKind &kind : kinds()) {
        for (const QString &suffix : kind.suffixes) {
            if (suffix.size() > longest && name.endsWith(QLatin1Char('.') + suffix)) {
                found = &kind;
                longest = suffix.size();
            }
        }
    }
    return found;
}
