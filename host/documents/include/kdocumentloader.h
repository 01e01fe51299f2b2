#pragma once

#include <kunknown.h>

#include <QString>

// Opens a document the host can show and names the component that handles it: "pdf" for
// PDF files; "vyx" for text, Markdown and HTML; "vyd" for Markdown decks (".slides.md");
// "qz" for CSV and TSV. Office files (odt, docx, doc, rtf; odp, pptx, ppt; ods, xlsx,
// xls) are converted with LibreOffice and served by the back-end of their kind.
struct KOpenedDocument
{
    KComPtr<IKUnknown> object;
    QString component;
    QString error;
    bool cancelled = false; // the opening stopped on request; nothing is left behind
};

class KDocumentLoader
{
public:
    static QString componentFor(const QString &path);
    // Whether opening the file needs LibreOffice.
    static bool needsConversion(const QString &path);
    static KOpenedDocument open(const QString &path);
};
