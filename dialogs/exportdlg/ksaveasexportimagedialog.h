#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;
class QLineEdit;

// The Save-As list's picture question: where to write the picture, its MIME type, and
// whether to view it afterwards. The command does the rest.
class KSaveAsExportImageDialog : public QDialog
{
    Q_OBJECT
public:
    explicit KSaveAsExportImageDialog(QWidget *parent = nullptr);

    // Runs the dialog modally and copies its answers into the places given; a cancel leaves
    // both texts empty. Returns the dialog's result.
    static int getSaveInfo(QWidget *parent, QString *path, QString *mimeType, bool *viewAfterExport);
    // The MIME type a picture path stands for, by its suffix in any case; PNG for any other.
    static QString mimeTypeFor(const QString &path);

    QString chosenPath() const { return m_path; }
    QString mimeType() const { return m_mimeType; }
    bool viewAfterExport() const;
    QLineEdit *pathEdit() const { return m_edit; }

    // Asks for the file when "Browse" is pressed; the native dialog unless replaced.
    using FileChooser = std::function<QString(QWidget *parent)>;
    void setFileChooser(FileChooser chooser);

public slots:
    void browseButtonClicked();
    void okButtonClicked();
    void cancelButtonClicked();

private:
    void copyAnswers(QString *path, QString *mimeType, bool *viewAfterExport) const;

    QString m_path;
    QString m_mimeType = QStringLiteral("image/jpeg");
    QLineEdit *m_edit;
    QCheckBox *m_view;
    FileChooser m_chooser;
};
