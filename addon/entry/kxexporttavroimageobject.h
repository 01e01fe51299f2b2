#pragma once

#include <QObject>
#include <QString>

class KAppContext;
class KAppObj;
class QTranslator;

// Carries the module's translations for as long as an entry object lives, and the work of
// its trigger. A Save-As flow may set the dynamic property "SaveAsFilename" to propose a
// file name.
class KxExportTavroImageObject : public QObject
{
    Q_OBJECT
public:
    explicit KxExportTavroImageObject(QObject *parent = nullptr);
    ~KxExportTavroImageObject() override;

    // True when a dialog was opened.
    bool trigger(const KAppObj &appObj, const KAppContext &context);

    // "<module folder>/mui/", the module folder found once per process.
    static QString translationFolder();

private:
    QTranslator *m_translator;
};
