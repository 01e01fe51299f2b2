#include "kxfilemenu.h"

#include <kdcinfo.h>
#include <ktriggercommand.h>
#include <kxapplication.h>

#include <QCoreApplication>

KxRbFileMenuTriggerItem::KxRbFileMenuTriggerItem(KTriggerCommand *command, QWidget *menu)
    : QToolButton(menu), m_command(command)
{
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setAutoRaise(true);
    if (command) {
        connect(command, &KCommand::changed, this, &KxRbFileMenuTriggerItem::syncWithCommand);
        connect(command, &QObject::destroyed, this, [this] {
            setEnabled(false);
            setVisible(false);
        });
    }
    connect(this, &QToolButton::clicked, this, &KxRbFileMenuTriggerItem::onClicked);
    syncWithCommand();
}

KTriggerCommand *KxRbFileMenuTriggerItem::command() const
{
    return m_command;
}

void KxRbFileMenuTriggerItem::syncWithCommand()
{
    if (!m_command) {
        setEnabled(false);
        setVisible(false);
        return;
    }
    setText(m_command->text());
    setEnabled(m_command->isEnabled());
    setVisible(m_command->isVisible());
}

void KxRbFileMenuTriggerItem::onClicked()
{
    if (m_command && m_command->isVisible())
        m_command->trigger();
}

void kxfilemenu::reportClick(const KCommand *command, const QString &infoId)
{
    KDcInfoC *dc = KxApplication::coreApplication() ? KxApplication::coreApplication()->getDcInfo() : nullptr;
    if (!command || !dc)
        return;
    dc->postGeneralEvent(QStringLiteral("filemenu_click"),
                         {{QStringLiteral("command"), command->idMso()},
                          {QStringLiteral("component"), QCoreApplication::applicationName()},
                          {QStringLiteral("infoId"), infoId}},
                         0, 0, 100);
}
