#include "khostui.h"

#include <QCoreApplication>

namespace {
// Every text of the shipped interface configuration, listed so that the translation tools
// find them; the configuration's texts are translated when the window is built.
const char *const kShippedTexts[] = {
    QT_TRANSLATE_NOOP("KUiConfig", "Picture"),
    QT_TRANSLATE_NOOP("KUiConfig", "Export"),
    QT_TRANSLATE_NOOP("KUiConfig", "Export to Picture"),
    QT_TRANSLATE_NOOP("KUiConfig", "Export the pages as one long picture or as one picture per page"),
    QT_TRANSLATE_NOOP("KUiConfig", "Export to Picture (app)"),
    QT_TRANSLATE_NOOP("KUiConfig", "Open the export through the application framework"),
    QT_TRANSLATE_NOOP("KUiConfig", "PDF to Picture"),
    QT_TRANSLATE_NOOP("KUiConfig", "Export the pages of the PDF as pictures"),
    QT_TRANSLATE_NOOP("KUiConfig", "Edit"),
    QT_TRANSLATE_NOOP("KUiConfig", "Insert Picture"),
    QT_TRANSLATE_NOOP("KUiConfig", "Insert a picture file into the document"),
    QT_TRANSLATE_NOOP("KUiConfig", "Picture Tools"),
    QT_TRANSLATE_NOOP("KUiConfig", "More picture tools"),
    QT_TRANSLATE_NOOP("KUiConfig", "Picture Tool Window"),
    QT_TRANSLATE_NOOP("KUiConfig", "The document as one picture to share"),
    QT_TRANSLATE_NOOP("KUiConfig", "Picture Page Layout"),
    QT_TRANSLATE_NOOP("KUiConfig", "Lay the pages out for pictures"),
    QT_TRANSLATE_NOOP("KUiConfig", "Help on Pictures"),
    QT_TRANSLATE_NOOP("KUiConfig", "Open the help page in the browser"),
    QT_TRANSLATE_NOOP("KUiConfig", "Export to Picture..."),
    QT_TRANSLATE_NOOP("KUiConfig", "Export the pages as pictures"),
    QT_TRANSLATE_NOOP("KUiConfig", "Picture (JPG, PNG, BMP, TIF)"),
    QT_TRANSLATE_NOOP("KUiConfig", "Save the pages as pictures"),
    QT_TRANSLATE_NOOP("KUiConfig", "Picture Layout"),
    QT_TRANSLATE_NOOP("KUiConfig", "Layout"),
};

void addEntryTexts(const QList<KUiEntry> &entries, QStringList *texts)
{
    for (const KUiEntry &entry : entries) {
        for (const QString &text : {entry.text, entry.tip}) {
            if (!text.isEmpty())
                texts->append(text);
        }
        addEntryTexts(entry.members, texts);
    }
}

void addGroupTexts(const QList<KUiGroup> &groups, QStringList *texts)
{
    for (const KUiGroup &group : groups) {
        if (!group.title.isEmpty())
            texts->append(group.title);
        addEntryTexts(group.entries, texts);
    }
}
} // namespace

QStringList KUiConfig::texts() const
{
    QStringList all{tab};
    addGroupTexts(groups, &all);
    addEntryTexts(fileMenu, &all);
    addEntryTexts(saveAs, &all);
    for (const KUiCategory &category : categories) {
        addEntryTexts({category.category}, &all);
        addGroupTexts(category.groups, &all);
    }
    all.removeAll(QString());
    all.removeDuplicates();
    return all;
}

QStringList KUiConfig::listedTexts()
{
    QStringList texts;
    for (const char *text : kShippedTexts)
        texts.append(QString::fromUtf8(text));
    return texts;
}
