#pragma once

#include <QString>

// The framework's one way of logging. Every message is built as
// "(0x<module address> <qualified function>@<line>) <text>" and goes to the sandbox's log at
// its level, or to Qt's message system when there is no sandbox.
namespace kess {

enum LogLevel {
    LevelDebug = 0,
    LevelWarning = 1,
    LevelCritical = 2,
    LevelFatal = 3,
};

QString levelName(int level);
// "bool KEssSandbox::setLogOptions(int)" -> "KEssSandbox::setLogOptions".
QString qualifiedFunctionName(const char *signature);
// An address inside this module's code, the same for every message of one loaded module.
quintptr moduleAddress();
QString formatMessage(const char *signature, int line, const QString &text);
void writeLog(LogLevel level, const char *signature, int line, const QString &text);

// Where a line is logged from, for helpers that log on their caller's behalf (KESS_HERE).
struct LogSite
{
    const char *function;
    int line;
};
inline void writeLog(LogLevel level, const LogSite &site, const QString &text)
{
    writeLog(level, site.function, site.line, text);
}

} // namespace kess

#define KESS_HERE (::kess::LogSite{Q_FUNC_INFO, __LINE__})

#define KESS_LOG(level, text) ::kess::writeLog((level), Q_FUNC_INFO, __LINE__, (text))
#define KESS_DEBUG(text) KESS_LOG(::kess::LevelDebug, text)
#define KESS_WARNING(text) KESS_LOG(::kess::LevelWarning, text)
#define KESS_CRITICAL(text) KESS_LOG(::kess::LevelCritical, text)
#define KESS_FATAL(text) KESS_LOG(::kess::LevelFatal, text)
