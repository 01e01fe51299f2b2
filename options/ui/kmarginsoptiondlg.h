#pragma once

#include "koptionframe.h"

#include <QMap>
#include <QPointer>
#include <QVector>

class KLiteSpinBox;
class KMarginsOptionDlg;

class KMarginsOptionDlgTitle : public KOptionTitleBar
{
    Q_OBJECT
public:
    explicit KMarginsOptionDlgTitle(QWidget *parent = nullptr);
};

// The rows of the page spacing dialog, built on the first show. Values are read back by
// margin key: 0 left, 1 top, 2 right, 3 bottom, 4 the gap between pages.
class KMarginsOptionCliectWidget : public KFrameClientWidget
{
    Q_OBJECT
public:
    KMarginsOptionCliectWidget(KMarginsOptionDlg *dialog, QWidget *parent = nullptr);

    // The spin box of a key, or null when the dialog does not offer it (or not yet built).
    KLiteSpinBox *spinBox(int key) const;
    void ensureBuilt();

public slots:
    void onOkButtonClicked();

signals:
    void okButtonClicked();

private:
    void addRow(class QGridLayout *grid, int key, const QString &text, int row, int column);

    KMarginsOptionDlg *m_dialog;
    QMap<int, QPointer<KLiteSpinBox>> m_spinBoxes;
    bool m_built = false;
};

// The white bands of a long picture: above the first page, below the last page and, where
// the component offers it, between pages. Pixels at 96 dots per inch.
class KMarginsOptionDlg : public KOptionFrameDialog
{
    Q_OBJECT
public:
    KMarginsOptionDlg(QWidget *parent, bool showPageSpacing);
    // Offers the page gap where the running component does.
    explicit KMarginsOptionDlg(QWidget *parent);

    bool showsPageSpacing() const { return m_showPageSpacing; }

    // Left, top, right, bottom.
    void setMargins(int left, int top, int right, int bottom);
    QVector<int> margins() const { return m_margins; }
    void setPageSpacing(int spacing);
    int pageSpacing() const { return m_pageSpacing; }

    // Spin boxes start at the values last confirmed; stores a confirmed set of values.
    void storeConfirmed(const QVector<int> &margins, int pageSpacing);

protected:
    KFrameTitleBar *createTitleBar() override;
    KFrameClientWidget *createClientWidget() override;

public:
    void setVisible(bool visible) override;

private:
    const bool m_showPageSpacing;
    QVector<int> m_margins{0, 0, 0, 0};
    int m_pageSpacing = 0;
};
