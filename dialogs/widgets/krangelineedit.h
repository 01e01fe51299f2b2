#pragma once

#include <pagerange.h>

#include <klitelineedit.h>

#include <QList>

// The page-range field ("1,3,5-10"): takes only digits, commas and dashes, checks itself on
// every edit against the document's page count and says when its validity changes.
class KRangeLineEdit : public KLiteLineEdit
{
    Q_OBJECT
public:
    explicit KRangeLineEdit(int pageCount, QWidget *parent = nullptr);

    int pageCount() const { return m_pageCount; }
    bool isValid() const { return m_valid; }
    // The ranges of the last valid text; empty while the text is invalid.
    QList<PageRange> ranges() const { return m_ranges; }

    static QString exampleTip(); // the tool tip shown under an invalid text

signals:
    void validChanged(bool valid);

public slots:
    void onTextEdited();

private:
    void showExample();

    int m_pageCount;
    bool m_valid = false;
    QList<PageRange> m_ranges;
};
