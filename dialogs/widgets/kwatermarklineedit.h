#pragma once

#include <klitelineedit.h>

// The watermark text field: borderless, at most 75 characters. On the writer component it
// starts with the document's own watermark text, which then only counts once changed.
class KWatermarkLineEdit : public KLiteLineEdit
{
    Q_OBJECT
public:
    static constexpr int kMaxLength = 75;

    explicit KWatermarkLineEdit(QWidget *parent = nullptr);

    // Shows the host's text and remembers it.
    void setRememberedText(const QString &text);
    // Whether the shown text is a watermark to apply: any text without a remembered one,
    // else a text other than the remembered one.
    bool isInForce() const;

private:
    QString m_remembered;
    bool m_hasRemembered = false;
};
