#pragma once

#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>

// One usage event as the statistics service received it.
struct KDcEvent
{
    QString name;
    QHash<QString, QString> fields;
    int probability = 1;
};

// The suite's usage-statistics service, reached through KCoreApplication::getDcInfo()
// (null when the host value "statisticsService" is false). Each event is appended as one
// JSON line to eventFilePath() and kept in memory for inspection.
class KDcInfoC
{
public:
    // The two reserved arguments are passed through unused; probability is recorded as given.
    void postGeneralEvent(const QString &name, const QHash<QString, QString> &fields,
                          int reserved1, int reserved2, int probability);

    QList<KDcEvent> events() const;
    void clearEvents();
    static QString eventFilePath();

private:
    bool appendToFile(const KDcEvent &event);

    mutable QMutex m_mutex;
    QList<KDcEvent> m_events;
};
