#pragma once

#include <kxcontextcategory.h>

class KxMainWindow;

// The add-on's context category; its context is named "VyxTavro" (translated).
class KxVyxTavroContext : public KxContextCategory
{
    Q_OBJECT
public:
    KxVyxTavroContext(KxMainWindow *host, const QVariant &argument);
    KCommand *clone(QObject *host, const QVariant &argument) const override;
};
