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
    QString err;

    QImage picture() const { return QImage(json.value(QStringLiteral("fileName")).toString()); }
};

// Runs `brindlex export ARGUMENTS` (BRINDLEX_PATH names the binary) with extra environment.
inline BrindlexRun brindlex(const QStringList &arguments, const QMap<QString, QString> &environment = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (auto it = environment.begin(); it != environment.end(); ++it)
        env.insert(it.key(), it.value());
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(BRINDLEX_PATH), QStringList{QStringLiteral("export")} + arguments);
    BrindlexRun run;
    if (!process.waitForFinished(120000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.json = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace ktest
