#include "ktestdocuments.h"
#include "ktestmain.h"

#include <kdocumentloader.h>

#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// The keys of a desktop entry's main group (QSettings would take ';' for a comment).
QHash<QString, QString> desktopEntry(const QString &path)
{
    QHash<QString, QString> keys;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return keys;
    bool inMain = false;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inMain = line == QLatin1String("[Desktop Entry]");
        else if (inMain && line.contains(QLatin1Char('=')) && !line.startsWith(QLatin1Char('#')))
            keys.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1));
    }
    return keys;
}

} // namespace

// `cmake --install` into a fresh prefix: what lands where, and that the installed host runs
// from there alone.
class TestInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir m_prefix;

    QProcessEnvironment installedEnvironment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("LD_LIBRARY_PATH"));
        env.remove(QStringLiteral("BRINDLEX_ADDON"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_prefix.isValid());
        QProcess install;
        install.start(QStringLiteral(CMAKE_COMMAND_PATH),
                      {QStringLiteral("--install"), QStringLiteral(BUILD_DIR), QStringLiteral("--prefix"), m_prefix.path()});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
    }

    void filesAreInPlace_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("executable");
        QTest::newRow("host") << "bin/brindlex" << true;
        for (const char *lib : {"libktavro.so", "libzda.so", "libzdalite.so", "libzdaliteweb.so", "libbrxplatform.so",
                                "liblumoipc.so", "libbrxdocuments.so", "kappessbuiltinjsapi.so"})
            QTest::newRow(lib) << QStringLiteral("lib/") + QLatin1String(lib) << false;
        QTest::newRow("desktop entry") << "share/applications/brindlex.desktop" << false;
        QTest::newRow("icon") << "share/icons/hicolor/scalable/apps/brindlex.svg" << false;
    }
    void filesAreInPlace()
    {
        QFETCH(QString, path);
        QFETCH(bool, executable);
        const QFileInfo info(m_prefix.filePath(path));
        QVERIFY2(info.isFile(), qPrintable(path));
        QVERIFY(info.size() > 0);
        if (executable)
            QVERIFY(info.isExecutable());
    }

    void desktopEntryOpensWhatTheHostOpens()
    {
        const QHash<QString, QString> entry =
            desktopEntry(m_prefix.filePath(QStringLiteral("share/applications/brindlex.desktop")));
        QCOMPARE(entry.value(QStringLiteral("Type")), QStringLiteral("Application"));
        // One file: one document per process.
        QCOMPARE(entry.value(QStringLiteral("Exec")), QStringLiteral("brindlex %f"));
        QCOMPARE(entry.value(QStringLiteral("Icon")), QStringLiteral("brindlex"));
        const QStringList types = entry.value(QStringLiteral("MimeType")).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        QVERIFY(types.size() >= 10);
        QMimeDatabase mimes;
        QStringList unknown;
        for (const QString &type : types) {
            const QMimeType mime = mimes.mimeTypeForName(type);
            bool opens = false;
            for (const QString &suffix : mime.suffixes())
                opens = opens || !KDocumentLoader::componentFor(QStringLiteral("a.") + suffix).isEmpty();
            if (!opens) // also a type nobody knows: a misspelt name
                unknown.append(type);
        }
        QVERIFY2(unknown.isEmpty(), qPrintable(unknown.join(QLatin1Char(' '))));
    }

    // The installed copy needs nothing from the build tree: its libraries come from lib/.
    void installedHostUsesItsOwnLibraries()
    {
        QProcess ldd;
        ldd.setProcessEnvironment(installedEnvironment());
        ldd.start(QStringLiteral("ldd"), {m_prefix.filePath(QStringLiteral("bin/brindlex"))});
        QVERIFY(ldd.waitForFinished(30000));
        const QString out = QString::fromLocal8Bit(ldd.readAllStandardOutput());
        QVERIFY2(!out.contains(QLatin1String("not found")), qPrintable(out));
        for (const char *lib : {"libzda.so", "libzdalite.so", "libbrxdocuments.so", "libbrxplatform.so"}) {
            const QRegularExpression line(QStringLiteral("%1 => (\\S+)").arg(QRegularExpression::escape(QLatin1String(lib))));
            const QString resolved = line.match(out).captured(1);
            QVERIFY2(QFileInfo(resolved).canonicalFilePath().startsWith(QFileInfo(m_prefix.path()).canonicalFilePath()),
                     qPrintable(QStringLiteral("%1 => %2").arg(QLatin1String(lib), resolved)));
        }
    }

    void installedHostExports()
    {
        QTemporaryDir work;
        const QString document = work.filePath(QStringLiteral("note.md"));
        QVERIFY(ktest::writeText(document, "# Installed\n\nText.\n"));
        const QString picture = work.filePath(QStringLiteral("note.png"));
        QProcess host;
        host.setProcessEnvironment(installedEnvironment());
        host.start(m_prefix.filePath(QStringLiteral("bin/brindlex")),
                   {QStringLiteral("export"), document, QStringLiteral("--output"), picture, QStringLiteral("--quiet")});
        QVERIFY(host.waitForFinished(60000));
        QVERIFY2(host.exitCode() == 0, host.readAllStandardError().constData());
        QVERIFY(QImage(picture).width() > 0);
    }
};

KTAVRO_TEST_MAIN(TestInstall)
#include "tst_install.moc"
