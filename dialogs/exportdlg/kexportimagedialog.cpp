#include "kexportimagedialog.h"

#include <exportevent.h>
#include <kaccountservice.h>
#include <kcloudserviceproxy.h>
#include <kexportbutton.h>
#include <kexportimagemgr.h>
#include <kexportlineedit.h>
#include <kexportpaths.h>
#include <kexportpictruemgr.h>
#include <kexportrules.h>
#include <kexportsettings.h>
#include <kexportwidgetstyle.h>
#include <kframeshadow.h>
#include <klitelineedit.h>
#include <ksimpleitem.h>
#include <ktavrocloudhelper.h>
#include <ktipsdialog.h>
#include <kwatermarklineedit.h>
#include <kxapplication.h>

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

using kexportwidgets::scaled;
using kexportwidgets::uiFont;

namespace {

KExportImageDialog::HostHooks g_host;

const int kShadow = 10;

QPixmap tilePicture(const QString &name, const QSize &size)
{
    return kexportwidgets::icon(name).pixmap(size);
}

} // namespace

void KExportImageDialog::setHostHooks(const HostHooks &hooks)
{
    g_host = hooks;
}

KExportImageDialog::KExportImageDialog(QWidget *parent, const QString &componentName, const QString &entryName,
                                       const QString &savePath, int formatIndex)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog)
    , m_component(KExportComponent::current())
    , m_componentName(componentName)
    , m_entryName(entryName)
    , m_savePath(savePath)
    , m_manager(new KExportImageMgr(this))
    , m_loadingTips(new KExportLoadingTips(this))
    , m_formatIndex(formatIndex >= 0 && formatIndex < kexportsettings::kFormatCount ? formatIndex : 1)
{
    KExportPictrueMgr::instance();
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Export Image"));
    if (KFrameShadow::compositingAvailable())
        setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(scaled(660), scaled(460));
    m_documentWatermark = g_host.documentWatermark ? g_host.documentWatermark() : kexportdlg::DocumentWatermark();
    connectManager();
    auto *outer = new QVBoxLayout(this);
    const int margin = testAttribute(Qt::WA_TranslucentBackground) ? scaled(kShadow) : 0;
    outer->setContentsMargins(margin + scaled(24), margin + scaled(12), margin + scaled(24), margin + scaled(16));
    outer->setSpacing(scaled(10));
    outer->addWidget(buildTitleRow());
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(scaled(12));
    grid->setVerticalSpacing(scaled(10));
    grid->addWidget(caption(tr("Export Type")), 0, 0, Qt::AlignTop);
    grid->addWidget(buildTypeRow(), 0, 1);
    buildChoiceRows(grid);
    buildSaveRows(grid);
    outer->addLayout(grid);
    outer->addStretch();
    refreshPageCount();
    if (KCloudServiceProxy *proxy = KCloudServiceProxy::instance())
        connect(proxy, &KCloudServiceProxy::loginStatusChanged, this, [this] { onUserInfoChange(0); });
    sendExportEvent(QStringLiteral("wndshow"), {{QStringLiteral("type"), QStringLiteral("exportimage")},
                                                {QStringLiteral("doc_type"), QCoreApplication::applicationName()}});
}

void KExportImageDialog::setHostWindow(KxMainWindow *window)
{
    m_hostWindow = window;
    m_manager->setMainWindow(window);
    refreshPageCount();
}

// The page count reaches writer documents through the host window, so it is read again
// once that is known.
void KExportImageDialog::refreshPageCount()
{
    m_pageCount = m_manager->pageCount();
    const bool single = !kexportdlg::offersLongPicture(m_pageCount) && m_component.offersEachPage;
    m_exportType = !m_component.offersEachPage ? 1 : single ? 0 : m_component.longPictureByDefault ? 1 : 0;
    m_longItem->setEnabled(!single);
    m_longItem->setToolTip(single ? tr("can't combine to long picture because of only one page in the document")
                                  : QString());
    m_eachItem->setSelected(m_exportType == 0);
    m_longItem->setSelected(m_exportType == 1);
    fillQualityCombo();
    updateOutputPath(QString());
}

