#include "kuserinfopane.h"

#include <QLabel>
#include <QVBoxLayout>

KUserInfoPane::KUserInfoPane(QWidget *parent)
    : QFrame(parent, Qt::Popup)
    , m_name(new QLabel(this))
{
    setObjectName(QStringLiteral("KUserInfoPane"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_name);
}

void KUserInfoPane::setUserName(const QString &name)
{
    m_name->setText(name);
}

QString KUserInfoPane::userName() const
{
    return m_name->text();
}
