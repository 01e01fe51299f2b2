#pragma once

#include <QPointer>
#include <QString>
#include <QToolButton>

class KCommand;
class KTriggerCommand;

// An entry of the ribbon's File menu for a trigger command: shows the command's text,
// follows its visible and enabled state, and triggers it when clicked. The command may go
// away before the entry does; the entry then hides and does nothing.
class KxRbFileMenuTriggerItem : public QToolButton
{
    Q_OBJECT
public:
    KxRbFileMenuTriggerItem(KTriggerCommand *command, QWidget *menu);
    KTriggerCommand *command() const;

private:
    void syncWithCommand();
    void onClicked();

    QPointer<KTriggerCommand> m_command;
};

namespace kxfilemenu {
// The File menu's usage report of one click: event "filemenu_click" with the command's
// identifier, the component and the entry's information id.
void reportClick(const KCommand *command, const QString &infoId);
} // namespace kxfilemenu

// Base for commands placed in the File menu: adds the File-menu entry and its usage report.
template <class Base>
class KxFileMenuInfoCollectBase : public Base
{
public:
    using Base::Base;

    // A File-menu entry for this command, owned by the menu.
    KxRbFileMenuTriggerItem *createFileMenuItem(QWidget *menu) { return new KxRbFileMenuTriggerItem(this, menu); }

protected:
    void collectFileMenuInfo(const QString &infoId) const { kxfilemenu::reportClick(this, infoId); }
};
