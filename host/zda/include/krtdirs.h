#pragma once

#include <QString>

// Folder queries of the host.
namespace krt {
namespace dirs {
// The suite's per-user home folder: "$appdata/brindlex" when the variable "appdata" is set
// (as on the suite's own platform), else "$XDG_DATA_HOME/brindlex" with XDG_DATA_HOME
// defaulting to ~/.local/share. Not created here.
QString brindlexHome();
// The suite's program folder, where its executables (the picture viewer among them) lie: the
// folder of the running host executable, or the host value "officeFolder" when set.
QString office();
} // namespace dirs
} // namespace krt
