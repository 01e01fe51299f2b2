#include "krtservices.h"

#include "khostconfig.h"
#include "krt.h"

#include <QHash>
#include <QUrl>

QString krt::product::serverUrl(const QString &name)
{
    return KHostConfig::value(QStringLiteral("serverUrl.") + name).toString();
}

QString krt::product::shareServiceUrl()
{
    const QString configured = serverUrl(QStringLiteral("TavroShare"));
    if (!configured.isEmpty())
        return configured;
    return QStringLiteral("http://127.0.0.1:%1").arg(kShareServicePort);
}

QString krt::product::webPageUrl(const QString &name)
{
    const QString configured = KHostConfig::value(QStringLiteral("webPage.") + name).toString();
    if (!configured.isEmpty())
        return configured;
    static const QHash<QString, QString> shipped{
        {QStringLiteral("feedback"), QStringLiteral("qrc:/zdaliteweb/pages/feedback.html")},
        {QStringLiteral("about"), QStringLiteral("qrc:/zdaliteweb/pages/about.html#about")},
        {QStringLiteral("declaration"), QStringLiteral("qrc:/zdaliteweb/pages/about.html#declaration")},
        {QStringLiteral("customerService"), QStringLiteral("qrc:/zdaliteweb/pages/about.html#service")},
        {QStringLiteral("networkError"), QStringLiteral("qrc:/zdaliteweb/pages/error.html")},
    };
    return shipped.value(name);
}

QString krt::product::feedbackAppUrl(const QString &appId)
{
    const QString query = QStringLiteral("#/?appid=") + QString::fromLatin1(QUrl::toPercentEncoding(appId));
    const QString server = serverUrl(QStringLiteral("FeedbackApp"));
    if (!server.isEmpty())
        return server + QStringLiteral("/static/common_feedback/dist/") + query;
    return webPageUrl(QStringLiteral("feedback")) + query;
}

bool krt::product::isDisableGlobalInfocollect()
{
    return KHostConfig::value(QStringLiteral("disableGlobalInfocollect"), false).toBool();
}

bool krt::isVldTurnedOn()
{
    return KHostConfig::value(QStringLiteral("vldTurnedOn"), false).toBool();
}

QString _zda_GetCollectDetail(int number)
{
    const QVariant configured = KHostConfig::value(QStringLiteral("collectDetail%1").arg(number));
    if (configured.isValid())
        return configured.toString();
    return number == 1 ? krt::info::version() : QString();
}
