#include "kdcinfo.h"

#include "khostconfig.h"
#include "krtdirs.h"
#include "kxapplication.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

void KDcInfoC::postGeneralEvent(const QString &name, const QHash<QString, QString> &fields,
                                int reserved1, int reserved2, int probability)
{
    Q_UNUSED(reserved1);
    Q_UNUSED(reserved2);
    const KDcEvent event{name, fields, probability};
    QMutexLocker lock(&m_mutex);
    m_events << event;
    appendToFile(event);
}

bool KDcInfoC::appendToFile(const KDcEvent &event)
{
    QJsonObject fields;
    for (auto it = event.fields.cbegin(); it != event.fields.cend(); ++it)
        fields.insert(it.key(), it.value());
    const QJsonObject line{
        {QStringLiteral("time"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)},
        {QStringLiteral("event"), event.name},
        {QStringLiteral("fields"), fields},
        {QStringLiteral("probability"), event.probability},
    };
    const QString path = eventFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        qWarning() << "KDcInfoC: cannot append to" << path << file.errorString();
        return false;
    }
    return file.write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n') > 0;
}

QList<KDcEvent> KDcInfoC::events() const
{
    QMutexLocker lock(&m_mutex);
    return m_events;
}

void KDcInfoC::clearEvents()
{
    QMutexLocker lock(&m_mutex);
    m_events.clear();
}

QString KDcInfoC::eventFilePath()
{
    return krt::dirs::brindlexHome() + QStringLiteral("/statistics/events.jsonl");
}

KDcInfoC *KCoreApplication::getDcInfo()
{
    static KDcInfoC service;
    if (!KHostConfig::value(QStringLiteral("statisticsService"), true).toBool())
        return nullptr;
    return &service;
}
