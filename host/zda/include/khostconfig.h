#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

// Host settings that the suite would normally take from its installation and account:
// edition, enterprise flag, supported features and raw configuration values.
//
// Sources, later ones winning: the file named by $BRINDLEX_HOST_CONFIG (else
// $XDG_CONFIG_HOME/brindlex/host.ini), then environment variables
// BRINDLEX_EDITION, BRINDLEX_ENTERPRISE, BRINDLEX_FEATURES (comma separated),
// then values set through this API (tests).
class KHostConfig
{
public:
    static int editionNumber();
    static bool isEnterprise();
    static bool isFeatureSupported(const QString &feature);
    static QString rawConfig(const QString &key);
    // Named host values without a dedicated accessor (document permissions, dpi scale, ...).
    static QVariant value(const QString &key, const QVariant &fallback = QVariant());

    static void setEditionNumber(int edition);
    static void setEnterprise(bool enterprise);
    static void setFeatures(const QStringList &features);
    static void setRawConfig(const QString &key, const QString &value);
    static void setValue(const QString &key, const QVariant &value);

    // Drops everything set through the API and reads file and environment again.
    static void reload();
    static QString configFilePath();
};
