#pragma once

#include <QStringList>

// `brindlex [DOCUMENT]`: the desktop window, empty or showing the document.
namespace kdesktopcommand {

// Whether the arguments ask for the window (nothing, or one path that is no command).
bool wanted(const QStringList &arguments);
int run(const QStringList &arguments);

} // namespace kdesktopcommand
