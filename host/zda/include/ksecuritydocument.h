#pragma once

#include "kspreadsheet.h"

// The document security settings the host applies to printed output.
namespace SecurityDocumentSpace {

// Whether the workbook's security settings ask for a plain watermark when printing.
inline bool GetShowPlainWatermarkWhenPrint(IKWorkbook *workbook)
{
    KComPtr<IKDocumentSecurity> security;
    bool show = false;
    if (!workbook || !kSucceeded(workbook->documentSecurity(security.put())) || !security)
        return false;
    return kSucceeded(security->showPlainWatermarkWhenPrint(&show)) && show;
}

} // namespace SecurityDocumentSpace
