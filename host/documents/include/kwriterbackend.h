#pragma once

#include <kwriterdocument.h>

#include <QStringList>

#include <memory>

class KPdfBackend;
class QTemporaryDir;
struct KWriterData;

// A writer document made from plain text, Markdown or HTML, laid out on A4 pages with
// 2 cm margins, or the pages of a PDF an office document was converted to, served through
// the writer document interfaces.
class KWriterBackend : public KUnknownImpl<IKWriterDocument>
{
public:
    enum class Source { PlainText, Markdown, Html };

    // HTML may ask for space between pages: <meta name="page-spacing" content="N">.
    static KWriterBackend *fromText(const QString &text, Source source);
    // Serves the PDF's pages, keeping a reference to it; folder, when given, holds the PDF
    // and is removed with the document.
    static KWriterBackend *fromPdf(KPdfBackend *pdf, std::shared_ptr<QTemporaryDir> folder);
    // The file read as source; HTML nested too deep to lay out is refused.
    static KWriterBackend *open(const QString &path, Source source, QString *error);

    // Whether the document must be rendered on the interface thread.
    void setRenderOnInterfaceThread(bool on);
    // Prints the document as a PDF with the same pages.
    bool printToPdf(const QString &path, QString *error) const;

    long activeView(IKDocView **view) override;
    long settings(IKDocSettings **settings) override;
    long prepareExport(IKUnknown **token) override;
    long documentState(IKDocStateLock **state) override;

    // Also answers IKWriterEditing, with an object of its own that shares the document.
    long QueryInterface(const QUuid &iid, void **object) override;

    // Every begin and end so far: "begin:NAME", "end:NAME:1" (changed) or "end:NAME:0".
    QStringList operationLog() const;


private:
    explicit KWriterBackend(std::shared_ptr<KWriterData> data);
    ~KWriterBackend() override;

    std::shared_ptr<KWriterData> d;
};
