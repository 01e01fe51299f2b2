#include "ksheetbackend.h"

#include "kdocumentparts_p.h"

#include "kcsvtable.h"
#include "ksheetdata_p.h"

#include <kimagepainter.h>
#include <kpainterext.h>

#include <QCoreApplication>
#include <QFileInfo>

namespace {

using kdocumentparts::handOut;

using Data = std::shared_ptr<const KSheetData>;

template <typename Interface>
using KSheetPart = kdocumentparts::KDocumentPart<Interface, const KSheetData>;

class KRange : public KUnknownImpl<IKCellRange>
{
public:
    explicit KRange(const KCellRange &range) : m_range(range) {}
    long bounds(KCellRange *range) override
    {
        if (!range)
            return K_POINTER;
        *range = m_range;
        return K_OK;
    }

private:
    KCellRange m_range;
};

class KObject : public KUnknownImpl<IKSheetObject>
{
public:
    explicit KObject(const KCellRange &range) : m_range(range) {}
    long anchorRange(IKCellRange **range) override { return handOut(new KRange(m_range), range); }

private:
    KCellRange m_range;
};

class KObjects : public KUnknownImpl<IKSheetObjects>
{
public:
    explicit KObjects(const QList<KSheetItem> &items)
    {
        for (const KSheetItem &item : items)
            m_ranges << item.range;
    }
    long count(int *count) override
    {
        if (!count)
            return K_POINTER;
        *count = m_ranges.size();
        return K_OK;
    }
    long item(int i, IKSheetObject **object) override
    {
        if (i < 0 || i >= m_ranges.size())
            return K_FAIL;
        return handOut(new KObject(m_ranges.at(i)), object);
    }

private:
    QList<KCellRange> m_ranges;
};

class KLayout : public KSheetPart<IKSheetLayout>
{
public:
    using KDocumentPart::KDocumentPart;

    long drawingArea(IKCellRange *range, ImagePainter *painter, QRectF *area, int values[4]) override
    {
        KCellRange cells;
        if (!range || !painter || !area || !values)
            return K_POINTER;
        if (!kSucceeded(range->bounds(&cells)) || cells.isEmpty())
            return K_FAIL;
        *area = d->cellsRect(cells);
        painter->measure(*area);
        const QSize pixels = painter->measuredSize();
        values[0] = cells.rowCount();
        values[1] = cells.columnCount();
        values[2] = pixels.width();
        values[3] = pixels.height();
        return K_OK;
    }

    long draw(PainterExt *painter, const QRectF &area, bool plainWatermark) override
    {
        if (!painter || !painter->isActive() || !painter->hasPageCoordinates() || area.isEmpty())
            return K_FAIL;
        d->draw(painter, area, plainWatermark);
        return K_OK;
    }
};

class KSheet : public KSheetPart<IKWorksheet>
{
public:
    using KDocumentPart::KDocumentPart;

    long rowCount(int *count) override { return answer(count, KSheetData::kRows); }
    long columnCount(int *count) override { return answer(count, KSheetData::kColumns); }

    long usedRange(IKCellRange **range) override
    {
        if (!range)
            return K_POINTER;
        *range = nullptr;
        if (d->usedRange().isEmpty())
            return K_FALSE;
        *range = new KRange(d->usedRange());
        return K_OK;
    }

    long drawingObjects(IKSheetObjects **objects) override { return handOut(new KObjects(d->pictures()), objects); }
    long anchoredObjects(IKSheetObjects **objects) override { return handOut(new KObjects(d->notes()), objects); }

    long range(const KCellRange &cells, IKCellRange **range) override
    {
        if (cells.isEmpty() || cells.lastRow >= KSheetData::kRows || cells.lastColumn >= KSheetData::kColumns)
            return K_FAIL;
        return handOut(new KRange(cells), range);
    }

    long layout(IKSheetLayout **layout) override { return handOut(new KLayout(d), layout); }

private:
    static long answer(int *out, int value)
    {
        if (!out)
            return K_POINTER;
        *out = value;
        return K_OK;
    }
};

class KSecurity : public KSheetPart<IKDocumentSecurity>
{
public:
    using KDocumentPart::KDocumentPart;
    long showPlainWatermarkWhenPrint(bool *show) override
    {
        if (!show)
            return K_POINTER;
        *show = !d->watermark().isEmpty();
        return K_OK;
    }
};

class KWorkbook : public KSheetPart<IKWorkbook>
{
public:
    using KDocumentPart::KDocumentPart;
    long activeSheet(IKWorksheet **sheet) override { return handOut(new KSheet(d), sheet); }
    long documentSecurity(IKDocumentSecurity **security) override { return handOut(new KSecurity(d), security); }
};

} // namespace

KSheetBackend::KSheetBackend(Data data)
    : d(std::move(data))
{
}

KSheetBackend::~KSheetBackend() = default;

KSheetBackend *KSheetBackend::fromCells(const QList<QStringList> &cells, const QString &sideFile, const QString &folder)
{
    return new KSheetBackend(std::make_shared<const KSheetData>(cells, sideFile, folder));
}

KSheetBackend *KSheetBackend::open(const QString &path, QString *error)
{
    if (!QFileInfo(path).isFile()) {
        if (error)
            *error = QCoreApplication::translate("KSheetBackend", "%1: no such file").arg(path);
        return nullptr;
    }
    const std::optional<QString> text = kdocumentparts::readText(path, error);
    if (!text)
        return nullptr;
    const QString sidePath = path + QStringLiteral(".sheet");
    const QString side =
        QFileInfo(sidePath).isFile() ? kdocumentparts::readText(sidePath, nullptr).value_or(QString()) : QString();
    const QChar delimiter = QFileInfo(path).suffix().toLower() == QLatin1String("tsv") ? QLatin1Char('\t') : QLatin1Char(',');
    return fromCells(KCsvTable::parse(*text, delimiter), side, QFileInfo(path).absolutePath());
}

QStringList KSheetBackend::warnings() const
{
    return d->warnings();
}

long KSheetBackend::activeWorkbook(IKWorkbook **workbook)
{
    return handOut(new KWorkbook(d), workbook);
}
