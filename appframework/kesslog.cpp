#include "kesslog.h"

#include "kesssandbox.h"

#include <QDebug>

namespace kess {

QString levelName(int level)
{
    switch (level) {
    case LevelDebug:
        return QStringLiteral("Debug");
    case LevelWarning:
        return QStringLiteral("Warning");
    case LevelCritical:
        return QStringLiteral("Critical");
    case LevelFatal:
        return QStringLiteral("Fatal");
    }
    return QStringLiteral("Critical");
}

QString qualifiedFunctionName(const char *signature)
{
    const QString text = QString::fromLatin1(signature);
    int depth = 0;
    int paren = -1;
    for (int i = 0; i < text.size() && paren < 0; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('<')) {
            ++depth;
        } else if (c == QLatin1Char('>')) {
            --depth;
        } else if (c == QLatin1Char('(') && depth == 0) {
            const bool callOperator = text.leftRef(i).endsWith(QLatin1String("operator"))
                && i + 1 < text.size() && text.at(i + 1) == QLatin1Char(')');
            if (callOperator)
                ++i;
            else
                paren = i;
        }
    }
    if (paren < 0)
        return text;
    int start = paren;
    depth = 0;
    for (; start > 0; --start) {
        const QChar c = text.at(start - 1);
        if (c == QLatin1Char('>'))
            ++depth;
        else if (c == QLatin1Char('<'))
            --depth;
        else if ((c == QLatin1Char(' ') || c == QLatin1Char('*') || c == QLatin1Char('&')) && depth == 0)
            break;
    }
    return text.mid(start, paren - start);
}

quintptr moduleAddress()
{
    return reinterpret_cast<quintptr>(&moduleAddress);
}

QString formatMessage(const char *signature, int line, const QString &text)
{
    return QStringLiteral("(0x%1 %2@%3) %4")
        .arg(QString::number(moduleAddress(), 16), qualifiedFunctionName(signature), QString::number(line), text);
}

void writeLog(LogLevel level, const char *signature, int line, const QString &text)
{
    const QString message = formatMessage(signature, line, text);
    if (WriteSandboxLog(level, message))
        return;
    switch (level) {
    case LevelDebug:
        qDebug().noquote() << message;
        break;
    case LevelWarning:
        qWarning().noquote() << message;
        break;
    default: // a framework "fatal" must not end the host process
        qCritical().noquote() << message;
        break;
    }
}

} // namespace kess
