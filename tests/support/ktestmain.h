#pragma once

#include <krt.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QtTest>

// Defined when the address sanitizer is built in; GCC and clang say so differently.
#if defined(__SANITIZE_ADDRESS__)
#define KTAVRO_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KTAVRO_TEST_ASAN 1
#endif
#endif

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

// As KTAVRO_TEST_MAIN, but "--helper NAME ARGS..." runs the function helper(NAME, ARGS)
// instead of the tests: a second process for tests that need one (ktest::startHelper).
#define KTAVRO_TEST_MAIN_WITH_HELPER(TestClass, helper)                                     \
    int main(int argc, char **argv)                                                         \
    {                                                                                       \
        QApplication app(argc, argv);                                                       \
        krt::host::initialize();                                                            \
        if (argc > 2 && qstrcmp(argv[1], "--helper") == 0)                                  \
            return helper(QString::fromLocal8Bit(argv[2]), app.arguments().mid(3));         \
        TestClass tc;                                                                       \
        return QTest::qExec(&tc, argc, argv);                                               \
    }

namespace ktest {
// The display factors a look test runs at, 100 % and 200 %, as a column of that name.
inline void addDisplayFactors(const char *column)
{
    QTest::addColumn<double>(column);
    QTest::newRow("100 %") << 1.0;
    QTest::newRow("200 %") << 2.0;
}

// The add-on's commands, as it registers them with the host's factory.
inline QStringList addonCommandNames()
{
    return {"KxExportTavroImageCommand", "KxFileMenuExportTavroImageCommand", "KxInsertTavroImageCommand",
            "KxOpenWebTavroCommand", "KxPdf2PhotoCommand", "KxSaveAsExportTavroImageCommand", "KxTavroCommand",
            "KxTavroListCommand", "KxVyxTavroContext", "KxVyxTavroLayoutCommand"};
}

// Starts this test executable as a helper process (see KTAVRO_TEST_MAIN_WITH_HELPER).
inline void startHelper(QProcess &process, const QString &name, const QStringList &arguments = {})
{
    process.start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--helper"), name} + arguments);
}

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
