#include "khostcommands.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace {
struct Commands
{
    QMutex mutex;
    QHash<QString, KHostCommands::Handler> handlers;
};

Commands &commands()
{
    static Commands instance;
    return instance;
}
} // namespace

void KHostCommands::add(const QString &name, Handler handler)
{
    QMutexLocker lock(&commands().mutex);
    commands().handlers.insert(name, std::move(handler));
}

void KHostCommands::remove(const QString &name)
{
    QMutexLocker lock(&commands().mutex);
    commands().handlers.remove(name);
}

bool KHostCommands::contains(const QString &name)
{
    QMutexLocker lock(&commands().mutex);
    return commands().handlers.contains(name);
}

bool KHostCommands::execute(const QString &name, QObject *host, const QVariant &argument)
{
    Handler handler;
    {
        QMutexLocker lock(&commands().mutex);
        handler = commands().handlers.value(name);
    }
    // Run outside the lock: a command may open a dialog that runs other commands.
    return handler ? handler(host, argument) : false;
}
