#pragma once

#include <krt.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QString>
#include <QtTest>

// Main for the project's QtTest executables: a widget application with the host's start-up
// work done, so fonts and host services behave as in the suite.
#define KTAVRO_TEST_MAIN(TestClass)                                                         \
    int main(int argc, char **argv)                                                         \
    {                                                                                       \
        QApplication app(argc, argv);                                                       \
        krt::host::initialize();                                                            \
        TestClass tc;                                                                       \
        return QTest::qExec(&tc, argc, argv);                                               \
    }

namespace ktest {
// Where a test leaves pictures for a person to look at (build/test-artifacts).
inline QString artifactPath(const QString &name)
{
    QString dir = qEnvironmentVariable("KTAVRO_TEST_ARTIFACTS");
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QDir().mkpath(dir);
    return dir + QLatin1Char('/') + name;
}
} // namespace ktest
