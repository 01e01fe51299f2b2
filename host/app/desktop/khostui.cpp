#include "khostui.h"

#include <kcommand.h>
#include <kcommandfactory.h>
#include <klistcommand.h>
#include <ktriggercommand.h>
#include <kxcontextcategory.h>
#include <kxmainwindow.h>

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QIcon>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("KUiConfig", text);
}

bool readEntry(const QJsonValue &value, KUiEntry *entry, QString *error);

bool readEntries(const QJsonValue &value, QList<KUiEntry> *entries, const QString &where, QString *error)
{
    if (value.isUndefined())
        return true;
    if (!value.isArray()) {
        *error = tr("%1 is not a list").arg(where);
        return false;
    }
    for (const QJsonValue &item : value.toArray()) {
        KUiEntry entry;
        if (!readEntry(item, &entry, error)) {
            *error = QStringLiteral("%1: %2").arg(where, *error);
            return false;
        }
        entries->append(entry);
    }
    return true;
}

bool readEntry(const QJsonValue &value, KUiEntry *entry, QString *error)
{
    const QJsonObject o = value.toObject();
    entry->command = o.value(QStringLiteral("command")).toString();
    entry->appEntry = o.value(QStringLiteral("appEntry")).toString();
    if (!value.isObject() || entry->command.isEmpty() == entry->appEntry.isEmpty()) {
        *error = tr("an entry names either a command or an appEntry");
        return false;
    }
    entry->text = o.value(QStringLiteral("text")).toString();
    entry->id = o.value(QStringLiteral("id")).toString();
    entry->icon = o.value(QStringLiteral("icon")).toString();
    entry->tip = o.value(QStringLiteral("tip")).toString();
    entry->argument = o.value(QStringLiteral("argument")).toVariant();
    const QJsonValue properties = o.value(QStringLiteral("properties"));
    if (!properties.isUndefined() && !properties.isObject()) {
        *error = tr("the properties of %1 are not an object").arg(entry->command);
        return false;
    }
    entry->properties = properties.toObject().toVariantMap();
    return readEntries(o.value(QStringLiteral("members")), &entry->members, entry->command, error);
}

bool readGroups(const QJsonValue &value, QList<KUiGroup> *groups, QString *error)
{
    if (!value.isArray()) {
        *error = tr("groups is not a list");
        return false;
    }
    for (const QJsonValue &item : value.toArray()) {
        KUiGroup group;
        group.title = item.toObject().value(QStringLiteral("title")).toString();
        if (!item.isObject() || !readEntries(item.toObject().value(QStringLiteral("entries")), &group.entries,
                                             group.title, error)) {
            if (error->isEmpty())
                *error = tr("a group is not an object");
            return false;
        }
        groups->append(group);
    }
    return true;
}

bool readCategories(const QJsonValue &value, QList<KUiCategory> *categories, QString *error)
{
    if (value.isUndefined())
        return true;
    if (!value.isArray()) {
        *error = tr("contextCategories is not a list");
        return false;
    }
    for (const QJsonValue &item : value.toArray()) {
        KUiCategory category;
        if (!readEntry(item, &category.category, error)
            || !readGroups(item.toObject().value(QStringLiteral("groups")), &category.groups, error))
            return false;
        categories->append(category);
    }
    return true;
}

} // namespace

KUiConfig KUiConfig::parse(const QByteArray &json, QString *error)
{
    QString problem;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    KUiConfig config;
    const QJsonObject root = document.object();
    const QJsonObject ribbon = root.value(QStringLiteral("ribbon")).toObject();
    if (parseError.error != QJsonParseError::NoError)
        problem = parseError.errorString();
    else if (!document.isObject() || ribbon.value(QStringLiteral("tab")).toString().isEmpty())
        problem = tr("no ribbon tab is named");
    if (problem.isEmpty() && readGroups(ribbon.value(QStringLiteral("groups")), &config.groups, &problem)
        && readEntries(root.value(QStringLiteral("fileMenu")), &config.fileMenu, QStringLiteral("fileMenu"), &problem)
        && readEntries(root.value(QStringLiteral("saveAs")), &config.saveAs, QStringLiteral("saveAs"), &problem)
        && readCategories(root.value(QStringLiteral("contextCategories")), &config.categories, &problem)) {
        config.tab = ribbon.value(QStringLiteral("tab")).toString();
        return config;
    }
    if (error)
        *error = problem;
    return KUiConfig();
}

static void initResources()
{
    Q_INIT_RESOURCE(brindlex);
}

