#pragma once

#include <QStringList>

// `brindlex convert DOCUMENT OUTPUT.pdf [--overwrite] [--json]`: prints a writer document to
// PDF, as the suite's own PDF export does. Never replaces its own document, and replaces
// another file only when asked.
namespace kconvertcommand {

// arguments: what follows "convert".
int run(const QStringList &arguments);
QString usage();

} // namespace kconvertcommand
