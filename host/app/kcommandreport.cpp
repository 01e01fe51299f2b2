#include "kcommandreport.h"

#include <kpathtext.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <sys/stat.h>

using kpathtext::printable;

namespace kcommandreport {

namespace {

bool isFailure(int status)
{
    return status != Success && status != Canceled;
}

// Error fields only on failure; a cancelled export has left no file to name.
QByteArray jsonOf(const QVariantMap &result, int status)
{
    static const QStringList errorKeys = {"errMsg", "errTitle", "detail"};
    QJsonObject object;
    for (auto it = result.constBegin(); it != result.constEnd(); ++it) {
        if (!isFailure(status) && errorKeys.contains(it.key()))
            continue;
        if (status == Canceled && it.key() == QLatin1String("fileName"))
            continue;
        if (it.key() == QLatin1String("exitCode"))
            object.insert(it.key(), it.value().toInt());
        else
            object.insert(it.key(), it.value().toString());
    }
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QString kindOf(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QCoreApplication::translate("KCommandReport", "cannot be read");
    if (S_ISFIFO(st.st_mode))
        return QCoreApplication::translate("KCommandReport", "is a named pipe, not a document");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return QCoreApplication::translate("KCommandReport", "is a device, not a document");
    if (S_ISSOCK(st.st_mode))
        return QCoreApplication::translate("KCommandReport", "is a socket, not a document");
    return QCoreApplication::translate("KCommandReport", "is not a regular file");
}

} // namespace

QVariantMap failure(int status, const QString &title, const QString &message, const QString &detail)
{
    return {{QStringLiteral("exitCode"), status},
            {QStringLiteral("errTitle"), title},
            {QStringLiteral("errMsg"), message},
            {QStringLiteral("detail"), detail}};
}

int print(const QVariantMap &result, bool json)
{
    const int status = result.value(QStringLiteral("exitCode")).toInt();
    if (json) {
        std::printf("%s\n", jsonOf(result, status).constData());
        std::fflush(stdout);
    }
    if (isFailure(status)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(result.value(QStringLiteral("errTitle")).toString()),
                     qPrintable(result.value(QStringLiteral("errMsg")).toString()));
        const QString detail = result.value(QStringLiteral("detail")).toString();
        if (!detail.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(printable(detail)));
    } else if (status == Success && result.contains(QStringLiteral("warning"))) {
        std::fprintf(stderr, "%s\n", qPrintable(QCoreApplication::translate("KCommandReport", "Warning: %1").arg(result.value(QStringLiteral("warning")).toString())));
    }
    if (status == Success && !json)
        std::printf("%s\n", qPrintable(printable(result.value(QStringLiteral("fileName")).toString())));
    return status;
}

int answerUsage(bool help, const QString &error, const QString &usage, bool json)
{
    if (help) {
        std::printf("%s", qPrintable(usage));
        return Success;
    }
    if (error.isEmpty())
        return -1;
    const int status = print(failure(UsageError, QCoreApplication::translate("KCommandReport", "Invalid arguments"), error), json);
    std::fprintf(stderr, "%s", qPrintable(usage));
    return status;
}

bool wantsJson(const QStringList &arguments)
{
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--"))
            return false;
        if (argument == QLatin1String("--json"))
            return true;
    }
    return false;
}

QString documentProblem(const QString &path)
{
    const QFileInfo info(path);
    const QString shown = printable(path);
    if (!info.exists())
        return QCoreApplication::translate("KCommandReport", "%1: no such file").arg(shown);
    if (info.isDir())
        return QCoreApplication::translate("KCommandReport", "%1: is a folder, not a document").arg(shown);
    if (info.isFile())
        return QString();
    return QStringLiteral("%1: %2").arg(shown, kindOf(path));
}

bool occupied(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace kcommandreport
