#include "kxvyxtavrolayoutcommand.h"

#include "kcommandsupport.h"

#include <kexceptionguard.h>
#include <kwriterdocument.h>

namespace {
const QString kOperation = QStringLiteral("VyxTavroLayout");

// The page set-up each section gets, in this order (millimetres).
struct PageValue
{
    KPageSetupField field;
    float value;
};
const PageValue kPageValues[] = {
    {KPageSetupField::LeftMargin, 6.0f},     {KPageSetupField::TopMargin, 2.0f},
    {KPageSetupField::BottomMargin, 2.0f},   {KPageSetupField::RightMargin, 6.0f},
    {KPageSetupField::PageHeight, 330.0f},   {KPageSetupField::HeaderDistance, 0.0f},
    {KPageSetupField::FooterDistance, 0.0f},
};
constexpr float kFirstLineIndentChars = 2.0f;

bool layOutSections(IKWriterEditing *editing)
{
    KComPtr<IKSections> sections;
    int count = 0;
    if (!kSucceeded(editing->sections(sections.put())) || !sections || !kSucceeded(sections->count(&count)))
        return false;
    bool changed = false;
    for (int n = 1; n <= count; ++n) {
        KComPtr<IKSection> section;
        KComPtr<IKSectionPageSetup> setup;
        if (!kSucceeded(sections->item(n, section.put())) || !section || !kSucceeded(section->pageSetup(setup.put())) || !setup)
            continue;
        for (const PageValue &v : kPageValues)
            changed = kSucceeded(setup->setValue(v.field, v.value)) || changed;
    }
    return changed;
}

void indentParagraphs(IKWriterEditing *editing)
{
    KComPtr<IKDocContent> content;
    KComPtr<IKParagraphs> paragraphs;
    int count = 0;
    if (!kSucceeded(editing->content(content.put())) || !content || !kSucceeded(content->paragraphs(paragraphs.put()))
        || !paragraphs || !kSucceeded(paragraphs->count(&count)))
        return;
    for (int n = 1; n <= count; ++n) {
        KComPtr<IKParagraph> paragraph;
        if (kSucceeded(paragraphs->item(n, paragraph.put())) && paragraph)
            paragraph->setFirstLineIndentChars(kFirstLineIndentChars);
    }
}

int sectionCount(IKWriterEditing *editing)
{
    KComPtr<IKSections> sections;
    int count = 0;
    if (kSucceeded(editing->sections(sections.put())) && sections)
        sections->count(&count);
    return count;
}
} // namespace

KCommand *KxVyxTavroLayoutCommand::clone(QObject *host, const QVariant &argument) const
{
    return kcommandsupport::cloneOf(this, host, argument);
}

bool KxVyxTavroLayoutCommand::applyLayout(IKUnknown *document)
{
    KComPtr<IKWriterEditing> editing;
    if (document)
        document->QueryInterface(IKWriterEditing::iid(), reinterpret_cast<void **>(editing.put()));
    if (!editing || !kSucceeded(editing->beginOperation(kOperation)))
        return false;
    const bool changed = layOutSections(editing.get());
    if (sectionCount(editing.get()) > 0)
        indentParagraphs(editing.get());
    editing->endOperation(kOperation, changed);
    return changed;
}

void KxVyxTavroLayoutCommand::onTriggered()
{
    KExceptionGuard guard("KxVyxTavroLayoutCommand");
    KxMainWindow *window = mainWindow();
    if (!window || !kcommandsupport::isComponent("vyx"))
        return;
    const KComPtr<IKUnknown> document(window->getActiveCoreView());
    applyLayout(document.get());
}
