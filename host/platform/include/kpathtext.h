#pragma once

#include <QString>

// Paths as the host and the add-on both show and compare them.
namespace kpathtext {

// A name fit for one line of a message: "\n" as "\\n", other control characters as \xNN.
QString printable(const QString &text);
// Whether two existing paths reach the same file, also through links.
bool sameFile(const QString &a, const QString &b);

} // namespace kpathtext
