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
    for (const QString &folder : m_byFolder.keys())
        uninstallTranslation(folder);
}

int KAppTranslators::installTranslation(const QString &folder, const QStringList &files)
{
    const QString lang = language();
    const QString base = QDir::cleanPath(folder) + QLatin1Char('/');
    int installed = 0;
    for (const QString &file : files) {
        const QString path = base + lang + QLatin1Char('/') + file;
        if (!QFileInfo(path).isFile())
            continue;
        auto *translator = new QTranslator;
        if (translator->load(path) && QCoreApplication::installTranslator(translator)) {
            m_byFolder[QDir::cleanPath(folder)].append(translator);
            ++installed;
        } else {
            delete translator;
        }
    }
    return installed;
}

void KAppTranslators::uninstallTranslation(const QString &folder)
{
    const QList<QTranslator *> translators = m_byFolder.take(QDir::cleanPath(folder));
    for (QTranslator *translator : translators) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
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
