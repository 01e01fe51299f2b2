#include "kwatermarklineedit.h"

KWatermarkLineEdit::KWatermarkLineEdit(QWidget *parent)
    : KLiteLineEdit(parent)
{
    setFrameless(true);
    setMaxLength(kMaxLength);
    setPlaceholderText(tr("Confidential, Forbidden Copy, Original Copy, Sample Copy"));
}

void KWatermarkLineEdit::setRememberedText(const QString &text)
{
    m_remembered = text.left(kMaxLength);
    m_hasRemembered = true;
    setText(m_remembered);
}

bool KWatermarkLineEdit::isInForce() const
{
    return m_hasRemembered ? text() != m_remembered : !text().isEmpty();
}
