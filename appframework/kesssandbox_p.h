#pragma once

#include "kesssandbox.h"
#include "sandboxlogger.h"

#include <QThread>
#include <QtGlobal>

#include <functional>
#include <memory>

struct KEssSandbox::Data
{
    SandboxInfo info;
    // Shared with the threads that are writing a line when the sandbox goes.
    std::shared_ptr<SandboxLogger> logger;
    bool initialised = false;
    Qt::HANDLE ownerThread = nullptr;
    bool settingsInFile = false;
    std::function<void()> deferredCleanup;
    QtMessageHandler previousHandler = nullptr;
    bool handlerInstalled = false;

    QString dataPath() const;
    void removeExpiredFiles(bool deferred, int logAgeDays, int tempAgeDays);
    void cleanFolder(const QString &path, int ageDays) const;
    QString shortcutArguments() const;
    QString registryKey() const;
};
