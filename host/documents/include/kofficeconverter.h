#pragma once

#include <QString>
#include <memory>

class QTemporaryDir;

// Converts office documents with LibreOffice in headless mode. Every run works in its own
// temporary folder with a private user profile, so a LibreOffice the user has open is
// neither disturbed nor able to take the conversion over.
class KOfficeConverter
{
public:
    struct Result
    {
        std::shared_ptr<QTemporaryDir> folder; // holds the converted file; removed with the last holder
        QString path;                          // the converted file, empty on failure
        QString error;
    };

    // The soffice executable found on PATH, or empty.
    static QString executable();
    // target: "pdf" (pages and slides as they print) or "csv" (the first sheet, UTF-8).
    static Result convert(const QString &source, const QString &target, int timeoutMs = 120000);
};
