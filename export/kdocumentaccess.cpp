#include "kdocumentaccess.h"

#include <kxapplication.h>
#include <kxmainwindow.h>

namespace kdocumentaccess {

KComPtr<IKUnknown> activeCoreView(KxMainWindow *window)
{
    return window ? KComPtr<IKUnknown>(window->getActiveCoreView()) : KComPtr<IKUnknown>();
}

KComPtr<IKWriterDocument> activeWriterDocument(KxMainWindow *window)
{
    return activeCoreView(window).query<IKWriterDocument>();
}

KComPtr<IKPageRenderer> writerPageRenderer(const KComPtr<IKWriterDocument> &document)
{
    KComPtr<IKDocView> view;
    KComPtr<IKDocLayout> layout;
    KComPtr<IKPageRenderer> renderer;
    if (!document || !kSucceeded(document->activeView(view.put())) || !view)
        return renderer;
    if (!kSucceeded(view->layout(1, layout.put())) || !layout)
        return renderer;
    if (!kSucceeded(layout->pageRenderer(renderer.put())))
        renderer.reset();
    return renderer;
}

float writerDocSpacing(const KComPtr<IKWriterDocument> &document)
{
    KComPtr<IKDocSettings> settings;
    KComPtr<IKPageSetup> setup;
    float spacing = kDocSpacingUnset;
    if (!document || !kSucceeded(document->settings(settings.put())) || !settings)
        return spacing;
    if (!kSucceeded(settings->pageSetup(setup.put())) || !setup || !kSucceeded(setup->spacing(&spacing)))
        return kDocSpacingUnset;
    return spacing;
}

bool writerRendersInCaller(KxMainWindow *window)
{
    const KComPtr<IKWriterDocument> document = activeWriterDocument(window);
    KComPtr<IKDocStateLock> state;
    KComPtr<IKUnknown> lock;
    if (!document || !kSucceeded(document->documentState(state.put())) || !state)
        return false;
    return kSucceeded(state->renderThreadLock(lock.put())) && lock;
}

void prepareWriterExport(KxMainWindow *window)
{
    const KComPtr<IKWriterDocument> document = activeWriterDocument(window);
    KComPtr<IKUnknown> token;
    if (document)
        document->prepareExport(token.put());
}

KComPtr<IKPdfDocument> activePdfDocument()
{
    KComPtr<IKUnknown> document(KxApplication::coreApplication()->activeDocument());
    return document.query<IKPdfDocument>();
}

KComPtr<IKSlides> activeSlides()
{
    KComPtr<IKUnknown> object(KxApplication::coreApplication()->activeDocument());
    const KComPtr<IKPresApplication> application = object.query<IKPresApplication>();
    KComPtr<IKPresentation> presentation;
    KComPtr<IKSlides> slides;
    if (!application || !kSucceeded(application->activePresentation(presentation.put())) || !presentation)
        return slides;
    if (!kSucceeded(presentation->slides(slides.put())))
        slides.reset();
    return slides;
}

KComPtr<IKWorkbook> activeWorkbook()
{
    KComPtr<IKUnknown> object(KxApplication::coreApplication()->activeDocument());
    const KComPtr<IKSheetApplication> application = object.query<IKSheetApplication>();
    KComPtr<IKWorkbook> workbook;
    if (application && !kSucceeded(application->activeWorkbook(workbook.put())))
        workbook.reset();
    return workbook;
}

KComPtr<IKWorksheet> activeSheet(const KComPtr<IKWorkbook> &workbook)
{
    KComPtr<IKWorksheet> sheet;
    if (workbook && !kSucceeded(workbook->activeSheet(sheet.put())))
        sheet.reset();
    return sheet;
}

} // namespace kdocumentaccess
