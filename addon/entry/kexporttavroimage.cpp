#include "kexporttavroimage.h"

#include "kxexporttavroimageobject.h"

#include <QtGlobal>

#include <new>

KExportTavroImage::KExportTavroImage()
    : m_object(new KxExportTavroImageObject(this))
{
}

void KExportTavroImage::trigger(const KAppObj &appObj, const KAppContext &context)
{
    m_object->trigger(appObj, context);
}

extern "C" Q_DECL_EXPORT QObject *GetAppEntryObject()
{
    return new (std::nothrow) KExportTavroImage;
}
