#include "kdocumentloader.h"

#include "kpdfbackend.h"
#include "kwriterbackend.h"

#include <QFileInfo>

QString KDocumentLoader::componentFor(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf"))
        return QStringLiteral("pdf");
    static const QStringList writer = {"txt", "text", "md", "markdown", "html", "htm"};
    if (writer.contains(suffix))
        return QStringLiteral("vyx");
    return QString();
}

KOpenedDocument KDocumentLoader::open(const QString &path)
{
    KOpenedDocument opened;
    opened.component = componentFor(path);
    if (opened.component.isEmpty()) {
        opened.error = QStringLiteral("%1: the host cannot open this kind of document").arg(path);
        return opened;
    }
    if (!QFileInfo(path).isFile()) {
        opened.error = QStringLiteral("%1: no such file").arg(path);
        return opened;
    }
    IKUnknown *object = nullptr;
    if (opened.component == QLatin1String("pdf"))
        object = KPdfBackend::open(path, &opened.error);
    else
        object = KWriterBackend::open(path, &opened.error);
    opened.object = KComPtr<IKUnknown>(object);
    return opened;
}
