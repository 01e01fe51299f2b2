#pragma once

#include <QStringList>

// `brindlex view FILE [-src=CALLER]`: the picture viewer the add-on opens exported pictures
// in. Refuses what it cannot show before any window opens.
namespace kviewcommand {

// arguments: what follows "view".
int run(const QStringList &arguments);
QString usage();

} // namespace kviewcommand
