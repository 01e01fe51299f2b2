#include "ktestmain.h"
#include "ktestprocess.h"

#include <QTemporaryDir>

namespace {

// brindlex with the language sources given and every other one removed.
ktest::Run brindlex(const QStringList &arguments, const QString &configFile, const QString &language, const QString &lang)
{
    // A null value removes the variable; the output is UTF-8 whatever language is asked for.
    return ktest::runBrindlex(QStringLiteral(BRINDLEX_PATH), arguments,
                              {{"LANGUAGE", language.isEmpty() ? QString() : language},
                               {"LANG", lang.isEmpty() ? QString() : lang},
                               {"LC_ALL", QStringLiteral("C.UTF-8")},
                               {"LC_MESSAGES", QString()},
                               {"BRINDLEX_HOST_CONFIG", configFile.isEmpty() ? QString() : configFile}});
}

} // namespace

class TestBrindlexLanguage : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;

    QString hostConfig(const QString &language)
    {
        if (language.isEmpty())
            return QString();
        const QString path = m_tmp.filePath(QStringLiteral("host-%1.ini").arg(language));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        file.write("[values]\nlanguage=" + language.toUtf8() + "\n");
        return path;
    }

private slots:
    void languageSources_data()
    {
        QTest::addColumn<QString>("config");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("lang");
        QTest::addColumn<bool>("chinese");

        QTest::newRow("none") << QString() << QString() << QString() << false;
        QTest::newRow("LANG") << QString() << QString() << QStringLiteral("zh_CN.UTF-8") << true;
        QTest::newRow("LANGUAGE") << QString() << QStringLiteral("zh_CN:en") << QStringLiteral("en_US.UTF-8") << true;
        QTest::newRow("host configuration") << QStringLiteral("zh_CN") << QString() << QStringLiteral("en_US.UTF-8") << true;
        QTest::newRow("host configuration says English") << QStringLiteral("en") << QString() << QStringLiteral("zh_CN.UTF-8")
                                                         << false;
        QTest::newRow("other language") << QString() << QString() << QStringLiteral("de_DE.UTF-8") << false;
    }

    // The host's own texts and the add-on's (loaded by the host) in the language asked for.
    void languageSources()
    {
        QFETCH(QString, config);
        QFETCH(QString, language);
        QFETCH(QString, lang);
        QFETCH(bool, chinese);
        const QString configFile = hostConfig(config);
        QVERIFY(config.isEmpty() || !configFile.isEmpty());

        const ktest::Run usage = brindlex({QStringLiteral("export"), QStringLiteral("--bogus")}, configFile, language, lang);
        QCOMPARE(usage.status, 64);
        QVERIFY2(usage.err.contains(chinese ? QStringLiteral("参数无效: 未知选项“bogus”。")
                                            : QStringLiteral("Invalid arguments: Unknown option 'bogus'.")),
                 qPrintable(usage.err));

        const QString document = m_tmp.filePath(QStringLiteral("doc.txt"));
        QFile file(document);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("One line of text.\n");
        file.close();
        const ktest::Run refused = brindlex({QStringLiteral("export"), document, QStringLiteral("--format"), QStringLiteral("gif"),
                                      QStringLiteral("--json")},
                                     configFile, language, lang);
        QCOMPARE(refused.status, 64);
        QCOMPARE(refused.json.value(QStringLiteral("errTitle")).toString(),
                 chinese ? QStringLiteral("格式无效") : QStringLiteral("Invalid format"));
        QCOMPARE(refused.json.value(QStringLiteral("errMsg")).toString(),
                 chinese ? QStringLiteral("格式必须是 jpg、png、bmp 或 tif") : QStringLiteral("The format must be jpg, png, bmp or tif"));
    }

    void helpIsTranslated()
    {
        const ktest::Run help = brindlex({QStringLiteral("export"), QStringLiteral("--help")}, QString(), QString(),
                                  QStringLiteral("zh_CN.UTF-8"));
        QCOMPARE(help.status, 0);
        QVERIFY2(help.out.startsWith(QStringLiteral("用法：brindlex export [选项] document\n")), qPrintable(help.out));
        QVERIFY2(help.out.contains(QStringLiteral("要导出的文档。")), qPrintable(help.out));
        QVERIFY2(help.out.contains(QStringLiteral("自定义水印的文字。")), qPrintable(help.out));
        const ktest::Run english = brindlex({QStringLiteral("convert"), QStringLiteral("a"), QStringLiteral("b"),
                                      QStringLiteral("c")},
                                     QString(), QString(), QString());
        QVERIFY2(english.err.contains(QStringLiteral("Name one document and one output file.")), qPrintable(english.err));
        const ktest::Run chinese = brindlex({QStringLiteral("convert"), QStringLiteral("a"), QStringLiteral("b"),
                                      QStringLiteral("c")},
                                     QString(), QString(), QStringLiteral("zh_CN.UTF-8"));
        QVERIFY2(chinese.err.contains(QStringLiteral("请指定一个文档和一个输出文件。")), qPrintable(chinese.err));
        QVERIFY2(chinese.err.contains(QStringLiteral("将文字文档")), qPrintable(chinese.err));
        // Qt's parser speaks the host's language too.
        const ktest::Run unknown = brindlex({QStringLiteral("export"), QStringLiteral("--bogus")}, QString(), QString(),
                                     QStringLiteral("zh_CN.UTF-8"));
        QCOMPARE(unknown.status, 64);
        QVERIFY2(unknown.err.contains(QStringLiteral("参数无效: 未知选项“bogus”。")), qPrintable(unknown.err));
    }
};

KTAVRO_TEST_MAIN(TestBrindlexLanguage)
#include "tst_brindlexlanguage.moc"
