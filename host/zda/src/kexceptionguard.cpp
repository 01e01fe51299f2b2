#include "kexceptionguard.h"

#include <QMutex>
#include <QMutexLocker>

namespace {
thread_local QStringList t_open;
QMutex g_historyMutex;
QStringList g_history;
} // namespace

KExceptionGuard::KExceptionGuard(const char *name)
{
    const QString text = QString::fromLatin1(name);
    t_open.append(text);
    QMutexLocker lock(&g_historyMutex);
    g_history.append(text);
}

KExceptionGuard::~KExceptionGuard()
{
    t_open.removeLast();
}

QStringList KExceptionGuard::openGuards() { return t_open; }

QStringList KExceptionGuard::history()
{
    QMutexLocker lock(&g_historyMutex);
    return g_history;
}

void KExceptionGuard::clearHistory()
{
    QMutexLocker lock(&g_historyMutex);
    g_history.clear();
}
