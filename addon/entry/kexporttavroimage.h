#pragma once

#include <kappcontext.h>

#include <QObject>

class KxExportTavroImageObject;

// The object the host gets from GetAppEntryObject and calls by name.
class KExportTavroImage : public QObject
{
    Q_OBJECT
public:
    KExportTavroImage();

    Q_INVOKABLE void trigger(const KAppObj &appObj, const KAppContext &context);

private:
    KxExportTavroImageObject *m_object;
};
