#pragma once

#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace ktest {

// The outcome of one brindlex run.
struct Run
{
    int status = -1; // -1: crashed, killed or did not end in time
    QJsonObject json;
    QString out;
    QString err;

    // The picture a --json run reports it wrote.
    QImage picture() const { return QImage(json.value(QStringLiteral("fileName")).toString()); }
};

// Starts brindlex with extra environment; a null value removes the variable.
inline void startBrindlex(QProcess &process, const QString &program, const QStringList &arguments,
                          const QMap<QString, QString> &environment = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (auto it = environment.begin(); it != environment.end(); ++it) {
        if (it.value().isNull())
            env.remove(it.key());
        else
            env.insert(it.key(), it.value());
    }
    process.setProcessEnvironment(env);
    process.start(program, arguments);
}

// Waits for the end; a process that ended already (during an event loop) counts as well,
// one that never started does not.
inline Run finish(QProcess &process, int timeout = 120000)
{
    Run run;
    const bool ended = process.state() == QProcess::NotRunning || process.waitForFinished(timeout);
    if (!ended || process.error() == QProcess::FailedToStart) {
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

// Runs brindlex (see startBrindlex) to its end.
inline Run runBrindlex(const QString &program, const QStringList &arguments,
                       const QMap<QString, QString> &environment = {})
{
    QProcess process;
    startBrindlex(process, program, arguments, environment);
    return finish(process);
}

// Every entry below the folder, hidden ones too, relative to it and sorted.
inline QStringList entriesBelow(const QString &folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(folder).relativeFilePath(it.next());
    found.sort();
    return found;
}

} // namespace ktest
