#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class QTranslator;

namespace krt {
// The host's registry of translations that add-ons bring. A folder's files are looked up
// for the host's language (folder/<language>/file) and installed into the application;
// uninstalling a folder removes what it brought.
class KAppTranslators
{
public:
    ~KAppTranslators();
    // Number of files installed; a file missing for the language is skipped.
    int installTranslation(const QString &folder, const QStringList &files);
    void uninstallTranslation(const QString &folder);
    QStringList installedFolders() const;

    // The host's language: host value "language", else $LANGUAGE, else $LANG ("zh_CN.UTF-8"
    // reads as "zh_CN"); "en" when none is set.
    static QString language();

private:
    QHash<QString, QList<QTranslator *>> m_byFolder;
};
} // namespace krt
