#pragma once

#include "sandboxinfo.h"

#include <QMetaType>
#include <QPair>
#include <QStringList>
#include <QVariantMap>

// An entry name and its folder, as the launch map carries it.
using PairString = QPair<QString, QString>;

// How the application was launched: read from its launch map, with the properties of the
// meta file that the map names under "meteFilePath".
class KEssLaunchInfo
{
public:
    QString appId;
    PairString entry;
    QString source;
    QStringList files;
    QList<KEssDependency> dependencies;
    QVariantMap properties;
    int posX = 0;
    int posY = 0;

    static KEssLaunchInfo fromLaunchMap(const QVariantMap &launchMap);
    // (0, 0) means the launcher gave no position.
    bool hasPosition() const { return posX != 0 || posY != 0; }

    // "PairString" and "const KEssLaunchInfo*"; safe to call more than once.
    static void registerMetaTypes();
};

Q_DECLARE_METATYPE(const KEssLaunchInfo *)
