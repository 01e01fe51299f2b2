#pragma once

#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QStringList>

namespace ktest {

struct BrindlexRun
{
    int status = -1;
    QJsonObject json;
    QString out;
    QString err;

    QImage picture() const { return QImage(json.value(QStringLiteral("fileName")).toString()); }
};

// Runs `brindlex ARGUMENTS` (BRINDLEX_PATH names the binary) with extra environment; a null
// value removes the variable.
inline BrindlexRun brindlexCommand(const QStringList &arguments, const QMap<QString, QString> &environment = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (auto it = environment.begin(); it != environment.end(); ++it) {
        if (it.value().isNull())
            env.remove(it.key());
        else
            env.insert(it.key(), it.value());
    }
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(BRINDLEX_PATH), arguments);
    BrindlexRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.json = QJsonDocument::fromJson(run.out.toUtf8()).object();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// Runs `brindlex export ARGUMENTS`.
inline BrindlexRun brindlex(const QStringList &arguments, const QMap<QString, QString> &environment = {})
{
    return brindlexCommand(QStringList{QStringLiteral("export")} + arguments, environment);
}

} // namespace ktest
