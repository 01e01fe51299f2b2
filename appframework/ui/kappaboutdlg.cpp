#include "kappaboutdlg.h"

#include <kdrawhelper.h>
#include <klitestyle.h>

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

QString colorText(const QColor &color)
{
    return QStringLiteral("rgba(%1, %2, %3, %4)").arg(color.red()).arg(color.green()).arg(color.blue()).arg(color.alpha());
}

QColor themeColor(const QString &themeClass, const QString &attribute, QStyle::State state, const QColor &fallback)
{
    return KDrawHelper::instance()->getColor(QStringList{themeClass}, attribute, state, fallback);
}

} // namespace

KAppAboutTitleBar::KAppAboutTitleBar(QWidget *parent)
    : KFrameTitleBar(parent)
{
    setTitleBarFlags(KFrame::CloseButton);
}

KFrameAction *KAppAboutTitleBar::createAction(int kind)
{
    if (kind != KFrame::CloseButton)
        return nullptr;
    KFrameAction *action = KFrameTitleBar::createAction(kind);
    action->setIconNames(QStringLiteral("plugin_about_close;plugin_about_close_hover;plugin_about_close_clicked"));
    return action;
}

KAppAboutClientWidget::KAppAboutClientWidget(QWidget *parent)
    : KFrameClientWidget(parent)
    , m_icon(new QLabel(this))
    , m_name(new QLabel(this))
    , m_version(new QLabel(this))
    , m_feedback(new QLabel(this))
    , m_confirm(new QPushButton(tr("OK"), this))
{
    const int pad = KLiteStyle::dpiScaled(24);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(pad, KLiteStyle::dpiScaled(16), pad, pad);
    layout->setSpacing(KLiteStyle::dpiScaled(8));

    m_icon->setFixedSize(KLiteStyle::dpiScaled(QSize(56, 56)));
    m_icon->setAlignment(Qt::AlignCenter);
    QFont nameFont = m_name->font();
    nameFont.setBold(true);
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.2);
    m_name->setFont(nameFont);
    m_name->setAlignment(Qt::AlignCenter);
    m_version->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_icon, 0, Qt::AlignHCenter);
    layout->addWidget(m_name);
    layout->addWidget(m_version);

    auto *scroll = new QScrollArea(this);
    scroll->setStyleSheet(QStringLiteral("QScrollArea{background-color:transparent;border:none}"));
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const QColor handle = themeColor(QStringLiteral("KAppAboutClientWidget"), QStringLiteral("scrollbar"), QStyle::State_Enabled, QColor(0xc9, 0xcd, 0xd4));
    scroll->verticalScrollBar()->setStyleSheet(
        QStringLiteral("QScrollBar:vertical{background:transparent;width:%1px;margin:0}"
                       "QScrollBar::handle:vertical{background:%2;border-radius:%3px;min-height:20px}"
                       "QScrollBar::add-line,QScrollBar::sub-line{height:0}"
                       "QScrollBar::add-page,QScrollBar::sub-page{background:transparent}")
            .arg(KLiteStyle::dpiScaled(6)).arg(colorText(handle)).arg(KLiteStyle::dpiScaled(3)));
    auto *rows = new QWidget;
    auto *grid = new QGridLayout(rows);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(KLiteStyle::dpiScaled(8));
    grid->setVerticalSpacing(KLiteStyle::dpiScaled(6));
    grid->setColumnStretch(1, 1);
    m_author = addRow(grid, tr("Author:"));
    m_category = addRow(grid, tr("Category:"));
    m_declaration = addRow(grid, tr("declaration:"));
    m_declaration->setTextFormat(Qt::RichText);
    grid->setRowStretch(grid->rowCount(), 1);
    scroll->setWidget(rows);
    // setWidget() fills the rows with the window colour; the client's background shows instead.
    rows->setAutoFillBackground(false);
    scroll->viewport()->setAutoFillBackground(false);
    layout->addWidget(scroll, 1);

    m_feedback->setText(QStringLiteral("<a href=\"feedback\">%1</a>").arg(tr("Please comment on the service and give your feedback").toHtmlEscaped()));
    m_feedback->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    m_feedback->setAlignment(Qt::AlignCenter);
    connect(m_feedback, &QLabel::linkActivated, this, [this] { emit feedbackClicked(); });
    layout->addWidget(m_feedback);

    m_confirm->setObjectName(QStringLiteral("KAppAboutClientWidget-Confirm"));
    m_confirm->setFixedSize(KLiteStyle::dpiScaled(QSize(88, 30)));
    m_confirm->setCursor(Qt::PointingHandCursor);
    applyButtonStyle();
    connect(m_confirm, &QPushButton::clicked, this, &KAppAboutClientWidget::confirmClicked);
    layout->addWidget(m_confirm, 0, Qt::AlignHCenter);

    setCategory(QString());
    setDeclaration(QString());
}

