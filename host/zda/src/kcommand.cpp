#include "kcommand.h"
#include "khostconfig.h"
#include "klistcommand.h"
#include "ktriggercommand.h"
#include "kxcontextcategory.h"

#include <QPointer>

KCommand::KCommand(QObject *host, const QVariant &argument)
    : QObject(nullptr), m_host(host), m_argument(argument)
{
}

KCommand::~KCommand() = default;

QObject *KCommand::host() const { return m_host; }
QVariant KCommand::argument() const { return m_argument; }
QString KCommand::text() const { return m_text; }

void KCommand::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    emit changed();
}

QString KCommand::idMso() const
{
    return m_idMso.isEmpty() ? QString::fromLatin1(metaObject()->className()) : m_idMso;
}

void KCommand::setIdMso(const QString &id) { m_idMso = id; }
bool KCommand::isVisible() const { return m_visible; }
bool KCommand::isEnabled() const { return m_enabled; }

void KCommand::setVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    emit changed();
}

void KCommand::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    emit changed();
}

void KCommand::update() {}

KCommand *KCommand::clone(QObject *, const QVariant &) const
{
    return nullptr;
}

void KCommand::copyProperties(KCommand *target) const
{
    if (!target)
        return;
    target->setText(m_text);
    target->setIdMso(m_idMso);
    for (const QByteArray &name : dynamicPropertyNames())
        target->setProperty(name.constData(), property(name.constData()));
}

bool KCommand::isDisableByIdMso() const
{
    const QStringList disabled = KHostConfig::value(QStringLiteral("disabledCommands")).toString().split(
        QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &id : disabled) {
        if (id.trimmed() == idMso())
            return true;
    }
    return false;
}

void KTriggerCommand::trigger()
{
    if (!isEnabled())
        return;
    // The action may end in the command's own destruction (the host rebuilds its menus
    // while a dialog runs); then nothing more is said on its behalf.
    const QPointer<KTriggerCommand> self(this);
    onTriggered();
    if (self)
        emit triggered();
}

void KTriggerCommand::onTriggered() {}

void KListCommand::addCommand(KCommand *command)
{
    if (command)
        m_commands.append(command);
}

QList<KCommand *> KListCommand::commands() const
{
    QList<KCommand *> alive;
    for (const QPointer<KCommand> &command : m_commands) {
        if (command)
            alive.append(command);
    }
    return alive;
}

void KListCommand::update()
{
    bool anyVisible = false;
    for (KCommand *command : commands()) {
        command->update();
        anyVisible = anyVisible || command->isVisible();
    }
    setVisible(anyVisible);
}

QString KxContextCategory::contextName() const { return m_contextName; }
void KxContextCategory::setContextName(const QString &name) { m_contextName = name; }
