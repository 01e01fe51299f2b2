#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

// A command the host places on its ribbon, File menu, Save-As list or a context category.
// The host calls update() before it shows the entry and then reads visible and enabled.
// Host-side settings ("detail", "SaveAsFilename", ...) are dynamic properties.
class KCommand : public QObject
{
    Q_OBJECT
public:
    KCommand(QObject *host, const QVariant &argument);
    ~KCommand() override;

    QObject *host() const;
    QVariant argument() const;

    QString text() const;
    void setText(const QString &text);
    // The identifier the host's configuration knows the command by (its factory name
    // unless the configuration gives another).
    QString idMso() const;
    void setIdMso(const QString &id);

    bool isVisible() const;
    void setVisible(bool visible);
    bool isEnabled() const;
    void setEnabled(bool enabled);

    virtual void update();
    // A command of the same class for another host; null when the class cannot be cloned.
    virtual KCommand *clone(QObject *host, const QVariant &argument) const;
    // Copies text, identifier and the dynamic properties the host set into target.
    void copyProperties(KCommand *target) const;

    // The host's configuration may switch a command off by identifier
    // (host value "disabledCommands", a comma-separated list).
    bool isDisableByIdMso() const;

signals:
    void changed();

private:
    QObject *m_host;
    QVariant m_argument;
    QString m_text;
    QString m_idMso;
    bool m_visible = true;
    bool m_enabled = true;
};
