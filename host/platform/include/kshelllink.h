#pragma once

#include <QString>

// A desktop shortcut built step by step and saved as a freedesktop desktop entry
// (<name>.desktop with Exec, Path, Icon and Comment), the stand-in for a shell link.
// Every step answers with a result code in the automation convention: 0 on success,
// a negative code naming the failure otherwise.
class KShellLink
{
public:
    enum Result : long {
        Ok = 0,
        InvalidArgument = static_cast<long>(0x80070057L),
        PathNotFound = static_cast<long>(0x80070003L),
        AccessDenied = static_cast<long>(0x80070005L),
        Failed = static_cast<long>(0x80004005L),
    };

    long setPath(const QString &program);
    long setWorkingDirectory(const QString &folder);
    // A command line with Windows-style quoting; it is split into separate arguments.
    long setArguments(const QString &arguments);
    long setIconLocation(const QString &iconFile, int index);
    long setDescription(const QString &description);
    // Writes the entry; the name of the file (without suffix) becomes the entry's Name.
    long save(const QString &filePath, bool remember = true);

    // The text that save writes.
    QString desktopEntry(const QString &name) const;

private:
    QString m_program;
    QString m_workingDirectory;
    QString m_arguments;
    QString m_iconFile;
    int m_iconIndex = 0;
    QString m_description;
};
