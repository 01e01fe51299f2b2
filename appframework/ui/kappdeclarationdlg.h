#pragma once

#include <kframetitlebar.h>
#include <kframewindow.h>

class QLabel;

namespace kappessui {
class SimpleButton;
}

class KAppDeclarationTitleBar : public KFrameTitleBar
{
    Q_OBJECT
public:
    explicit KAppDeclarationTitleBar(QWidget *parent = nullptr);

protected:
    KFrameAction *createAction(int kind) override;
};

// The application's service statement with a confirm button and, when the application
// asks for one, a second button that leads to its own page.
class KAppDeclarationClientWidget : public KFrameClientWidget
{
    Q_OBJECT
public:
    explicit KAppDeclarationClientWidget(QWidget *parent = nullptr);

    // Reads the statement and the buttons from the application's properties.
    void initUi();

    QString statement() const;
    kappessui::SimpleButton *confirmButton() const { return m_confirm; }
    // Null when the application has no operation.
    kappessui::SimpleButton *operationButton() const { return m_operation; }

signals:
    void confirmClicked(bool checked);
    void operationClicked(bool checked);

private:
    QLabel *m_statement;
    class QHBoxLayout *m_buttons;
    kappessui::SimpleButton *m_confirm;
    kappessui::SimpleButton *m_operation = nullptr;
};

class KAppDeclarationDlg : public KFrameWindow
{
    Q_OBJECT
public:
    explicit KAppDeclarationDlg(QWidget *parent = nullptr);
    KAppDeclarationClientWidget *declarationClient() const;

public slots:
    void onClose(bool checked = false);
    void onOperationClicked(bool checked = false);

protected:
    KFrameTitleBar *createTitleBar() override;
    KFrameClientWidget *createClientWidget() override;
};
