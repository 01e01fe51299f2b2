#pragma once

#include <QStringList>

// Marks the span of an entry call into an add-on, so that the host can name the call in
// which a failure happened.
class KExceptionGuard
{
public:
    explicit KExceptionGuard(const char *name);
    ~KExceptionGuard();
    KExceptionGuard(const KExceptionGuard &) = delete;
    KExceptionGuard &operator=(const KExceptionGuard &) = delete;

    // The names of the guards open on this thread, innermost last.
    static QStringList openGuards();
    // Every guard opened since the last clear, in order (for inspection).
    static QStringList history();
    static void clearHistory();
};
