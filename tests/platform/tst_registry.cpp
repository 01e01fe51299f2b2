#include "ktestmain.h"

#include <kregistry.h>

class TestRegistry : public QObject
{
    Q_OBJECT
private slots:
    void valuesPersistPerKey()
    {
        const QString key = QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Brindlex\\Office\\6.0\\plugins\\export_photo");
        QVERIFY(!KRegistry::keyExists(key));
        QCOMPARE(KRegistry::value(key, QStringLiteral("SelectedImageFormat"), -1).toInt(), -1);
        QVERIFY(KRegistry::setValue(key, QStringLiteral("SelectedImageFormat"), 2));
        QVERIFY(KRegistry::setValue(key, QString(), QStringLiteral("default")));
        QCOMPARE(KRegistry::value(key, QStringLiteral("SelectedImageFormat")).toInt(), 2);
        QCOMPARE(KRegistry::value(key, QString()).toString(), QStringLiteral("default"));
        // A sibling key is a store of its own.
        QVERIFY(!KRegistry::value(key + QStringLiteral("2"), QStringLiteral("SelectedImageFormat")).isValid());
        QVERIFY(KRegistry::storePath(key).endsWith(
            QStringLiteral("brindlex/registry/HKEY_CURRENT_USER/SOFTWARE/Brindlex/Office/6.0/plugins/export_photo.ini")));
        QVERIFY(KRegistry::remove(key, QStringLiteral("SelectedImageFormat")));
        QVERIFY(!KRegistry::value(key, QStringLiteral("SelectedImageFormat")).isValid());
    }

    void keyPathsStayInsideTheStore()
    {
        const QString path = KRegistry::storePath(QStringLiteral("HKEY_CURRENT_USER\\..\\..\\evil"));
        QVERIFY(!path.contains(QStringLiteral("..")));
        QVERIFY(path.contains(QStringLiteral("/brindlex/registry/")));
    }
};

KTAVRO_TEST_MAIN(TestRegistry)
#include "tst_registry.moc"
