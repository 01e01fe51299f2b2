#include "kappdeclarationdlg.h"

#include "kappsimplebutton.h"
#include "kesslog.h"
#include "kesssandbox.h"
#include "kesstools.h"

#include <klitestyle.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

QVariant metaValue(const QString &key)
{
    KEssSandbox *sandbox = GetSandbox();
    return sandbox ? sandbox->info().properties.value(key) : QVariant();
}

} // namespace

KAppDeclarationTitleBar::KAppDeclarationTitleBar(QWidget *parent)
    : KFrameTitleBar(parent)
{
}

KFrameAction *KAppDeclarationTitleBar::createAction(int kind)
{
    if (kind != KFrame::CloseButton)
        return nullptr;
    KFrameAction *action = KFrameTitleBar::createAction(kind);
    action->setIconNames(QStringLiteral("plugin_about_close;plugin_about_close_hover;plugin_about_close_clicked"));
    return action;
}

KAppDeclarationClientWidget::KAppDeclarationClientWidget(QWidget *parent)
    : KFrameClientWidget(parent)
    , m_statement(new QLabel(this))
    , m_confirm(new kappessui::SimpleButton(tr("OK"), this))
{
    const int pad = KLiteStyle::dpiScaled(24);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(pad, KLiteStyle::dpiScaled(16), pad, pad);
    layout->setSpacing(KLiteStyle::dpiScaled(16));
    m_statement->setWordWrap(true);
    m_statement->setTextFormat(Qt::PlainText);
    m_statement->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_statement->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *scroll = new QScrollArea(this);
    scroll->setStyleSheet(QStringLiteral("QScrollArea{background-color:transparent;border:none}"));
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(m_statement);
    // setWidget() fills the label with the window colour; the client's background shows instead.
    m_statement->setAutoFillBackground(false);
    scroll->viewport()->setAutoFillBackground(false);
    layout->addWidget(scroll, 1);

    m_buttons = new QHBoxLayout;
    m_buttons->setSpacing(KLiteStyle::dpiScaled(12));
    m_buttons->addStretch();
    m_confirm->setObjectName(QStringLiteral("KAppDeclarationClientWidget-ConfirmBtn"));
    connect(m_confirm, &QPushButton::clicked, this, &KAppDeclarationClientWidget::confirmClicked);
    m_buttons->addWidget(m_confirm);
    layout->addLayout(m_buttons);
}

void KAppDeclarationClientWidget::initUi()
{
    if (!GetSandbox()) {
        KESS_WARNING(QStringLiteral("Sandbox is not ready!"));
        return;
    }
    m_statement->setText(metaValue(QStringLiteral("usedDeclaration")).toString());
    if (!metaValue(QStringLiteral("hasOperation")).toBool() || m_operation)
        return;
    m_operation = new kappessui::SimpleButton(metaValue(QStringLiteral("operationText")).toString(), this);
    m_operation->setObjectName(QStringLiteral("KAppDeclarationClientWidget-OperationBtn"));
    m_operation->setFallbackColors(Qt::white, QColor(0x1f, 0x23, 0x29), QColor(0xd3, 0xd7, 0xde));
    connect(m_operation, &QPushButton::clicked, this, &KAppDeclarationClientWidget::operationClicked);
    m_buttons->insertWidget(1, m_operation);
}

QString KAppDeclarationClientWidget::statement() const
{
    return m_statement->text();
}

KAppDeclarationDlg::KAppDeclarationDlg(QWidget *parent)
    : KFrameWindow(parent)
{
    setWindowTitle(tr("Declaration"));
    setWindowModality(Qt::WindowModal);
    setTitleBarFlags(KFrame::CloseButton);
    setResizable(false);
    initUi();
    KAppDeclarationClientWidget *client = declarationClient();
    client->initUi();
    connect(client, &KAppDeclarationClientWidget::confirmClicked, this, &KAppDeclarationDlg::onClose);
    connect(client, &KAppDeclarationClientWidget::operationClicked, this, &KAppDeclarationDlg::onOperationClicked);
    resize(KLiteStyle::dpiScaled(QSize(480, 360)));
}

KAppDeclarationClientWidget *KAppDeclarationDlg::declarationClient() const
{
    return static_cast<KAppDeclarationClientWidget *>(clientWidget());
}

KFrameTitleBar *KAppDeclarationDlg::createTitleBar()
{
    return new KAppDeclarationTitleBar(this);
}

KFrameClientWidget *KAppDeclarationDlg::createClientWidget()
{
    return new KAppDeclarationClientWidget(this);
}

void KAppDeclarationDlg::onClose(bool)
{
    close();
}

void KAppDeclarationDlg::onOperationClicked(bool)
{
    if (!GetSandbox()) {
        KESS_CRITICAL(QStringLiteral("Sandbox is not ready!"));
        return;
    }
    const QString url = metaValue(QStringLiteral("operationUrl")).toString();
    if (url.isEmpty()) {
        KESS_WARNING(QStringLiteral("No operation address is set."));
        return;
    }
    kesstools::app::openUrl(url);
}
