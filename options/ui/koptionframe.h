#pragma once

#include <kframetitlebar.h>
#include <kframewindow.h>

#include <QPointer>

class QEventLoop;

// Title bar of the option dialogs: a white bar whose close button rejects the dialog.
class KOptionTitleBar : public KFrameTitleBar
{
    Q_OBJECT
public:
    explicit KOptionTitleBar(QWidget *parent = nullptr);

public slots:
    void onCloseButtonClicked() override;

signals:
    void rejectRequested();
};

// A frame window that ends like a dialog: accept() and reject() hide it and emit finished()
// with 1 or 0; exec() waits for that.
class KOptionFrameDialog : public KFrameWindow
{
    Q_OBJECT
public:
    enum DialogCode { Rejected = 0, Accepted = 1 };

    explicit KOptionFrameDialog(QWidget *parent = nullptr);
    ~KOptionFrameDialog() override;

    int result() const { return m_result; }
    int exec();
    // Fixes the size of the title bar and client, given for a 100 % display.
    void setFixedContentSize(const QSize &size);
    // Fixes the size of the client, given for a 100 % display; the title bar comes on top.
    void setFixedClientSize(const QSize &size);

public slots:
    void accept();
    void reject();
    void done(int result);

signals:
    void finished(int result);
    void accepted();
    void rejected();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The shadow's margins depend on the compositor, known for sure only when shown.
    void applyFixedSize();

    QSize m_fixedSize;
    bool m_fixedIsClient = false;
    int m_result = Rejected;
    bool m_finishing = false;
    QPointer<QEventLoop> m_loop;
};
