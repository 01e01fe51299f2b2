#include "krangelineedit.h"

#include <QRegularExpressionValidator>
#include <QToolTip>

KRangeLineEdit::KRangeLineEdit(int pageCount, QWidget *parent)
    : KLiteLineEdit(parent)
    , m_pageCount(pageCount)
{
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9,-]*")), this));
    setPlaceholderText(tr("example:1,3,5-10..."));
    connect(this, &QLineEdit::textEdited, this, &KRangeLineEdit::onTextEdited);
}

QString KRangeLineEdit::exampleTip()
{
    return QStringLiteral("<font color = #4f4f4f size = %1>%2<font>").arg(QStringLiteral("2"), tr("example: 1,3,5-10"));
}

void KRangeLineEdit::onTextEdited()
{
    QList<PageRange> parsed;
    const bool valid = parsePageRanges(text(), m_pageCount, &parsed);
    m_ranges = valid ? parsed : QList<PageRange>();
    if (!valid)
        showExample();
    if (valid != m_valid) {
        m_valid = valid;
        emit validChanged(valid);
    }
}

void KRangeLineEdit::showExample()
{
    setFocus();
    QToolTip::showText(mapToGlobal(QPoint(0, height())), exampleTip(), this);
}
