#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

// One add-on the host knows, with its properties ("name", "version").
class KPlugin
{
public:
    explicit KPlugin(const QVariantMap &props = {}) : m_props(props) {}
    QVariant getProp(const QString &name) const { return m_props.value(name); }
    void setProps(const QVariantMap &props) { m_props = props; }

private:
    QVariantMap m_props;
};
