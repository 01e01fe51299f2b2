#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

// Shared look of the option dialogs: their icons come from the add-on's own theme file,
// stacked over the host's theme on first use.
namespace koptionsui {

void ensureTheme();
QIcon icon(const QString &name);

// Label style sheet at the given font size (given for a 100 % display).
QString labelStyleSheet(int fontPx);
// The blue confirm button shared by the option dialogs.
QString okButtonStyleSheet();

// The page the preview shows when the export dialog supplies none.
QImage previewTemplate();

} // namespace koptionsui
