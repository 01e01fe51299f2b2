#pragma once

#include <QCoreApplication>
#include <QString>

// The rules an export's output path must pass. The dialogs show the message in a tips
// dialog; the command line prints it.
class KOutputPath
{
    Q_DECLARE_TR_FUNCTIONS(KOutputPath)
public:
    struct Check
    {
        bool ok = false;
        QString message;    // why the path was refused
        QString detail;     // the path concerned and the cause, for a second line
        QString normalized; // the path to use when accepted
        bool exists = false; // a long picture that would replace an existing file (or follow a link)
    };

    static constexpr int kMinLength = 2;
    static constexpr int kMaxLength = 260;

    // For a long picture the path names the picture; otherwise the folder that receives
    // the numbered folder. Creates nothing: missing folders only have to be creatable.
    static Check check(const QString &path, bool longPicture);

    // Backslashes to slashes, runs of slashes folded (a leading network pair kept), native form.
    static QString normalize(const QString &path);
    // The text before the last "." when that dot is at index 1 or later, else the whole text.
    static QString withoutExtension(const QString &name);
};
