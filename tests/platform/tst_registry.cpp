#include "ktestmain.h"

#include <kregistry.h>

namespace {
const QString kKey = QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Brindlex\\Office\\6.0\\plugins\\export_photo");
}

class TestRegistry : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QDir(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/brindlex")).removeRecursively(); }

    void valuesPersistPerKey()
    {
        QVERIFY(!KRegistry::keyExists(kKey));
        QCOMPARE(KRegistry::value(kKey, QStringLiteral("SelectedImageFormat"), -1).toInt(), -1);
        QVERIFY(KRegistry::setValue(kKey, QStringLiteral("SelectedImageFormat"), 2));
        QVERIFY(KRegistry::setValue(kKey, QString(), QStringLiteral("default")));
        QCOMPARE(KRegistry::value(kKey, QStringLiteral("SelectedImageFormat")).toInt(), 2);
        QCOMPARE(KRegistry::value(kKey, QString()).toString(), QStringLiteral("default"));
        // A sibling key is a store of its own.
        QVERIFY(!KRegistry::value(kKey + QStringLiteral("2"), QStringLiteral("SelectedImageFormat")).isValid());
        QVERIFY(KRegistry::storePath(kKey).endsWith(
            QStringLiteral("brindlex/registry/HKEY_CURRENT_USER/SOFTWARE/Brindlex/Office/6.0/plugins/export_photo.ini")));
        QVERIFY(KRegistry::remove(kKey, QStringLiteral("SelectedImageFormat")));
        QVERIFY(!KRegistry::value(kKey, QStringLiteral("SelectedImageFormat")).isValid());
        const QString escaped = KRegistry::storePath(QStringLiteral("HKEY_CURRENT_USER\\..\\..\\evil"));
        QVERIFY(!escaped.contains(QStringLiteral("..")));
        QVERIFY(escaped.contains(QStringLiteral("/brindlex/registry/")));
    }

    void caseIsIgnored_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("name");
        QTest::newRow("same spelling") << kKey << QStringLiteral("SelectedImageFormat");
        QTest::newRow("key in upper case") << kKey.toUpper() << QStringLiteral("SelectedImageFormat");
        QTest::newRow("key in lower case") << kKey.toLower() << QStringLiteral("SelectedImageFormat");
        QTest::newRow("name in lower case") << kKey << QStringLiteral("selectedimageformat");
        QTest::newRow("both mixed") << QStringLiteral("hkey_current_user\\Software\\BRINDLEX\\office\\6.0\\Plugins\\Export_Photo")
                                    << QStringLiteral("SELECTEDimageFORMAT");
    }
    void caseIsIgnored()
    {
        QFETCH(QString, key);
        QFETCH(QString, name);
        // A store written before, in its own spelling, as earlier versions left it.
        const QString stored = KRegistry::storePath(kKey);
        QVERIFY(KRegistry::setValue(kKey, QStringLiteral("SelectedImageFormat"), 2));

        QVERIFY(KRegistry::keyExists(key));
        QCOMPARE(KRegistry::storePath(key), stored);
        QCOMPARE(KRegistry::value(key, name, -1).toInt(), 2);
        QVERIFY(KRegistry::setValue(key, name, 3));
        QSettings ini(stored, QSettings::IniFormat);
        QCOMPARE(ini.allKeys(), QStringList{QStringLiteral("SelectedImageFormat")});
        QCOMPARE(ini.value(QStringLiteral("SelectedImageFormat")).toInt(), 3);
        QVERIFY(KRegistry::remove(key, name));
        QVERIFY(!KRegistry::value(kKey, QStringLiteral("SelectedImageFormat")).isValid());
        QCOMPARE(QDir(QFileInfo(stored).absolutePath()).entryList(QDir::Files), QStringList{QFileInfo(stored).fileName()});
    }
};

KTAVRO_TEST_MAIN(TestRegistry)
#include "tst_registry.moc"
