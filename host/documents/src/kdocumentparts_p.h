#pragma once

#include <kunknown.h>

#include <QFile>
#include <QString>
#include <memory>
#include <optional>

// Pieces the document back-ends share.
namespace kdocumentparts {

// Hands a new object out through an out-parameter; with nowhere to put it, it is released.
template <typename Interface, typename Object>
long handOut(Object *object, Interface **out)
{
    if (!out) {
        object->Release();
        return K_POINTER;
    }
    *out = object;
    return K_OK;
}

// A part of a document's interfaces (a page, a view, a sheet...): shares the document's data.
template <typename Interface, typename Data>
class KDocumentPart : public KUnknownImpl<Interface>
{
public:
    explicit KDocumentPart(std::shared_ptr<Data> data) : d(std::move(data)) {}

protected:
    std::shared_ptr<Data> d;
};

// The file as UTF-8 text, or nothing with "path: reason" in error.
inline std::optional<QString> readText(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    return QString::fromUtf8(file.readAll());
}

} // namespace kdocumentparts