KExportImageDialog::~KExportImageDialog()
{
    // Without the cloud the box says nothing about the user's wish: keep the stored one.
    if (m_backup->isEnabled())
        kexportsettings::setCompactBackupToCloud(m_backup->isChecked());
    delete m_loadingTips.data();
}

void KExportImageDialog::connectManager()
{
    m_manager->setMainWindow(m_hostWindow);
    m_manager->setBusyPresenter([this](const QString &title, const QString &message) {
        kexportdlgshared::tips(this, title, message, KTipsDialog::OkButton);
    });
    connect(m_manager, &KExportImageMgr::exportFinished, this, &KExportImageDialog::onExportFinished);
    connect(m_manager, &KExportImageMgr::showTips, this, &KExportImageDialog::showExportTips);
    connect(m_manager, &KExportImageMgr::exportProgress, this, [this](int done, int total) {
        if (m_loadingTips)
            m_loadingTips->setText(tr("Exporting page %1 of %2, please wait...").arg(done).arg(total));
    });
    connect(m_loadingTips, &KExportLoadingTips::closeTips, this, &KExportImageDialog::onCancelExport);
    m_loadingTips->hide();
}

QWidget *KExportImageDialog::buildTitleRow()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *title = new QLabel(tr("Export Image"), row);
    title->setFont(uiFont(24));
    title->setStyleSheet(QStringLiteral("color:#4585D7;"));
    m_close = new QPushButton(row);
    m_close->setFixedSize(scaled(16), scaled(16));
    m_close->setCursor(Qt::PointingHandCursor);
    m_close->setStyleSheet(QStringLiteral("QPushButton{border:none;border-image:url(:/kexportpic/tips/close-normal.png);}"
                                          "QPushButton:hover{border-image:url(:/kexportpic/tips/close-hover.png);}"));
    connect(m_close, &QPushButton::clicked, this, &KExportImageDialog::onClose);
    layout->addWidget(title);
    layout->addStretch();
    layout->addWidget(m_close, 0, Qt::AlignTop);
    return row;
}

QLabel *KExportImageDialog::caption(const QString &text)
{
    auto *label = new QLabel(text, this);
    label->setFont(uiFont(12));
    label->setStyleSheet(QStringLiteral("color:#424242;"));
    return label;
}

QWidget *KExportImageDialog::buildTypeRow()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(scaled(16));
    m_eachItem = new KSimpleItem(tilePicture(QStringLiteral("eachpage"), QSize(scaled(64), scaled(80))), tr("Each page"), row);
    m_eachItem->setFixedSize(scaled(100), scaled(120));
    m_longItem = new KSimpleItem(tilePicture(QStringLiteral("longpicture"), QSize(scaled(56), scaled(96))),
                                 tr("Long Picture"), row);
    m_longItem->setFixedSize(scaled(84), scaled(130));
    m_eachItem->setEnabled(m_component.offersEachPage);
    for (KSimpleItem *item : {m_eachItem, m_longItem}) {
        layout->addWidget(item, 0, Qt::AlignBottom);
        connect(item, &KSimpleItem::clicked, this, &KExportImageDialog::onExportTypeItemClicked);
    }
    layout->addStretch();
    return row;
}

void KExportImageDialog::buildChoiceRows(QGridLayout *grid)
{
    m_watermarkEdit = new KWatermarkLineEdit(this);
    m_watermarkEdit->setFixedHeight(scaled(30));
    if (m_component.preparesWriterDocument && m_documentWatermark.reported)
        m_watermarkEdit->setRememberedText(m_documentWatermark.text);
    grid->addWidget(caption(tr("Watermark")), 1, 0);
    grid->addWidget(m_watermarkEdit, 1, 1);
    m_quality = new KPhotoQualityComboBox(QString(), this);
    m_quality->captionLabel()->hide();
    m_quality->comboBox()->setFixedSize(scaled(200), scaled(30));
    connect(m_quality, &KPhotoQualityComboBox::photoQualityChanged, this, &KExportImageDialog::onQualityComboBoxChanged);
    grid->addWidget(caption(tr("Quality")), 2, 0);
    grid->addWidget(m_quality, 2, 1, Qt::AlignLeft);
    m_formatCombo = new KExportComboBox(this);
    m_formatCombo->setFixedSize(scaled(200), scaled(30));
    for (KPhotoFormatComboBoxItem *item : KPhotoFormatComboBoxItem::standardItems())
        m_formatCombo->addItem(item);
    m_formatCombo->setCurrentRow(m_formatIndex);
    connect(m_formatCombo, &KExportComboBox::currentRowChanged, this, &KExportImageDialog::onFormatComboboxRowChanged);
    grid->addWidget(caption(tr("Format")), 3, 0);
    grid->addWidget(m_formatCombo, 3, 1, Qt::AlignLeft);
}

