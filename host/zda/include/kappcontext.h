#pragma once

#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <QString>

class KCoreApplication;

// What the host's application framework hands an entry object's trigger: the application
// object, and where the request comes from.
class KAppObj
{
public:
    KAppObj() = default;
    explicit KAppObj(KCoreApplication *app) : m_app(app) {}
    KCoreApplication *app() const { return m_app; }

private:
    KCoreApplication *m_app = nullptr;
};

class KAppContext
{
public:
    KAppContext() = default;
    KAppContext(QObject *window, const QString &entry) : window(window), entry(entry) {}

    // The host window the request comes from; null once that window is gone.
    QPointer<QObject> window;
    // The entry point, e.g. "PdfDocEntry".
    QString entry;
};

Q_DECLARE_METATYPE(KAppObj)
Q_DECLARE_METATYPE(KAppContext)
