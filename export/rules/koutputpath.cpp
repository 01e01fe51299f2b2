#include "koutputpath.h"

#include <kpathtext.h>

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

// Why the folder could not be made, or "" when it exists or its missing levels can be made:
// the nearest existing level must be a folder we may create entries in.
QString folderProblem(const QString &folder)
{
    QFileInfo level(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
    if (level.isDir())
        return QString();
    while (!level.exists() && !level.isSymLink() && !level.isRoot())
        level.setFile(level.absolutePath());
    const QString name = kpathtext::printable(level.filePath());
    if (!level.isDir())
        return KOutputPath::tr("%1: not a folder").arg(name);
    if (!level.isWritable() || !level.isExecutable())
        return KOutputPath::tr("%1: no permission to create a folder in it").arg(name);
    return QString();
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
    const QString shown = kpathtext::printable(path);
    auto refuse = [&result](const QString &message, const QString &detail) {
        result.message = message;
        result.detail = detail;
        return result;
    };
    const QString noSuchPlace = tr("Export path does not exist,please input a valid local path");
    if (path.isEmpty())
        return refuse(tr("Export path can't be empty,please input file path"), QString());
    if (path.size() < kMinLength || path.size() > kMaxLength)
        return refuse(tr("Export path length must be between %1 and %2 characters").arg(kMinLength).arg(kMaxLength),
                      tr("%1: %2 characters").arg(shown, QString::number(path.size())));
    if (namesADrive(path))
        return refuse(noSuchPlace, tr("%1: no such drive").arg(shown));
    const QString name = lastComponent(path);
    if (longPicture && (name.isEmpty() || name.startsWith(QLatin1Char('.'))))
        return refuse(noSuchPlace, tr("%1: the picture needs a file name that does not begin with \".\"").arg(shown));
    const QString problem = folderProblem(folderPart(path, longPicture));
    if (!problem.isEmpty())
        return refuse(tr("Invalid file path,please reselect and try again"), problem);
    result.normalized = normalize(path);
    if (longPicture) {
        static const QRegularExpression forbidden(QStringLiteral("[\\\\/:*?\"<>|]"));
        if (forbidden.match(name).hasMatch())
            return refuse(tr("A file name can't contain any of the following characters: \\/:*?\"<>|"), shown);
        static const QRegularExpression suffix(QStringLiteral("\\.(jpg|png|bmp|tif|jpeg|tiff)$"),
                                               QRegularExpression::CaseInsensitiveOption);
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        if (name.size() <= 4 || dot < 1 || !suffix.match(name.mid(dot)).hasMatch())
            return refuse(tr("Invalid image format,please reselect and try again"),
                          tr("%1: the name must end in .jpg, .jpeg, .png, .bmp, .tif or .tiff").arg(shown));
        // A link that leads nowhere is followed by the write, so it counts as a file to replace.
        const QFileInfo target(result.normalized);
        if (target.isDir())
            return refuse(tr("Invalid file path,please reselect and try again"), tr("%1: is a folder").arg(shown));
        result.exists = target.exists() || target.isSymLink();
    }
    result.ok = true;
    return result;
}
