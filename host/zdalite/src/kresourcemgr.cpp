#include "kresourcemgr.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QResource>

KResourceMgr::KResourceMgr(const QStringList &searchFolders)
    : m_folders(searchFolders)
{
}

KResourceMgr::~KResourceMgr()
{
    for (const QString &file : m_registered)
        QResource::unregisterResource(file);
}

QString KResourceMgr::languageFile(const QString &muiFolder, const QString &fileName, const QString &locale)
{
    const QString full = locale.isEmpty() ? QLocale().uiLanguages().value(0, QLocale().name()) : locale;
    QString name = full;
    name.replace(QLatin1Char('-'), QLatin1Char('_'));
    const QString bare = name.section(QLatin1Char('_'), 0, 0);
    for (const QString &language : {name, bare, QStringLiteral("default")}) {
        if (language.isEmpty())
            continue;
        const QString path = QDir(muiFolder).filePath(language + QLatin1Char('/') + fileName);
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

bool KResourceMgr::registerLanguageResource(const QString &muiFolder, const QString &fileName)
{
    const QString path = languageFile(muiFolder, fileName);
    return !path.isEmpty() && registerResource(path);
}

bool KResourceMgr::registerResource(const QString &rccFile)
{
    if (m_registered.contains(rccFile))
        return true;
    if (!QResource::registerResource(rccFile))
        return false;
    m_registered.append(rccFile);
    return true;
}

QString KResourceMgr::iconPath(const QString &name) const
{
    if (name.isEmpty())
        return QString();
    const bool hasSuffix = name.endsWith(QLatin1String(".svg")) || name.endsWith(QLatin1String(".png"));
    const QStringList candidates = hasSuffix ? QStringList{name}
                                             : QStringList{name + QStringLiteral(".svg"), name + QStringLiteral(".png")};
    for (const QString &folder : m_folders) {
        for (const QString &candidate : candidates) {
            const QString path = folder + candidate;
            if (QFileInfo::exists(path))
                return path;
        }
    }
    return QString();
}

QIcon KResourceMgr::icon(const QString &name) const
{
    const QString path = iconPath(name);
    return path.isEmpty() ? QIcon() : QIcon(path);
}
