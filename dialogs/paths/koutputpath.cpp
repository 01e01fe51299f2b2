#include "koutputpath.h"

#include <kdrivetype.h>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

bool namesADrive(const QString &path)
{
    const KDriveType::Type type = KDriveType::of(path.left(2));
    return type == KDriveType::Unknown || type == KDriveType::NoRootDir;
}

QString lastComponent(const QString &path)
{
    const int slash = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(slash + 1);
}

QString folderPart(const QString &path, bool longPicture)
{
    if (!longPicture)
        return path;
    const int slash = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return slash < 0 ? QStringLiteral(".") : path.left(slash + 1);
}

} // namespace

QString KOutputPath::normalize(const QString &path)
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const bool network = p.startsWith(QLatin1String("//"));
    static const QRegularExpression repeated(QStringLiteral("/{2,}"));
    p.replace(repeated, QStringLiteral("/"));
    if (network)
        p.prepend(QLatin1Char('/'));
    return QDir::toNativeSeparators(p);
}

QString KOutputPath::withoutExtension(const QString &name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 1 ? name.left(dot) : name;
}

KOutputPath::Check KOutputPath::check(const QString &path, bool longPicture)
{
    Check result;
    auto refuse = [&result](const QString &message) {
        result.message = message;
        return result;
    };
    const QString noSuchPlace = tr("Export path does not exist,please input a valid local path");
    if (path.isEmpty())
        return refuse(tr("Export path can't be empty,please input file path"));
    if (path.size() < kMinLength || path.size() > kMaxLength)
        return refuse(tr("Export path length must be between %1 and %2 characters").arg(kMinLength).arg(kMaxLength));
    if (namesADrive(path))
        return refuse(noSuchPlace);
    const QString name = lastComponent(path);
    if (longPicture && (name.isEmpty() || name.startsWith(QLatin1Char('.'))))
        return refuse(noSuchPlace);
    const QString folder = folderPart(path, longPicture);
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        return refuse(tr("Invalid file path,please reselect and try again"));
    result.normalized = normalize(path);
    if (longPicture) {
        static const QRegularExpression forbidden(QStringLiteral("[\\\\/:*?\"<>|]"));
        if (forbidden.match(name).hasMatch())
            return refuse(tr("A file name can't contain any of the following characters: \\/:*?\"<>|"));
        static const QRegularExpression suffix(QStringLiteral("\\.(jpg|png|bmp|tif|jpeg)$"),
                                               QRegularExpression::CaseInsensitiveOption);
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        if (name.size() <= 4 || dot < 1 || !suffix.match(name.mid(dot)).hasMatch())
            return refuse(tr("Invalid image format,please reselect and try again"));
        result.exists = QFileInfo::exists(result.normalized);
    }
    result.ok = true;
    return result;
}
