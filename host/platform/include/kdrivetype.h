#pragma once

#include <QString>

// Drive types of paths. Linux has no drive letters: a path that starts with a letter and a
// colon names a drive without a root folder; any other path is no drive path at all.
class KDriveType
{
public:
    enum Type {
        NotADrivePath = -1,
        Unknown = 0,   // the type cannot be determined
        NoRootDir = 1, // the drive has no root folder
    };

    static Type of(const QString &path);
};
