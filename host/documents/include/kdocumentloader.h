#pragma once

#include <kunknown.h>

#include <QString>

// Opens a document of a kind the host knows by its name and names the component that
// serves it. Office files are converted with LibreOffice first and served by the back-end
// of their kind.
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