void KExportImageDialog::buildSaveRows(QGridLayout *grid)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(scaled(10));
    m_pathEdit = new KExportLineEdit(this);
    m_pathEdit->setFixedSize(scaled(330), scaled(30));
    connect(m_pathEdit, &KExportLineEdit::selectPathFinished, this, &KExportImageDialog::onUpdateSaveToEdit);
    m_exportButton = new KExportButton(tr("Export"), QStringLiteral("#4585D7;#64A3F3;#4585D7"),
                                       QStringLiteral("#4585D7;#64A3F3;#4585D7"), QStringLiteral("#FFFFFF"), this);
    m_exportButton->setFixedSize(scaled(100), scaled(30));
    m_exportButton->setFont(uiFont(14));
    connect(m_exportButton, &QPushButton::clicked, this, &KExportImageDialog::onExoprtBtnClicked);
    row->addWidget(m_pathEdit);
    row->addWidget(m_exportButton);
    row->addStretch();
    grid->addWidget(caption(tr("Save To")), 4, 0);
    grid->addLayout(row, 4, 1);
    m_backup = kexportdlgshared::makeBackupBox(this);
    const bool cloud = m_backup->isEnabled();
    const auto stored = !kexportsettings::hasCompactBackupToCloud() ? kexportdlg::StoredChoice::None
        : kexportsettings::compactBackupToCloud()                   ? kexportdlg::StoredChoice::On
                                                                    : kexportdlg::StoredChoice::Off;
    m_backup->setChecked(kexportdlg::initialBackup(cloud, stored, isLoggedIn()));
    grid->addWidget(m_backup, 5, 1);
}

void KExportImageDialog::fillQualityCombo()
{
    KExportComboBox *combo = m_quality->comboBox();
    QList<int> rows;
    for (int i = 0; i < combo->count(); ++i)
        rows << combo->item(i)->value().toInt();
    const QList<int> wanted =
        kexportdlg::refilledQualities(rows, kexportdlg::highestQualityIndex(m_component, m_exportType == 1));
    const QSignalBlocker block(combo);
    while (combo->count() > wanted.size())
        delete combo->listWidget()->takeItem(combo->count() - 1);
    for (int q = combo->count(); q < wanted.size(); ++q)
        combo->addItem(new KPhotoQualityComboBoxItem(KPhotoQualityComboBoxItem::PhotoQuality(wanted.at(q))));
    // Rows stand for their quality index, so the row is the quality.
    m_qualityIndex = std::min(m_qualityIndex, combo->count() - 1);
    combo->setCurrentRow(m_qualityIndex);
}

bool KExportImageDialog::writesSingleFile() const
{
    return m_component.writesSingleFile(m_exportType == 1);
}

void KExportImageDialog::updateOutputPath(const QString &chosenFolder)
{
    const QString folder =
        kexportdlg::outputFolder({chosenFolder, m_pathEdit->text(), KExportPaths::defaultOutputFolder(), QString(), m_savePath});
    const QString name = KExportRules::baseName(KExportPaths::documentName(), m_component, QDateTime::currentDateTime());
    m_pathEdit->setText(folder + QStringLiteral("%1.%2").arg(name, kexportdlgshared::formatSuffix(m_formatIndex)));
}

