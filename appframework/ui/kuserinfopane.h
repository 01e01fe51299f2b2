#pragma once

#include <QFrame>

class QLabel;

// The pop-up of the title bar's avatar: who is logged in.
class KUserInfoPane : public QFrame
{
    Q_OBJECT
public:
    explicit KUserInfoPane(QWidget *parent = nullptr);

    void setUserName(const QString &name);
    QString userName() const;

private:
    QLabel *m_name;
};
