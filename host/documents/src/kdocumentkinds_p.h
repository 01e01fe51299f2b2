#pragma once

#include <kunknown.h>

#include <QString>
#include <QStringList>
#include <memory>

class QTemporaryDir;

// One kind of document the host opens. A new kind is one row of the table plus its back-end.
struct KDocumentKind
{
    // Reads file as this kind. For a converted kind, file is what LibreOffice made and
    // folder holds it; a back-end that keeps reading the file keeps folder.
    using Opener = IKUnknown *(*)(const QString &file, std::shared_ptr<QTemporaryDir> folder, QString *error);

    QStringList suffixes; // lower case, without the leading dot; may hold dots ("slides.md")
    QString component;    // the component that serves the document
    QString convertTo;    // what LibreOffice turns the file into first; empty: read as it is
    Opener open;
};

namespace kdocumentkinds {

// The kind of the file by its name, in any case, the longest matching suffix winning; null
// for a kind the host does not know.
const KDocumentKind *kindOf(const QString &path);

} // namespace kdocumentkinds
