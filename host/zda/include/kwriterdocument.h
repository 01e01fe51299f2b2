#pragma once

#include "kunknown.h"

#include <QImage>
#include <QString>

// Automation interfaces of a writer document, from the document down to its pages.
// Every object handed out carries a reference the caller releases.

struct IKPage : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{0002096B-0010-4B30-A977-D214852036FE}")); }
    // Renders the page at the given resolution; a negative status is a failure.
    virtual long render(QImage *image, int dpiX, int dpiY) = 0;
    virtual long saveAsPng(const QString &path, int dpi) = 0;
};

struct IKPageRenderer : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{0002096B-0011-4B30-A977-D214852036FE}")); }
    virtual long pageCount(int *count) = 0;
    // Page n, 1-based.
    virtual long page(int n, IKPage **page) = 0;
};

struct IKDocLayout : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{0002096B-0012-4B30-A977-D214852036FE}")); }
    virtual long pageRenderer(IKPageRenderer **renderer) = 0;
};

struct IKDocView : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{0002096B-0013-4B30-A977-D214852036FE}")); }
    // Kind 1 is the print layout, the one pages are rendered from.
    virtual long layout(int kind, IKDocLayout **layout) = 0;
};

struct IKPageSetup : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{0002096B-0014-4B30-A977-D214852036FE}")); }
    // Space the document keeps between pages; kDocSpacingUnset when it sets none.
    virtual long spacing(float *value) = 0;
};

struct IKDocSettings : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{0002096B-0015-4B30-A977-D214852036FE}")); }
    virtual long pageSetup(IKPageSetup **setup) = 0;
};

struct IKDocStateLock : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{0002096B-0016-4B30-A977-D214852036FE}")); }
    // Present while the document can only be rendered on the interface thread.
    virtual long renderThreadLock(IKUnknown **lock) = 0;
};

constexpr float kDocSpacingUnset = 9999999.0f;

struct IKWriterDocument : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{0002096B-0000-4B30-A977-D214852036FE}")); }
    virtual long activeView(IKDocView **view) = 0;
    virtual long settings(IKDocSettings **settings) = 0;
    // Brings the layout up to date for an export; the token is released at once.
    virtual long prepareExport(IKUnknown **token) = 0;
    virtual long documentState(IKDocStateLock **state) = 0;
};

// Editing a writer document: sections and their page set-up, paragraphs, pictures, and
// named operations that group changes (begin and end come in pairs).

// Page set-up values of a section; lengths in millimetres.
enum class KPageSetupField {
    LeftMargin,
    TopMargin,
    BottomMargin,
    RightMargin,
    PageWidth,
    PageHeight,
    HeaderDistance,
    FooterDistance,
};

struct IKSectionPageSetup : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{0002096B-0017-4B30-A977-D214852036FE}")); }
    virtual long value(KPageSetupField field, float *value) = 0;
    // A value the page cannot take (a margin wider than the page, say) is refused.
    virtual long setValue(KPageSetupField field, float value) = 0;
};

struct IKSection : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{0002096B-0018-4B30-A977-D214852036FE}")); }
    virtual long pageSetup(IKSectionPageSetup **setup) = 0;
};

struct IKSections : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{0002096B-0019-4B30-A977-D214852036FE}")); }
    virtual long count(int *count) = 0;
    // Section n, 1-based.
    virtual long item(int n, IKSection **section) = 0;
};

struct IKParagraph : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{0002096B-001A-4B30-A977-D214852036FE}")); }
    // Indent of the first line, in characters of the paragraph's font.
    virtual long firstLineIndentChars(float *chars) = 0;
    virtual long setFirstLineIndentChars(float chars) = 0;
};

struct IKParagraphs : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{0002096B-001B-4B30-A977-D214852036FE}")); }
    virtual long count(int *count) = 0;
    // Paragraph n, 1-based.
    virtual long item(int n, IKParagraph **paragraph) = 0;
};

struct IKDocContent : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{0002096B-001C-4B30-A977-D214852036FE}")); }
    virtual long paragraphs(IKParagraphs **paragraphs) = 0;
};

struct IKWriterEditing : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{0002096B-001D-4B30-A977-D214852036FE}")); }
    virtual long beginOperation(const QString &name) = 0;
    // changed: whether the operation altered the document.
    virtual long endOperation(const QString &name, bool changed) = 0;
    virtual long sections(IKSections **sections) = 0;
    virtual long content(IKDocContent **content) = 0;
    // Adds the picture file as a paragraph of its own at the end, scaled down to the text width.
    virtual long insertPicture(const QString &path) = 0;
};