QLabel *KAppAboutClientWidget::addRow(QGridLayout *grid, const QString &label)
{
    const int row = grid->rowCount();
    auto *name = new QLabel(label);
    name->setAlignment(Qt::AlignRight | Qt::AlignTop);
    auto *value = new QLabel;
    value->setWordWrap(true);
    value->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(name, row, 0);
    grid->addWidget(value, row, 1);
    return value;
}

void KAppAboutClientWidget::applyButtonStyle()
{
    const QString cls = m_confirm->objectName();
    const QColor back = themeColor(cls, QStringLiteral("background"), QStyle::State_Enabled, QColor(0x33, 0x70, 0xff));
    const QColor hover = themeColor(cls, QStringLiteral("background"), QStyle::State_Enabled | QStyle::State_MouseOver, back.lighter(110));
    const QColor pressed = themeColor(cls, QStringLiteral("background"), QStyle::State_Enabled | QStyle::State_Sunken, back.darker(115));
    const QColor text = themeColor(cls, QStringLiteral("text"), QStyle::State_Enabled, Qt::white);
    m_confirm->setStyleSheet(QStringLiteral("QPushButton{background:%1;color:%2;border:none;border-radius:%5px}"
                                            "QPushButton:hover{background:%3}QPushButton:pressed{background:%4}"
                                            "QPushButton:disabled{background:rgba(142, 142, 142, 50%)}")
                                 .arg(colorText(back), colorText(text), colorText(hover), colorText(pressed))
                                 .arg(KLiteStyle::dpiScaled(4)));
}

QString KAppAboutClientWidget::defaultDeclaration(int paragraphGap)
{
    return QStringLiteral("<p style=\"margin:0 0 %3px 0\">%1</p><p style=\"margin:0 0 %3px 0\">%2</p>")
        .arg(tr("The service is provided by the developer to VYX users, and the developer shall be fully responsible for the authenticity,"),
             tr("legality and effectiveness of the service information content, data resources and their operation behavior."))
        .arg(paragraphGap);
}

void KAppAboutClientWidget::setAppIcon(const QPixmap &icon)
{
    m_icon->setPixmap(icon);
    // No empty square above the name when the application has no picture.
    m_icon->setVisible(!icon.isNull());
}

void KAppAboutClientWidget::setAppName(const QString &name)
{
    m_name->setText(name);
    emit notifyUpdateClient();
}

void KAppAboutClientWidget::setVersion(const QString &version)
{
    m_version->setText(tr("App Version:%1").arg(version));
    emit notifyUpdateClient();
}

void KAppAboutClientWidget::setAuthor(const QString &author)
{
    m_author->setText(author);
    emit notifyUpdateClient();
}

void KAppAboutClientWidget::setCategory(const QString &category)
{
    m_category->setText(category.isEmpty() ? tr("other") : category);
    emit notifyUpdateClient();
}

void KAppAboutClientWidget::setDeclaration(const QString &declaration)
{
    // The statement is plain text from the meta file; only the default is markup.
    m_declaration->setText(declaration.isEmpty() ? defaultDeclaration(KLiteStyle::dpiScaled(6))
                                                 : declaration.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")));
    emit notifyUpdateClient();
}

QString KAppAboutClientWidget::appName() const { return m_name->text(); }
QString KAppAboutClientWidget::versionText() const { return m_version->text(); }
QString KAppAboutClientWidget::authorText() const { return m_author->text(); }
QString KAppAboutClientWidget::categoryText() const { return m_category->text(); }
QString KAppAboutClientWidget::declarationText() const { return m_declaration->text(); }

KAppAboutDlg::KAppAboutDlg(QWidget *parent)
    : KFrameWindow(parent)
{
    setWindowTitle(tr("About"));
    setWindowModality(Qt::WindowModal);
    setTitleBarFlags(KFrame::CloseButton);
    setResizable(false);
    initUi();
    auto *client = aboutClient();
    connect(client, &KAppAboutClientWidget::confirmClicked, this, &KAppAboutDlg::onClose);
    connect(client, &KAppAboutClientWidget::notifyUpdateClient, this, &KAppAboutDlg::onUpdateUi);
    connect(client, &KAppAboutClientWidget::feedbackClicked, this, &KAppAboutDlg::notifyOpenFeedback);
    resize(KLiteStyle::dpiScaled(QSize(440, 460)));
}

KAppAboutClientWidget *KAppAboutDlg::aboutClient() const
{
    return static_cast<KAppAboutClientWidget *>(clientWidget());
}

KFrameTitleBar *KAppAboutDlg::createTitleBar()
{
    return new KAppAboutTitleBar(this);
}

KFrameClientWidget *KAppAboutDlg::createClientWidget()
{
    return new KAppAboutClientWidget(this);
}

void KAppAboutDlg::onClose(bool)
{
    close();
}

void KAppAboutDlg::onUpdateUi()
{
    if (clientWidget() && clientWidget()->layout())
        clientWidget()->layout()->invalidate();
    update();
}
