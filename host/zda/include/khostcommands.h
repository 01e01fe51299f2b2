#pragma once

#include <QString>
#include <QVariant>

#include <functional>

class QObject;

// The host's own commands, run by name ("InsertPictureFromFile", ...). The part of the host
// that owns a command adds it; add-ons only run them.
class KHostCommands
{
public:
    // Runs the command for a host window; false when it did nothing or failed.
    using Handler = std::function<bool(QObject *host, const QVariant &argument)>;

    // Replaces a command of the same name.
    static void add(const QString &name, Handler handler);
    static void remove(const QString &name);
    static bool contains(const QString &name);
    // False for an unknown name too.
    static bool execute(const QString &name, QObject *host, const QVariant &argument = QVariant());
};
