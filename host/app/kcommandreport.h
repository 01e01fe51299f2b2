#pragma once

#include <QStringList>
#include <QVariantMap>

// What `brindlex` prints about an outcome: "title: message" and the cause on standard error,
// the written path or one JSON object on standard output.
namespace kcommandreport {

enum Status { Success = 0, Failed = 1, Canceled = 2, UsageError = 64 };

QVariantMap failure(int status, const QString &title, const QString &message, const QString &detail = QString());
// Prints the outcome ("exitCode" decides how) and returns the exit status.
int print(const QVariantMap &result, bool json);
// Answers --help (the usage on standard output) or a usage error (the error, then the usage
// on standard error) with the exit status; -1 when the command goes on.
int answerUsage(bool help, const QString &error, const QString &usage, bool json);
// Whether --json was asked for; readable also when the rest of the line is wrong.
bool wantsJson(const QStringList &arguments);
// Why the path cannot be opened as a document ("<path>: is a folder, not a document"), or "".
// Decided without opening it, so a named pipe cannot block.
QString documentProblem(const QString &path);
// Whether writing to the path would replace something: a file, a folder or a link (even
// one that leads nowhere, which the write would follow).
bool occupied(const QString &path);

} // namespace kcommandreport
