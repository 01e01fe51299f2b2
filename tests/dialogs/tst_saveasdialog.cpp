#include "ktestmain.h"

#include <ksaveasexportimagedialog.h>

#include <QLineEdit>

class TestSaveAsDialog : public QObject
{
    Q_OBJECT
private slots:
    void mimeTypeFollowsTheLastSuffix_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("mime");
        QTest::newRow("jpg") << "/p/a.jpg" << "image/jpeg";
        QTest::newRow("GIF in capitals") << "/p/a.GIF" << "image/gif";
        QTest::newRow("bmp") << "/p/a.bmp" << "image/bmp";
        QTest::newRow("emf") << "/p/a.Emf" << "image/emf";
        QTest::newRow("no suffix") << "/p/a" << "image/png";
        QTest::newRow("jpeg is not jpg") << "/p/a.jpeg" << "image/png";
        QTest::newRow("dots before the suffix") << "/p/report.v2.jpg" << "image/jpeg";
        QTest::newRow("dot in a folder name") << "/p.gif/a" << "image/png";
    }

    void mimeTypeFollowsTheLastSuffix()
    {
        QFETCH(QString, path);
        QFETCH(QString, mime);
        QCOMPARE(KSaveAsExportImageDialog::mimeTypeFor(path), mime);
    }

    // OK takes the edit's text (an empty one keeps the dialog open), Cancel empties both
    // answers, Browse fills the edit only with a chosen file.
    void answers_data()
    {
        QTest::addColumn<QString>("chosen");  // what the file chooser answers; null: not used
        QTest::addColumn<QString>("typed");   // typed over the edit; null: left alone
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("mime");
        QTest::newRow("typed GIF") << QString() << "/out/A.GIF" << true << int(QDialog::Accepted) << "/out/A.GIF"
                                   << "image/gif";
        QTest::newRow("empty path stays") << QString() << "" << true << -1 << "" << "image/jpeg";
        QTest::newRow("cancel") << QString() << "/out/a.png" << false << int(QDialog::Rejected) << "" << "";
        QTest::newRow("browsed, backslashes") << "C:\\pics\\b.bmp" << QString() << true << int(QDialog::Accepted)
                                              << "C:/pics/b.bmp" << "image/bmp";
        QTest::newRow("browse cancelled") << "" << QString() << true << int(QDialog::Accepted)
                                          << "/home/me/tavro图片/tavro图片.jpg" << "image/jpeg";
    }

    void answers()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, typed);
        QFETCH(bool, ok);
        QFETCH(int, result);
        QFETCH(QString, path);
        QFETCH(QString, mime);
        qputenv("USERPROFILE", "/home/me");
        KSaveAsExportImageDialog dialog;
        QCOMPARE(dialog.pathEdit()->text(), QStringLiteral("/home/me/tavro图片/tavro图片.jpg"));
        dialog.setResult(-1);
        if (!chosen.isNull()) {
            dialog.setFileChooser([chosen](QWidget *) { return chosen; });
            dialog.browseButtonClicked();
        }
        if (!typed.isNull())
            dialog.pathEdit()->setText(typed);
        ok ? dialog.okButtonClicked() : dialog.cancelButtonClicked();
        QCOMPARE(dialog.result(), result);
        QCOMPARE(dialog.chosenPath(), path);
        QCOMPARE(dialog.mimeType(), mime);
        QVERIFY(dialog.viewAfterExport());
    }

    void grabbedForALook()
    {
        qputenv("USERPROFILE", "/home/me");
        KSaveAsExportImageDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(dialog.width() >= 500);
        const QByteArray folder = qgetenv("KTAVRO_TEST_ARTIFACTS");
        if (!folder.isEmpty())
            QVERIFY(dialog.grab().save(QString::fromLocal8Bit(folder) + QStringLiteral("/saveas-dialog.png")));
    }
};

KTAVRO_TEST_MAIN(TestSaveAsDialog)
#include "tst_saveasdialog.moc"
