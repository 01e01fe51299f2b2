#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

// A library the application depends on: its name and its file.
struct KEssDependency
{
    QString name;
    QString file;

    bool operator==(const KEssDependency &o) const { return name == o.name && file == o.file; }
};

// What the framework knows about the application it serves; the application adapter fills
// it from the launch description and the sandbox keeps a copy.
struct SandboxInfo
{
    QString moduleVersion;
    QString frameworkVersion; // "1.0"
    QString appId;            // names the data folder and the settings key
    QString source;
    QString appKey;           // the application id again
    QString displayName;      // the property "applicationName"
    QString entryName;
    QString entryFolder;      // the application's folder
    QList<KEssDependency> dependencies;
    QVariantMap properties;   // from the application's meta file
    QVariantMap extras;
};

Q_DECLARE_METATYPE(SandboxInfo *)