KUiConfig KUiConfig::load(QString *error)
{
    initResources();
    QString path = qEnvironmentVariable("BRINDLEX_UI_CONFIG");
    if (path.isEmpty())
        path = QStringLiteral(":/brindlex/ui.json");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return KUiConfig();
    }
    QString problem;
    KUiConfig config = parse(file.readAll(), &problem);
    if (config.tab.isEmpty() && error)
        *error = QStringLiteral("%1: %2").arg(path, problem);
    return config;
}

KUiCommands::KUiCommands(KxMainWindow *window, AppEntryCall appEntry, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_appEntry(std::move(appEntry))
{
}

KUiCommands::~KUiCommands()
{
    qDeleteAll(m_owned);
}

KCommand *KUiCommands::make(const KUiEntry &entry)
{
    KCommand *command = KCommandFactory::createCommand(entry.command, m_window, entry.argument);
    if (!command)
        return nullptr;
    m_owned.append(command);
    if (command->text().isEmpty() && !entry.text.isEmpty())
        command->setText(QCoreApplication::translate("KUiConfig", entry.text.toUtf8().constData()));
    command->setIdMso(entry.id.isEmpty() ? entry.command : entry.id);
    for (auto it = entry.properties.constBegin(); it != entry.properties.constEnd(); ++it)
        command->setProperty(it.key().toUtf8().constData(), it.value());
    return command;
}

QAction *KUiCommands::bind(const KUiEntry &entry, QObject *parent)
{
    KCommand *command = nullptr;
    if (entry.appEntry.isEmpty()) {
        command = make(entry);
        if (!command)
            return nullptr;
    }
    auto *action = new QAction(parent);
    if (!entry.icon.isEmpty())
        action->setIcon(QIcon(entry.icon));
    action->setText(command ? command->text()
                            : QCoreApplication::translate("KUiConfig", entry.text.toUtf8().constData()));
    if (!entry.tip.isEmpty())
        action->setToolTip(QCoreApplication::translate("KUiConfig", entry.tip.toUtf8().constData()));
    KUiBinding binding{entry, command, action};
    if (auto *list = qobject_cast<KListCommand *>(command)) {
        auto *menu = new QMenu;
        connect(action, &QObject::destroyed, menu, &QObject::deleteLater);
        for (const KUiEntry &member : entry.members) {
            if (QAction *memberAction = bind(member, menu)) {
                menu->addAction(memberAction);
                list->addCommand(m_bindings.last().command);
            }
        }
        action->setMenu(menu);
        connect(menu, &QMenu::aboutToShow, this, &KUiCommands::updateAll);
    } else {
        connect(action, &QAction::triggered, this, [this, entry, command = QPointer<KCommand>(command)] {
            run(entry, command);
        });
    }
    if (command)
        connect(command, &KCommand::changed, this, [this, binding] { sync(binding); });
    m_bindings.append(binding);
    return action;
}

void KUiCommands::fill(QMenu *menu, const QList<KUiEntry> &entries, QAction *before)
{
    for (const KUiEntry &entry : entries) {
        if (QAction *action = bind(entry, menu))
            menu->insertAction(before, action);
    }
    connect(menu, &QMenu::aboutToShow, this, &KUiCommands::updateAll, Qt::UniqueConnection);
}

void KUiCommands::run(const KUiEntry &entry, KCommand *command)
{
    if (!entry.appEntry.isEmpty()) {
        if (m_appEntry)
            m_appEntry(entry.appEntry);
        return;
    }
    if (!command)
        return;
    command->update(); // the document may have changed since the entry was shown
    if (command->isDisableByIdMso())
        return;
    if (auto *trigger = qobject_cast<KTriggerCommand *>(command))
        trigger->trigger();
}

void KUiCommands::sync(const KUiBinding &binding)
{
    if (!binding.command || !binding.action)
        return;
    binding.action->setVisible(binding.command->isVisible());
    // The host's configuration may switch a command off whatever the command says.
    binding.action->setEnabled(binding.command->isEnabled() && !binding.command->isDisableByIdMso());
    if (!binding.command->text().isEmpty())
        binding.action->setText(binding.command->text());
}

void KUiCommands::updateAll()
{
    for (const KUiBinding &binding : m_bindings) {
        if (binding.command) {
            binding.command->update();
            sync(binding);
        }
    }
    emit updated();
}

const KUiBinding *KUiCommands::find(const QString &name) const
{
    for (const KUiBinding &binding : m_bindings) {
        if (binding.entry.command == name || binding.entry.appEntry == name)
            return &binding;
    }
    return nullptr;
}
