#include "kmarginsoptiondlg.h"

#include "koptionsui.h"

#include <exportevent.h>
#include <kexportcomponent.h>
#include <klitespinbox.h>
#include <klitestyle.h>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
enum MarginKey { KeyLeft = 0, KeyTop = 1, KeyRight = 2, KeyBottom = 3, KeyPageSpacing = 4 };
} // namespace

KMarginsOptionDlgTitle::KMarginsOptionDlgTitle(QWidget *parent)
    : KOptionTitleBar(parent)
{
}

KMarginsOptionCliectWidget::KMarginsOptionCliectWidget(KMarginsOptionDlg *dialog, QWidget *parent)
    : KFrameClientWidget(parent)
    , m_dialog(dialog)
{
}

KLiteSpinBox *KMarginsOptionCliectWidget::spinBox(int key) const
{
    return m_spinBoxes.value(key);
}

void KMarginsOptionCliectWidget::ensureBuilt()
{
    if (m_built)
        return;
    m_built = true;
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(KLiteStyle::dpiScaled(QMargins(24, 10, 24, 20)));
    outer->setSpacing(0);
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(KLiteStyle::dpiScaled(24));
    grid->setVerticalSpacing(KLiteStyle::dpiScaled(24));
    outer->addLayout(grid);

    const QVector<int> margins = m_dialog->margins();
    addRow(grid, KeyTop, QStringLiteral("%1|%2").arg(tr("margin-top:")).arg(margins[KeyTop]), 0, 0);
    addRow(grid, KeyBottom, QStringLiteral("%1|%2").arg(tr("margin-bottom:")).arg(margins[KeyBottom]), 0, 1);
    if (m_dialog->showsPageSpacing()) {
        addRow(grid, KeyPageSpacing,
               QStringLiteral("%1|%2").arg(tr("Page Spacing:")).arg(m_dialog->pageSpacing()), 1, 0);
    }
    outer->addStretch(1);

    auto *ok = new QPushButton(tr("Ok"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setStyleSheet(koptionsui::okButtonStyleSheet());
    ok->setFixedSize(KLiteStyle::dpiScaled(QSize(80, 32)));
    ok->setCursor(Qt::PointingHandCursor);
    connect(ok, &QPushButton::clicked, this, &KMarginsOptionCliectWidget::onOkButtonClicked);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    outer->addLayout(buttons);
}

void KMarginsOptionCliectWidget::addRow(QGridLayout *grid, int key, const QString &text, int row, int column)
{
    // A label and its value travel as one "label|value" text.
    const int bar = text.lastIndexOf(QLatin1Char('|'));
    auto *label = new QLabel(text.left(bar), this);
    label->setStyleSheet(koptionsui::labelStyleSheet(14));
    if (key == KeyPageSpacing)
        label->setMinimumSize(KLiteStyle::dpiScaled(QSize(56, 32)).expandedTo(label->sizeHint())); // never cut

    auto *spin = new KLiteSpinBox(this);
    spin->setObjectName(QStringLiteral("margin%1").arg(key));
    spin->setSuffix(tr("pix"));
    spin->setRange(1, 300);
    spin->setSingleStep(1);
    spin->setFixedBoxSize(QSize(110, 32));
    spin->setValue(text.mid(bar + 1).toInt());
    m_spinBoxes.insert(key, spin);

    auto *line = new QHBoxLayout;
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(0);
    line->addWidget(label);
    line->addWidget(spin);
    grid->addLayout(line, row, column);
}

void KMarginsOptionCliectWidget::onOkButtonClicked()
{
    QVector<int> values(5, 0);
    for (int key = KeyLeft; key <= KeyPageSpacing; ++key) {
        if (KLiteSpinBox *spin = spinBox(key))
            values[key] = spin->value();
    }
    m_dialog->storeConfirmed(values.mid(0, 4), values[KeyPageSpacing]);
    sendExportEvent(QStringLiteral("margin"),
                    {{QStringLiteral("remark"), QStringLiteral("%1-%2-%3")
                                                    .arg(values[KeyTop])
                                                    .arg(values[KeyBottom])
                                                    .arg(values[KeyPageSpacing])}});
    emit okButtonClicked();
}

KMarginsOptionDlg::KMarginsOptionDlg(QWidget *parent, bool showPageSpacing)
    : KOptionFrameDialog(parent)
    , m_showPageSpacing(showPageSpacing)
{
    koptionsui::ensureTheme();
    setWindowIcon(QIcon());
    setWindowTitle(tr("Page Spacing Settings"));
    setBoxShadow(QColor(0, 0, 0, 58), KLiteStyle::dpiScaled(22), KLiteStyle::dpiScaled(3));
    setFixedContentSize(QSize(404, showPageSpacing ? 234 : 182));
}

KMarginsOptionDlg::KMarginsOptionDlg(QWidget *parent)
    : KMarginsOptionDlg(parent, KExportComponent::current().offersPageGap)
{
}

void KMarginsOptionDlg::setMargins(int left, int top, int right, int bottom)
{
    m_margins = {left, top, right, bottom};
}

void KMarginsOptionDlg::setPageSpacing(int spacing)
{
    m_pageSpacing = spacing;
}

void KMarginsOptionDlg::storeConfirmed(const QVector<int> &margins, int pageSpacing)
{
    m_margins = margins;
    m_pageSpacing = pageSpacing;
}

KFrameTitleBar *KMarginsOptionDlg::createTitleBar()
{
    auto *bar = new KMarginsOptionDlgTitle(this);
    connect(bar, &KOptionTitleBar::rejectRequested, this, &KOptionFrameDialog::reject);
    return bar;
}

KFrameClientWidget *KMarginsOptionDlg::createClientWidget()
{
    auto *client = new KMarginsOptionCliectWidget(this, this);
    connect(client, &KMarginsOptionCliectWidget::okButtonClicked, this, &KOptionFrameDialog::accept);
    return client;
}

void KMarginsOptionDlg::setVisible(bool visible)
{
    if (visible && !isVisible()) {
        // The rows are built on the first showing, before the window appears, and each
        // showing starts from the values last confirmed.
        initUi();
        auto *client = static_cast<KMarginsOptionCliectWidget *>(clientWidget());
        client->ensureBuilt();
        setFixedContentSize(QSize(404, m_showPageSpacing ? 234 : 182));
        for (int key : {1, 3}) {
            if (KLiteSpinBox *spin = client->spinBox(key))
                spin->setValue(m_margins[key]);
        }
        if (KLiteSpinBox *spin = client->spinBox(4))
            spin->setValue(m_pageSpacing);
    }
    KOptionFrameDialog::setVisible(visible);
}
