#pragma once

#include <QDateTime>
#include <QString>

#include <memory>

// The sandbox's log: lines are buffered and written to the log file in blocks, copied to
// standard error (the debugger stand-in) when asked, and handed to the application adapter.
// Safe to use from several threads: writes are serialised.
class SandboxLogger
{
public:
    static constexpr int BufferCapacity = 256;
    static constexpr int WriteRetries = 3;

    SandboxLogger();
    ~SandboxLogger(); // flushes and closes

    void setPath(const QString &path);
    QString path() const;

    // Creates the log file and holds an advisory lock on it while it is open; an existing
    // file is never opened.
    bool openFile();
    // True when an open log (of this or another process) holds the file locked.
    static bool isLockedElsewhere(const QString &path);
    bool isFileOpen() const;
    // Switching on needs an open file.
    void setFileWriting(bool on);
    bool isFileWriting() const;
    void setDebuggerCopies(bool on);
    bool debuggerCopies() const;

    void write(int level, const QString &message);
    void flush();

    static QString formatLine(int level, const QString &message, const QDateTime &time);

private:
    struct Data;
    std::unique_ptr<Data> d;
};
