#include "fuzzsupport.h"

#include <kdocumentloader.h>
#include <kwriterdocument.h>

#include <QImage>

KFUZZ_INIT

// A kind byte (text, Markdown or HTML) and the document; opens it as the host does and
// renders its first page at a low resolution.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static const char *const suffixes[] = {"txt", "md", "html"};
    const QString name = QStringLiteral("doc.") + QLatin1String(suffixes[data[0] % 3]);
    const QString path = kfuzz::writeFile(name, kfuzz::bytes(data + 1, size - 1));
    const KOpenedDocument opened = KDocumentLoader::open(path);
    const KComPtr<IKWriterDocument> doc = opened.object.query<IKWriterDocument>();
    if (!doc)
        return 0;
    KComPtr<IKDocView> view;
    KComPtr<IKDocLayout> layout;
    KComPtr<IKPageRenderer> renderer;
    KComPtr<IKPage> page;
    QImage image;
    if (kSucceeded(doc->activeView(view.put())) && kSucceeded(view->layout(1, layout.put()))
        && kSucceeded(layout->pageRenderer(renderer.put())) && kSucceeded(renderer->page(1, page.put())))
        page->render(&image, 12, 12);
    return 0;
}
