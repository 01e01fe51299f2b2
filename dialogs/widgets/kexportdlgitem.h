#pragma once

#include "ksimpleitem.h"

// A selectable tile of the export dialogs: a demonstration picture and its caption, with
// drawn frames.
class KExportDlgItem : public KSimpleItem
{
    Q_OBJECT
public:
    using KSimpleItem::KSimpleItem;
};
