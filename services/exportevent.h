#pragma once

#include <QHash>
#include <QString>

// The component as events and reports name it ("pdf_co" for the PDF component); the
// application name itself for one the add-on does not know.
QString exportComponentType();

// Posts "vas_exportphoto_<name>" to the host's usage statistics with the caller's fields,
// "component_type" and "plugin_version" set (replacing the caller's). Dropped without a
// statistics service.
void sendExportEvent(const QString &name, QHash<QString, QString> fields = {});
