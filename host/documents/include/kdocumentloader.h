#pragma once

#include <kunknown.h>

#include <QString>

// Opens a document the host can show and names the component that handles it
// ("pdf" for PDF files, "vyx" for text, Markdown and HTML).
struct KOpenedDocument
{
    KComPtr<IKUnknown> object;
    QString component;
    QString error;
};

class KDocumentLoader
{
public:
    static QString componentFor(const QString &path);
    static KOpenedDocument open(const QString &path);
};
