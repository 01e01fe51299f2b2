#pragma once

#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QVector>

// What one argument of a bridge call must look like. Checked before the call runs; a call
// that breaks a rule is answered with the error "badArgument" and never reaches its method.
struct KxWebViewJSArgRule
{
    enum Type { String, Number, Integer, Bool, Object, Array };
    QString name;
    Type type = String;
    bool required = false;
    // Strings: at most this many characters; arrays: elements. Numbers: the range.
    int maxLength = 4096;
    double minimum = -1e15;
    double maximum = 1e15;
};

// Argument rules by method. A method with rules refuses arguments it does not name.
class KxWebViewJSArgRules
{
public:
    void set(const QString &method, const QVector<KxWebViewJSArgRule> &rules);
    // Empty when the arguments pass, else why not.
    QString check(const QString &method, const QJsonObject &arguments) const;

private:
    QHash<QString, QVector<KxWebViewJSArgRule>> m_rules;
};

// Base of the handlers a bridge object dispatches to by name. A page reaches exactly the
// public Q_INVOKABLE methods of the form `void name(KxWebViewJSContext &)`, nothing else.
class KxWebViewJSApiHandler : public QObject
{
    Q_OBJECT
public:
    explicit KxWebViewJSApiHandler(QObject *parent = nullptr);

    void setArgumentRules(const QString &method, const QVector<KxWebViewJSArgRule> &rules);
    const KxWebViewJSArgRules &argumentRules() const;

private:
    KxWebViewJSArgRules m_rules;
};
