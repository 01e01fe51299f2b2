#pragma once

#include <QCoreApplication>
#include <QString>

#include <functional>

class QWidget;

// Output paths of the export dialogs: the defaults they propose and the check an output
// path passes before an export starts. The checks are the command line's (KOutputPath);
// this adds the messages to the user and the replace question.
class KExportPaths
{
    Q_DECLARE_TR_FUNCTIONS(KExportPaths)
public:
    // How the user is told and asked; the dialogs show tips dialogs, tests record the calls.
    struct Presenter
    {
        std::function<void(QWidget *parent, const QString &title, const QString &message)> refuse;
        // true: replace the file.
        std::function<bool(QWidget *parent, const QString &title, const QString &question)> confirmReplace;
    };
    static void setPresenter(const Presenter &presenter); // an empty one restores the dialogs
    static Presenter tipsDialogPresenter();

    // The active document's folder; without one (a document never saved) the user's
    // "myphoto" folder. Native separators, ending in one; "" when no document is open.
    static QString defaultOutputFolder();
    // The active document's name as the host reports it, or "".
    static QString documentName();
    // "USERPROFILE" where the suite sets it, else the home folder.
    static QString userProfile();
    // The document name without its extension, then "." and the suffix.
    static QString defaultFileName(const QString &suffix);

    // Checks an output path (a long picture's file, or the folder that receives the
    // per-page folder). Tells the user why a path is refused; asks before a long picture
    // replaces a file. On acceptance, and also after a refusal late in the checks, path is
    // rewritten in its normal form.
    static bool validatePath(QString &path, bool longPicture, QWidget *parent = nullptr);
};
