#include "ktesthttp.h"
#include "ktestmain.h"

#include <infocollect.h>
#include <khostconfig.h>
#include <kregistry.h>
#include <kregquery.h>
#include <nettransferservice.h>

#include <QRandomGenerator>

namespace {

using ktest::HttpRecorder;

QByteArray decodedQuery(const QByteArray &target, const QByteArray &base)
{
    return target.startsWith(base) ? ktest::decodeReport(target.mid(base.size())) : "<base differs: " + target + ">";
}

const QByteArray kIdentity = "&guid=G4&hdid=H5&uuid=U6&version=V1&channel=";

} // namespace

class TestNetTransfer : public QObject
{
    Q_OBJECT

    HttpRecorder m_server;

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.isListening());
        for (const char *proxy : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"})
            qunsetenv(proxy);
        const std::pair<int, const char *> details[] = {{1, "V1"}, {4, "G4"}, {5, "H5"}, {6, "U6"}};
        for (const auto &detail : details)
            KHostConfig::setValue(QStringLiteral("collectDetail%1").arg(detail.first), QString::fromLatin1(detail.second));
        KHostConfig::setValue(QStringLiteral("serverUrl.InfoCollectServer"), m_server.url(QStringLiteral("/info")));
        QCoreApplication::setApplicationName(QStringLiteral("pdf"));
    }

    void encodingKeepsLengthAlphabetAndContent()
    {
        QCOMPARE(encodeInfo("abc"), QByteArray("X9sO"));
        QCOMPARE(encodeInfo("\xff"), QByteArray("_3"));
        QCOMPARE(encodeInfo(QByteArray()), QByteArray());
        auto *random = QRandomGenerator::global();
        for (int round = 0; round < 500; ++round) {
            QByteArray bytes(int(random->bounded(100)), Qt::Uninitialized);
            for (char &c : bytes)
                c = char(random->bounded(256));
            const QByteArray encoded = encodeInfo(bytes);
            QCOMPARE(encoded.size(), (4 * bytes.size() + 2) / 3);
            for (const char c : encoded)
                QVERIFY2(ktest::kReportAlphabet.contains(c), encoded.constData());
            QCOMPARE(ktest::decodeReport(encoded), bytes);
        }
    }

    void queryListsIdentityThenParameters()
    {
        QCOMPARE(buildInfoQuery(QStringLiteral("/m"), QStringLiteral("act"), {}),
                 QString::fromLatin1("dm=/m&action=act" + kIdentity + "&pnum=0"));
        QCOMPARE(buildInfoQuery(QStringLiteral("/m"), QStringLiteral("act"), {QStringLiteral("a b"), QStringLiteral("x&y=\u4e2d")}),
                 QString::fromLatin1("dm=/m&action=act" + kIdentity + "&pnum=2&p1=a b&p2=x&y=") + QStringLiteral("\u4e2d"));
    }

    void pdfReportUrlIsExact()
    {
        KHostConfig::setValue(QStringLiteral("userId"), QStringLiteral("u42"));
        sendPdfReport({QStringLiteral("PDF2photo|Over20Page|Popup")});
        KHostConfig::setValue(QStringLiteral("userId"), QString());
        QCoreApplication::setApplicationName(QStringLiteral("vyx"));
        sendPdfReport({QStringLiteral("PDF2photo|Over20Page|Close"), QStringLiteral("second")});
        QCoreApplication::setApplicationName(QStringLiteral("pdf"));
        QTRY_COMPARE(m_server.requests.size(), 2);

        const QByteArray base = "/info?v=D1S1E2&d=";
        QCOMPARE(decodedQuery(m_server.target(0), base),
                 "dm=/vyx/pdf/info&action=click" + kIdentity + "&pnum=3&p1=pdf_co&p2=u42&p3=PDF2photo|Over20Page|Popup");
        QCOMPARE(decodedQuery(m_server.target(1), base),
                 "dm=/vyx/pdf/info&action=click" + kIdentity + "&pnum=4&p1=vyx&p2=-1&p3=PDF2photo|Over20Page|Close&p4=second");
    }

    // A server address with a version marker is used as is; reports sent at once go out in order.
    void serverMarkerAndOrder()
    {
        const int before = m_server.requests.size();
        sendInfo(m_server.url(QStringLiteral("/c?v=D1S1E2&d=")), QStringLiteral("/m"), QStringLiteral("a"), {});
        sendInfo(m_server.url(QStringLiteral("/D1S1E1/")), QStringLiteral("/m"), QStringLiteral("a"), {});
        for (int i = 0; i < 10; ++i)
            sendInfo(m_server.url(QStringLiteral("/burst")), QStringLiteral("/m"), QStringLiteral("a"), {QString::number(i)});
        QTRY_COMPARE(m_server.requests.size(), before + 12);
        const QByteArray query = "dm=/m&action=a" + kIdentity + "&pnum=";
        QCOMPARE(decodedQuery(m_server.target(before), "/c?v=D1S1E2&d="), query + "0");
        QCOMPARE(decodedQuery(m_server.target(before + 1), "/D1S1E1/"), query + "0");
        for (int i = 0; i < 10; ++i)
            QCOMPARE(decodedQuery(m_server.target(before + 2 + i), "/burst?v=D1S1E2&d="), query + "1&p1=" + QByteArray::number(i));
    }

    void silentServerIsAbandonedAfterTheTimeout()
    {
        NetTransferService::instance()->setTimeout(400);
        const int before = m_server.requests.size();
        sendInfo(m_server.url(QStringLiteral("/hang")), QStringLiteral("/m"), QStringLiteral("a"), {});
        sendInfo(m_server.url(QStringLiteral("/after")), QStringLiteral("/m"), QStringLiteral("a"), {});
        QTRY_COMPARE_WITH_TIMEOUT(m_server.requests.size(), before + 2, 5000);
        NetTransferService::instance()->setTimeout(20000);
        const auto &requests = m_server.requests;
        QVERIFY(requests.at(before).target.startsWith("/hang"));
        QVERIFY(requests.at(before + 1).target.startsWith("/after"));
        QVERIFY(requests.at(before + 1).arrivedMs - requests.at(before).arrivedMs >= 300);
    }

    // A server that drops the connection or is not there at all costs the queue nothing: the
    // next report goes out at once, not after the time-out.
    void unreachableServerDoesNotHoldTheQueue_data()
    {
        QTest::addColumn<bool>("listening");
        QTest::newRow("connection dropped") << true;
        QTest::newRow("nothing listening") << false;
    }

    void unreachableServerDoesNotHoldTheQueue()
    {
        QFETCH(bool, listening);
        QString url = m_server.url(QStringLiteral("/drop"));
        if (!listening) {
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost));
            url = QStringLiteral("http://127.0.0.1:%1/gone").arg(closed.serverPort());
        }
        const QByteArray next = "/next-" + QByteArray(QTest::currentDataTag()).replace(' ', '-');
        sendInfo(url, QStringLiteral("/m"), QStringLiteral("a"), {});
        sendInfo(m_server.url(QString::fromLatin1(next)), QStringLiteral("/m"), QStringLiteral("a"), {});
        const auto arrived = [this, &next] {
            for (const HttpRecorder::Request &request : m_server.requests)
                if (request.target.startsWith(next))
                    return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(arrived(), 5000); // the time-out is 20 s
    }

    void switchedOffCollectionSendsNothing()
    {
        const int before = m_server.requests.size();
        KHostConfig::setValue(QStringLiteral("disableGlobalInfocollect"), true);
        sendInfo(m_server.url(QStringLiteral("/disabled")), QStringLiteral("/m"), QStringLiteral("a"), {});
        NetTransferService::postInfo(m_server.url(QStringLiteral("/disabled")).toLatin1());
        KHostConfig::setValue(QStringLiteral("disableGlobalInfocollect"), false);
        KHostConfig::setValue(QStringLiteral("vldTurnedOn"), true);
        NetTransferService::postInfo(m_server.url(QStringLiteral("/vld")).toLatin1());
        KHostConfig::setValue(QStringLiteral("vldTurnedOn"), false);
        // Reports go out in order, so once this one is in, the others would have been too.
        NetTransferService::postInfo(m_server.url(QStringLiteral("/sentinel")).toLatin1());
        QTRY_COMPARE(m_server.requests.size(), before + 1);
        QCOMPARE(m_server.target(before), QByteArray("/sentinel"));
    }

    void stopAbandonsTheRequestInFlightAndDropsTheQueue()
    {
        const int before = m_server.requests.size();
        auto *service = new NetTransferService;
        service->setTimeout(10000);
        service->enqueue(m_server.url(QStringLiteral("/hang/stop")).toLatin1());
        QTRY_COMPARE(m_server.requests.size(), before + 1);
        service->enqueue(m_server.url(QStringLiteral("/dropped")).toLatin1());
        QElapsedTimer clock;
        clock.start();
        delete service;
        QVERIFY2(clock.elapsed() < 3000, QByteArray::number(clock.elapsed()).constData());
        QTest::qWait(200);
        QCOMPARE(m_server.requests.size(), before + 1);
    }

    void feedbackServerComesFromTheRegistry()
    {
        {
            NetTransferService service;
            QCOMPARE(service.timeout(), 20000);
            service.setTimeout(0);
            QCOMPARE(service.timeout(), 20000);
            QCOMPARE(service.feedbackServer(), m_server.url(QStringLiteral("/info")).toUtf8());
        }
        KRegistry::setValue(_zda_RegAreaKeyPath(4, QStringLiteral("plgpf")), QStringLiteral("feedbacksvr"),
                            QStringLiteral("http://127.0.0.1/fb\u00e9"));
        NetTransferService service;
        QCOMPARE(service.feedbackServer(), QByteArray("http://127.0.0.1/fb\xc3\xa9"));
    }
};

KTAVRO_TEST_MAIN(TestNetTransfer)
#include "tst_nettransfer.moc"
