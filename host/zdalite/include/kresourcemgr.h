#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

// Icons of a module by name, looked up in an ordered list of resource folders; the pictures
// come from resource files the module registers (one per interface language).
class KResourceMgr
{
public:
    explicit KResourceMgr(const QStringList &searchFolders);
    ~KResourceMgr(); // unregisters what it registered
    KResourceMgr(const KResourceMgr &) = delete;
    KResourceMgr &operator=(const KResourceMgr &) = delete;

    QStringList searchFolders() const { return m_folders; }

    // "<muiFolder>/<language>/<fileName>" for the first of the language's full name
    // ("zh_CN"), its bare language ("zh") and "default" that exists; "" when none does.
    static QString languageFile(const QString &muiFolder, const QString &fileName,
                                const QString &locale = QString());
    // Registers the file for the interface language; false when none exists or Qt refuses it.
    bool registerLanguageResource(const QString &muiFolder, const QString &fileName);
    bool registerResource(const QString &rccFile);
    QStringList registeredFiles() const { return m_registered; }

    // The first "<folder><name>" with the suffix ".svg" or ".png" (or as given) that exists.
    QString iconPath(const QString &name) const;
    // A null icon for a name no folder holds.
    QIcon icon(const QString &name) const;

private:
    QStringList m_folders;
    QStringList m_registered;
};
