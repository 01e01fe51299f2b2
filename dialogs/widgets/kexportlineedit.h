#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class KLiteLineEdit;
class KLiteIconButton;

// The output path field: a text field and a browse button that picks an existing folder.
class KExportLineEdit : public QWidget
{
    Q_OBJECT
public:
    explicit KExportLineEdit(QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);
    KLiteLineEdit *lineEdit() const { return m_edit; }
    KLiteIconButton *browseButton() const { return m_browse; }

    // Asks for a folder (parent, title); "" when the user cancels. Tests replace the
    // native dialog; an empty function restores it.
    using FolderChooser = std::function<QString(QWidget *parent, const QString &title)>;
    static void setFolderChooser(FolderChooser chooser);

signals:
    void selectPathFinished(QString &path);

public slots:
    void onBrowseButtonClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    KLiteLineEdit *m_edit;
    KLiteIconButton *m_browse;
    bool m_hovered = false;
};
