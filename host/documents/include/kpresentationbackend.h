#pragma once

#include <kpresentation.h>

#include <memory>

class KPdfBackend;
class QTemporaryDir;
struct KSlideSource;

// A presentation served through the presentation interfaces: a Markdown deck (a file
// whose name ends in ".slides.md"), or the pages of a PDF a presentation file was
// converted to, one slide each. The object is the component's application object; its
// active presentation is the document.
class KPresentationBackend : public KUnknownImpl<IKPresApplication>
{
public:
    static KPresentationBackend *fromDeck(const QString &markdown, const QString &folder);
    // Null with a message for a file that cannot be read or holds no slide.
    static KPresentationBackend *open(const QString &path, QString *error);
    // One slide per page of the PDF, keeping a reference to it; folder, when given, holds
    // the PDF and is removed with the presentation.
    static KPresentationBackend *fromPdf(KPdfBackend *pdf, std::shared_ptr<QTemporaryDir> folder);

    long activePresentation(IKPresentation **presentation) override;

private:
    explicit KPresentationBackend(std::shared_ptr<KSlideSource> source);
    ~KPresentationBackend() override;

    std::shared_ptr<KSlideSource> d;
};