bool KExportImageDialog::isLoggedIn() const
{
    KAccountService *account = KxApplication::coreApplication()->getAccountService();
    return account && account->userInfo().logined();
}

void KExportImageDialog::onExportTypeItemClicked()
{
    auto *item = qobject_cast<KSimpleItem *>(sender());
    if (!item || !item->isEnabled())
        return;
    m_exportType = item == m_longItem ? 1 : 0;
    m_eachItem->setSelected(m_exportType == 0);
    m_longItem->setSelected(m_exportType == 1);
    fillQualityCombo();
    updateOutputPath(QString());
}

void KExportImageDialog::onFormatComboboxRowChanged(int currentRow)
{
    if (IExportComboBoxItem *item = m_formatCombo->item(currentRow)) {
        m_formatIndex = item->value().toInt();
        updateOutputPath(QString());
    }
}

void KExportImageDialog::onQualityComboBoxChanged(const KPhotoQualityComboBoxItem::PhotoQuality &quality)
{
    m_qualityIndex = int(quality);
}

void KExportImageDialog::onUpdateSaveToEdit(QString &path)
{
    updateOutputPath(path);
}

void KExportImageDialog::onUserInfoChange(int)
{
    update();
}

void KExportImageDialog::onDisconnected()
{
    update();
}

void KExportImageDialog::onLoginCancel()
{
    update();
}

void KExportImageDialog::onLogin()
{
    if (g_host.login)
        g_host.login(this);
}

QHash<QString, QString> KExportImageDialog::eventFields(bool end, bool success, const QString &pageCount) const
{
    const kexportdlg::EventChoices c{m_options.watermarkOn ? 1 : 0, m_exportType == 1,
                                     kexportdlgshared::formatSuffix(m_formatIndex), m_qualityIndex,
                                     m_backup->isChecked(), false};
    QHash<QString, QString> fields =
        end ? kexportdlg::endEventFields(c, success, pageCount) : kexportdlg::beginEventFields(c);
    fields.remove(QStringLiteral("page"));
    return fields;
}

void KExportImageDialog::onExoprtBtnClicked()
{
    kexportdlg::applyTextWatermark(m_options, m_watermarkEdit->isInForce(), m_watermarkEdit->text(), m_documentWatermark);
    sendExportEvent(QStringLiteral("begin"), eventFields(false, false, QString()));
    if (m_backup->isChecked() && !isLoggedIn()) {
        const int answer = kexportdlgshared::tips(this, tr("Login tips"),
                                                  tr("Sorry! You need to login in order to use cloud disk."),
                                                  KTipsDialog::LoginButton);
        if (answer == KTipsDialog::ResultLogin)
            onLogin();
        return;
    }
    if (!passesLongPictureLimit())
        return;
    QString path = m_pathEdit->text();
    if (!KExportPaths::validatePath(path, writesSingleFile(), this))
        return;
    m_pathEdit->setText(path);
    startExport(path);
}

bool KExportImageDialog::passesLongPictureLimit()
{
    if (m_exportType != 1)
        return true;
    if (m_component.longPictureInParts)
        return kexportdlgshared::confirmPdfHeight(this, m_manager, m_pageCount, m_options);
    const kexportdlg::CompactRefusal r = kexportdlg::compactLongPageLimit(m_component, m_qualityIndex, m_pageCount);
    if (!r.isSet())
        return true;
    kexportdlgshared::tips(this, r.title, r.text, KTipsDialog::OkButton, r.extraWidth);
    return false;
}

void KExportImageDialog::startExport(const QString &outputPath)
{
    m_cancelled = false;
    m_options.pages.clear();
    m_options.longPicture = m_exportType == 1;
    m_options.maxPagesPerPicture = m_component.pagesPerPart;
    m_options.suffix = kexportdlgshared::formatSuffix(m_formatIndex);
    m_options.dpi = kexportdlg::dpiForQualityIndex(m_qualityIndex);
    kexportdlgshared::prepareOptions(m_options, outputPath, writesSingleFile(), m_component, m_hostWindow);
    m_manager->startExport(m_options);
}

