#pragma once

#include <QStringList>
#include <QVariantMap>

// `brindlex export DOCUMENT [options]`: opens the document in this process, has the add-on
// export it and reports the outcome. Exit status 0 success, 1 failure, 2 cancelled,
// 64 usage error.
class KExportCommand
{
public:
    static int run(const QStringList &arguments);
    static QString usage();

    // The request the add-on takes, from the command line's options; empty with a
    // message on a usage error.
    static QVariantMap parse(const QStringList &arguments, QString *error);
};
