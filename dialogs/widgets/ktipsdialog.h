#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class QLayout;
class KTipsDialogPrivate;

// The add-on's message window: a fixed set of buttons, each ending the dialog with its own
// result code, so that a caller can tell "open the picture" from "open its folder" by the
// returned value alone.
class KTipsDialog : public QDialog
{
    Q_OBJECT
public:
    // Bits of the button mask. Whatever the bit values, the buttons appear as
    // Yes, Ok, No, Open, Open Path, Login, Continue Output, Cancel Output.
    enum Button {
        YesButton = 0x1,
        NoButton = 0x2,
        OpenButton = 0x4,
        OpenPathButton = 0x8,
        OkButton = 0x10,
        LoginButton = 0x20,
        ContinueOutputButton = 0x40,
        CancelOutputButton = 0x80,
    };

    enum ResultCode {
        ResultOk = -1,
        ResultYes = 0,
        ResultNo = 2,
        ResultClosed = 3,
        ResultOpen = 4,
        ResultOpenPath = 5,
        ResultLogin = 6,
        ResultContinueOutput = 9,
        ResultCancelOutput = 10,
    };

    enum IconKind {
        TipsIcon = 0,
        CompleteIcon = 1,
    };

    KTipsDialog(QWidget *parent, const QString &title, const QString &text, int buttonMask = OkButton,
                int iconKind = TipsIcon, int extraWidth = 0);
    ~KTipsDialog() override;

    // Shows the message and waits for the user. A null mask means OkButton, a null kind
    // TipsIcon. Returns one of ResultCode.
    static int showTips(QWidget *parent, const QString &title, const QString &text, int *buttonMask,
                        int *iconKind, int extraWidth = 0);

signals:
    void linkActivated(const QString &link);

public slots:
    void onClose();
    void reject() override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void addCloseButton();
    QLayout *buildHead(const QString &title, int iconKind);
    QWidget *buildText(const QString &text);
    QLayout *buildButtonRow(int buttonMask);

    std::unique_ptr<KTipsDialogPrivate> d;
};