void KExportImageDialog::onExportFinished(const KExportImageTask::ExitCode exitCode, const QVariantMap exitInfo)
{
    if (m_loadingTips)
        m_loadingTips->hide();
    const QString fileName = exitInfo.value(QStringLiteral("fileName")).toString();
    if (m_cancelled || exitCode == KExportImageTask::Canceled) {
        // A cancel that came too late for the task still leaves nothing behind.
        if (m_cancelled && exitCode == KExportImageTask::Success)
            kexportdlg::deleteExportOutput(fileName, writesSingleFile(), m_options.outputDir);
        if (m_closeWhenStopped)
            close();
        return;
    }
    sendExportEvent(QStringLiteral("end"), eventFields(true, exitCode == KExportImageTask::Success,
                                                       exitInfo.value(QStringLiteral("pageCount")).toString()));
    if (exitCode != KExportImageTask::Success) {
        kexportdlgshared::tips(this, exitInfo.value(QStringLiteral("errTitle")).toString(),
                               exitInfo.value(QStringLiteral("errMsg")).toString(), KTipsDialog::OkButton);
        return;
    }
    finishSuccess(fileName);
}

void KExportImageDialog::finishSuccess(const QString &fileName)
{
    if (m_backup->isChecked() && !fileName.isEmpty())
        kexportdlgshared::uploadToCloud(fileName, writesSingleFile());
    showNormalTipsDlg(fileName);
}

void KExportImageDialog::showNormalTipsDlg(const QString &fileName)
{
    const int answer =
        kexportdlgshared::tips(this, tr("Export success"), tr("image outputed, open file or open output path to view!"),
                               KTipsDialog::OpenButton | KTipsDialog::OpenPathButton);
    if (fileName.isEmpty() || (answer != KTipsDialog::ResultOpen && answer != KTipsDialog::ResultOpenPath))
        return;
    const QString target = answer == KTipsDialog::ResultOpen ? fileName : QFileInfo(fileName).absolutePath();
    kexportdlgshared::openUrl(QUrl::fromLocalFile(target));
    close();
}

void KExportImageDialog::onCancelExport()
{
    m_cancelled = true;
    m_manager->cancel();
}

void KExportImageDialog::cancelAndClose()
{
    if (!m_manager->isBusy()) {
        close();
        return;
    }
    m_closeWhenStopped = true;
    onCancelExport();
}

void KExportImageDialog::showExportTips()
{
    if (!m_loadingTips)
        return;
    m_loadingTips->setText(KExportLoadingTips::waitText());
    m_loadingTips->showCentredOn(this);
}

bool KExportImageDialog::refuseWhileBusy()
{
    if (!m_manager->isBusy())
        return false;
    if (!m_closeWhenStopped)
        kexportdlgshared::tips(this, tr("Export Image"), tr("Can't close because another export task is running"),
                               KTipsDialog::YesButton);
    return true;
}

void KExportImageDialog::onClose()
{
    close();
}

void KExportImageDialog::reject()
{
    // Escape ends here: it closes the window as the close button does.
    close();
}

void KExportImageDialog::closeEvent(QCloseEvent *event)
{
    if (refuseWhileBusy()) {
        event->ignore();
        return;
    }
    setResult(QDialog::Rejected);
    event->accept();
}

void KExportImageDialog::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QRect body = rect();
    if (testAttribute(Qt::WA_TranslucentBackground)) {
        body = rect().marginsRemoved(QMargins(1, 1, 1, 1) * scaled(kShadow));
        KFrameShadow(QColor(0, 0, 0, 70), scaled(kShadow), 0).paint(&painter, body);
    }
    painter.fillRect(body, Qt::white);
    painter.setPen(QColor(0xd0, 0xd6, 0xe0));
    painter.drawRect(body.adjusted(0, 0, -1, -1));
}

void KExportImageDialog::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_dragOffset = event->globalPos() - frameGeometry().topLeft();
    QDialog::mousePressEvent(event);
}

void KExportImageDialog::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        move(event->globalPos() - m_dragOffset);
    QDialog::mouseMoveEvent(event);
}
