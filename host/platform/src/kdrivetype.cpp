#include "kdrivetype.h"

KDriveType::Type KDriveType::of(const QString &path)
{
    if (path.size() >= 2 && path.at(1) == QLatin1Char(':') && path.at(0).isLetter()
        && path.at(0).unicode() < 128)
        return NoRootDir;
    return NotADrivePath;
}
