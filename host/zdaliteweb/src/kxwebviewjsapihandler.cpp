#include "kxwebviewjsapihandler.h"

#include <QJsonArray>
#include <cmath>

namespace {

QString typeError(const KxWebViewJSArgRule &rule, const QJsonValue &value)
{
    static const char *const names[] = {"a string", "a number", "an integer", "a boolean", "an object", "an array"};
    bool ok = false;
    switch (rule.type) {
    case KxWebViewJSArgRule::String: ok = value.isString(); break;
    case KxWebViewJSArgRule::Number: ok = value.isDouble() && std::isfinite(value.toDouble()); break;
    case KxWebViewJSArgRule::Integer:
        ok = value.isDouble() && std::isfinite(value.toDouble()) && value.toDouble() == std::floor(value.toDouble());
        break;
    case KxWebViewJSArgRule::Bool: ok = value.isBool(); break;
    case KxWebViewJSArgRule::Object: ok = value.isObject(); break;
    case KxWebViewJSArgRule::Array: ok = value.isArray(); break;
    }
    return ok ? QString() : QStringLiteral("\"%1\" must be %2").arg(rule.name, QLatin1String(names[rule.type]));
}

QString limitError(const KxWebViewJSArgRule &rule, const QJsonValue &value)
{
    if (value.isString() && value.toString().size() > rule.maxLength)
        return QStringLiteral("\"%1\" is longer than %2 characters").arg(rule.name).arg(rule.maxLength);
    if (value.isArray() && value.toArray().size() > rule.maxLength)
        return QStringLiteral("\"%1\" has more than %2 elements").arg(rule.name).arg(rule.maxLength);
    if (value.isDouble() && (value.toDouble() < rule.minimum || value.toDouble() > rule.maximum))
        return QStringLiteral("\"%1\" is out of range").arg(rule.name);
    return QString();
}

} // namespace

void KxWebViewJSArgRules::set(const QString &method, const QVector<KxWebViewJSArgRule> &rules)
{
    m_rules.insert(method, rules);
}

QString KxWebViewJSArgRules::check(const QString &method, const QJsonObject &arguments) const
{
    const auto found = m_rules.constFind(method);
    if (found == m_rules.cend())
        return QString();
    QStringList known;
    for (const KxWebViewJSArgRule &rule : *found) {
        known << rule.name;
        if (!arguments.contains(rule.name)) {
            if (rule.required)
                return QStringLiteral("\"%1\" is missing").arg(rule.name);
            continue;
        }
        const QJsonValue value = arguments.value(rule.name);
        QString error = typeError(rule, value);
        if (error.isEmpty())
            error = limitError(rule, value);
        if (!error.isEmpty())
            return error;
    }
    for (auto it = arguments.constBegin(); it != arguments.constEnd(); ++it) {
        if (!known.contains(it.key()))
            return QStringLiteral("\"%1\" is not an argument of %2").arg(it.key().left(64), method);
    }
    return QString();
}

KxWebViewJSApiHandler::KxWebViewJSApiHandler(QObject *parent)
    : QObject(parent)
{
}

void KxWebViewJSApiHandler::setArgumentRules(const QString &method, const QVector<KxWebViewJSArgRule> &rules)
{
    m_rules.set(method, rules);
}

const KxWebViewJSArgRules &KxWebViewJSApiHandler::argumentRules() const
{
    return m_rules;
}
