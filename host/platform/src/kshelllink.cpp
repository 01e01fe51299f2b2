#include "kshelllink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>

namespace {

// Values of a desktop entry escape backslash and control characters.
QString escapeValue(QString value)
{
    value.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    value.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    value.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    value.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return value;
}

// One Exec argument: quoted whole, with the characters that stay special inside quotes
// escaped, and "%" doubled so it is not taken for a field code.
QString quoteExecArgument(QString argument)
{
    QString quoted;
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

} // namespace

long KShellLink::setPath(const QString &program)
{
    if (program.trimmed().isEmpty() || hasLineBreak(program))
        return InvalidArgument;
    m_program = program;
    return Ok;
}

long KShellLink::setWorkingDirectory(const QString &folder)
{
    if (hasLineBreak(folder))
        return InvalidArgument;
    m_workingDirectory = folder;
    return Ok;
}

long KShellLink::setArguments(const QString &arguments)
{
    if (hasLineBreak(arguments))
        return InvalidArgument;
    m_arguments = arguments;
    return Ok;
}

long KShellLink::setIconLocation(const QString &iconFile, int index)
{
    if (hasLineBreak(iconFile) || index < 0)
        return InvalidArgument;
    m_iconFile = iconFile;
    m_iconIndex = index;
    return Ok;
}

long KShellLink::setDescription(const QString &description)
{
    m_description = description;
    return Ok;
}

QString KShellLink::desktopEntry(const QString &name) const
{
    QStringList exec{quoteExecArgument(m_program)};
    for (const QString &argument : QProcess::splitCommand(m_arguments))
        exec << quoteExecArgument(argument);

    QString text = QStringLiteral("[Desktop Entry]\nType=Application\nVersion=1.0\n");
    text += QStringLiteral("Name=%1\n").arg(escapeValue(name));
    if (!m_description.isEmpty())
        text += QStringLiteral("Comment=%1\n").arg(escapeValue(m_description));
    text += QStringLiteral("Exec=%1\n").arg(escapeValue(exec.join(QLatin1Char(' '))));
    if (!m_workingDirectory.isEmpty())
        text += QStringLiteral("Path=%1\n").arg(escapeValue(m_workingDirectory));
    if (!m_iconFile.isEmpty())
        text += QStringLiteral("Icon=%1\n").arg(escapeValue(m_iconFile));
    text += QStringLiteral("Terminal=false\n");
    return text;
}

long KShellLink::save(const QString &filePath, bool remember)
{
    Q_UNUSED(remember); // a desktop entry has no "current file" to remember
    if (m_program.isEmpty())
        return Failed;
    const QFileInfo target(filePath);
    if (filePath.isEmpty() || target.completeBaseName().isEmpty())
        return InvalidArgument;
    if (!target.absoluteDir().exists())
        return PathNotFound;

    QSaveFile file(target.absoluteFilePath());
    if (!file.open(QIODevice::WriteOnly))
        return AccessDenied;
    file.write(desktopEntry(target.completeBaseName()).toUtf8());
    if (!file.commit())
        return AccessDenied;
    // Desktops start only entries that are marked executable.
    QFile::setPermissions(target.absoluteFilePath(),
                          QFile::permissions(target.absoluteFilePath()) | QFile::ExeOwner | QFile::ExeUser);
    return Ok;
}
