#pragma once

#include <kframetitlebar.h>
#include <kframewindow.h>

#include <QPixmap>

class QLabel;
class QPushButton;

// The about dialog's title bar: a close action only.
class KAppAboutTitleBar : public KFrameTitleBar
{
    Q_OBJECT
public:
    explicit KAppAboutTitleBar(QWidget *parent = nullptr);

protected:
    KFrameAction *createAction(int kind) override;
};

// Icon, name, version and the application's statement, with a feedback link.
class KAppAboutClientWidget : public KFrameClientWidget
{
    Q_OBJECT
public:
    explicit KAppAboutClientWidget(QWidget *parent = nullptr);

    void setAppIcon(const QPixmap &icon);
    void setAppName(const QString &name);
    void setVersion(const QString &version);
    // Empty texts show the defaults ("other", the developer's statement).
    void setAuthor(const QString &author);
    void setCategory(const QString &category);
    void setDeclaration(const QString &declaration);

    QString appName() const;
    QString versionText() const;
    QString authorText() const;
    QString categoryText() const;
    QString declarationText() const;
    QPushButton *confirmButton() const { return m_confirm; }

    static QString defaultDeclaration(int paragraphGap);

signals:
    void confirmClicked(bool checked);
    void feedbackClicked();
    void notifyUpdateClient();

private:
    QLabel *addRow(class QGridLayout *grid, const QString &label);
    void applyButtonStyle();

    QLabel *m_icon;
    QLabel *m_name;
    QLabel *m_version;
    QLabel *m_author;
    QLabel *m_category;
    QLabel *m_declaration;
    QLabel *m_feedback;
    QPushButton *m_confirm;
};

class KAppAboutDlg : public KFrameWindow
{
    Q_OBJECT
public:
    explicit KAppAboutDlg(QWidget *parent = nullptr);
    KAppAboutClientWidget *aboutClient() const;

public slots:
    void onClose(bool checked = false);
    void onUpdateUi();

signals:
    void notifyOpenFeedback();

protected:
    KFrameTitleBar *createTitleBar() override;
    KFrameClientWidget *createClientWidget() override;
};
