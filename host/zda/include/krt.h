#pragma once

#include <QString>

// Product, configuration and version queries of the host.
namespace krt {
namespace product {
bool isEnterprise();
bool isSupported(const QString &feature);
// Edition of the installed suite; 0, 5 and 7 are the smaller editions.
int versionID();
} // namespace product

namespace configs {
QString getRawConfig(const QString &key);
} // namespace configs

namespace info {
QString version();
} // namespace info

namespace host {
// Process start-up work every host executable (and test) does once a Q(Gui)Application
// exists: maps the suite's UI font to the installed CJK font so text measures alike everywhere,
// and installs the executable's own translation ("<its folder>/mui/<language>/<its name>.qm").
void initialize();
// The installed family that stands for "Microsoft YaHei".
QString uiFontSubstitute();
// Horizontal resolution of the screen as a pixmap's paint device reports it. Measured once,
// on the interface thread; later calls from any thread get the same answer.
int screenDpi();
} // namespace host
} // namespace krt
