#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>

#include <functional>

class KCommand;
class KxMainWindow;
class QAction;
class QMenu;

// One place the host shows an entry: an add-on command named by its factory name, or the
// framework entry ("appEntry") that goes to the module's entry object.
struct KUiEntry
{
    QString command;  // factory name
    QString appEntry; // entry point name of a framework entry
    QString text;
    QString id;       // the command's identifier when not its factory name
    QString icon;
    QString tip;      // the entry's tool tip
    QVariant argument;
    QVariantMap properties; // set on the command as dynamic properties ("detail", ...)
    QList<KUiEntry> members; // of a list command
};

struct KUiGroup
{
    QString title;
    QList<KUiEntry> entries;
};

struct KUiCategory
{
    KUiEntry category; // the context category command
    QList<KUiGroup> groups;
};

// The host's interface configuration: which commands go on the ribbon tab, the File menu,
// the Save-As list and the context categories.
struct KUiConfig
{
    QString tab;
    QList<KUiGroup> groups;
    QList<KUiEntry> fileMenu;
    QList<KUiEntry> saveAs;
    QList<KUiCategory> categories;

    // An empty tab name with the reason in error when the text is not a configuration.
    static KUiConfig parse(const QByteArray &json, QString *error);
    // The configuration compiled into the host (":/brindlex/ui.json"), or the file named
    // by $BRINDLEX_UI_CONFIG.
    static KUiConfig load(QString *error);

    // Every text a person reads in this configuration (tab, titles, entry texts and tips).
    QStringList texts() const;
    // The texts the translation files know for the shipped configuration.
    static QStringList listedTexts();
};

// An entry made real: its command (null for a framework entry) and the action that shows it.
struct KUiBinding
{
    KUiEntry entry;
    QPointer<KCommand> command;
    QPointer<QAction> action;
};

// Makes the configured commands through the command factory for one main window and keeps
// each action in step with its command: update() decides visibility and enablement, a
// click calls trigger(). Entries whose command the factory does not know are left out.
class KUiCommands : public QObject
{
    Q_OBJECT
public:
    using AppEntryCall = std::function<bool(const QString &entry)>;

    KUiCommands(KxMainWindow *window, AppEntryCall appEntry, QObject *parent = nullptr);
    ~KUiCommands() override;

    // The action for an entry, or null when its command cannot be made. Owned by parent.
    QAction *bind(const KUiEntry &entry, QObject *parent);
    // Adds bound actions for entries to a menu, before another action or at the end.
    void fill(QMenu *menu, const QList<KUiEntry> &entries, QAction *before = nullptr);

    void updateAll();
    const QList<KUiBinding> &bindings() const { return m_bindings; }
    // The binding whose command or framework entry is named so; null when none.
    const KUiBinding *find(const QString &name) const;

signals:
    void updated();

private:
    KCommand *make(const KUiEntry &entry);
    void sync(const KUiBinding &binding);
    void run(const KUiEntry &entry, KCommand *command);

    KxMainWindow *m_window;
    AppEntryCall m_appEntry;
    QList<KUiBinding> m_bindings;
    QList<KCommand *> m_owned;
};
