#include "kapptranslators.h"
#include "khostconfig.h"
#include "kxapplication.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTranslator>

namespace krt {

KAppTranslators::~KAppTranslators()
{
    for (Installed &installed : m_byFolder)
        remove(installed);
}

int KAppTranslators::installTranslation(const QString &folder, const QStringList &files)
{
    const QString key = QDir::cleanPath(folder);
    const QString base = key + QLatin1Char('/') + language() + QLatin1Char('/');
    Installed &installed = m_byFolder[key];
    int present = 0;
    for (const QString &file : files) {
        if (installed.byFile.contains(file)) {
            ++present;
            continue;
        }
        const QString path = base + file;
        if (!QFileInfo(path).isFile())
            continue;
        auto *translator = new QTranslator;
        if (translator->load(path) && QCoreApplication::installTranslator(translator)) {
            installed.byFile.insert(file, translator);
            ++present;
        } else {
            delete translator;
        }
    }
    if (installed.byFile.isEmpty()) {
        m_byFolder.remove(key);
        return 0;
    }
    ++installed.owners;
    return present;
}

void KAppTranslators::uninstallTranslation(const QString &folder)
{
    const auto known = m_byFolder.find(QDir::cleanPath(folder));
    if (known == m_byFolder.end() || --known->owners > 0)
        return;
    remove(*known);
    m_byFolder.erase(known);
}

void KAppTranslators::remove(Installed &installed)
{
    // The registry outlives the application object; Qt warns about removing from none.
    const bool application = QCoreApplication::instance() != nullptr;
    for (QTranslator *translator : qAsConst(installed.byFile)) {
        if (application)
            QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    installed.byFile.clear();
}

QStringList KAppTranslators::installedFolders() const
{
    return m_byFolder.keys();
}

QString KAppTranslators::language()
{
    QString lang = KHostConfig::value(QStringLiteral("language")).toString();
    if (lang.isEmpty())
        lang = qEnvironmentVariable("LANGUAGE").section(QLatin1Char(':'), 0, 0);
    if (lang.isEmpty())
        lang = qEnvironmentVariable("LANG");
    lang = lang.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);
    return lang.isEmpty() || lang == QLatin1String("C") || lang == QLatin1String("POSIX") ? QStringLiteral("en") : lang;
}

} // namespace krt

krt::KAppTranslators *KCoreApplication::translator()
{
    if (!QCoreApplication::instance())
        return nullptr;
    static krt::KAppTranslators registry;
    return &registry;
}
