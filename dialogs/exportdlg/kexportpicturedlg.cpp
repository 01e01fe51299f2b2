#include "kexportpicturedlg.h"

#include "kexportdlgrules.h"

#include <exportevent.h>
#include <infocollect.h>
#include <kdocumentaccess.h>
#include <kdrawhelper.h>
#include <kexportbutton.h>
#include <kexportcombobox.h>
#include <kexportimagemgr.h>
#include <kexportlineedit.h>
#include <kexportloadingtips.h>
#include <kexportpaths.h>
#include <kexportpictruemgr.h>
#include <kexportrules.h>
#include <kexportsettings.h>
#include <kexporttypeitem.h>
#include <kexportwidgetstyle.h>
#include <kframetitlebar.h>
#include <klitelineedit.h>
#include <kmarginsoptiondlg.h>
#include <koptionsui.h>
#include <kpictureopen.h>
#include <kpreviewpage.h>
#include <krangelineedit.h>
#include <ktavrocloudhelper.h>
#include <ktipsdialog.h>
#include <kwatermarkoptiondlg.h>
#include <watermarklabels.h>
#include <watermarkpicture.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QVBoxLayout>

using kexportwidgets::scaled;
using kexportwidgets::uiFont;

void KExportPictureClientWidget::setHooks(const Hooks &hooks)
{
    kexportdlgshared::setHooks(hooks);
}

KExportPictureClientWidget::KExportPictureClientWidget(KExportPictureDlg *dialog, QWidget *parent)
    : KAppClientWidget(parent)
    , m_dialog(dialog)
    , m_component(KExportComponent::current())
    , m_loadingTips(new KExportLoadingTips(dialog))
    , m_manager(new KExportImageMgr(this))
    , m_longPicture(m_component.longPictureByDefault)
{
    m_manager->setMainWindow(dialog ? dialog->hostWindow() : nullptr);
    m_manager->setBusyPresenter(
        [this](const QString &title, const QString &message) { tips(title, message, KTipsDialog::OkButton); });
    connect(m_manager, &KExportImageMgr::exportFinished, this, &KExportPictureClientWidget::onExportFinished);
    connect(m_manager, &KExportImageMgr::showTips, this, &KExportPictureClientWidget::showExportTips);
    connect(m_manager, &KExportImageMgr::exportProgress, this, [this](int done, int total) {
        if (m_loadingTips)
            m_loadingTips->setText(tr("Exporting page %1 of %2, please wait...").arg(done).arg(total));
    });
    connect(m_loadingTips, &KExportLoadingTips::closeTips, this, &KExportPictureClientWidget::onCancelExport);
    m_loadingTips->hide();
}

KExportPictureClientWidget::~KExportPictureClientWidget()
{
    if (m_initialised) {
        kexportsettings::setImageFormat(m_formatCombo->currentRow());
        kexportsettings::setOutputFilePath(m_outputPath);
        kexportsettings::setBackupToCloud(m_backup->isChecked());
    }
    delete m_loadingTips.data();
}

int KExportPictureClientWidget::tips(const QString &title, const QString &text, int buttons)
{
    QWidget *parent = m_dialog ? static_cast<QWidget *>(m_dialog) : this;
    return kexportdlgshared::tips(parent, title, text, buttons);
}

KExportTypeItem *KExportPictureClientWidget::typeItem(int type) const
{
    return m_typeGroup ? qobject_cast<KExportTypeItem *>(m_typeGroup->button(type)) : nullptr;
}

KRadioItem *KExportPictureClientWidget::watermarkRadio(int choice) const
{
    return m_watermarkGroup ? qobject_cast<KRadioItem *>(m_watermarkGroup->button(choice)) : nullptr;
}

KRadioItem *KExportPictureClientWidget::pageRadio(int choice) const
{
    return m_pageGroup ? qobject_cast<KRadioItem *>(m_pageGroup->button(choice)) : nullptr;
}

QList<int> KExportPictureClientWidget::qualityRows() const
{
    QList<int> rows;
    for (int i = 0; m_qualityCombo && i < m_qualityCombo->count(); ++i)
        rows << m_qualityCombo->item(i)->value().toInt();
    return rows;
}

void KExportPictureClientWidget::showEvent(QShowEvent *event)
{
    KAppClientWidget::showEvent(event);
    ensureInitialised();
    placeEditWatermarkButton();
}

void KExportPictureClientWidget::resizeEvent(QResizeEvent *event)
{
    KAppClientWidget::resizeEvent(event);
    placeEditWatermarkButton();
}

void KExportPictureClientWidget::ensureInitialised()
{
    if (m_initialised)
        return;
    m_initialised = true;
    m_savedFormatIndex = kexportsettings::imageFormat();
    m_outputPath = kexportsettings::outputFilePath();
    m_backupWanted = kexportsettings::backupToCloud();
    m_documentPath = m_dialog ? m_dialog->savePath() : QString();
    const int given = m_dialog ? m_dialog->formatIndex() : -1;
    m_formatIndex = given >= 0 && given < kexportsettings::kFormatCount ? given : 1;
    // A format the Save-As path names is the user's choice now; the remembered one only
    // stands in when there is none.
    if (given < 0 && m_savedFormatIndex >= 0)
        m_formatIndex = m_savedFormatIndex;
    m_previewPicture = koptionsui::previewTemplate();
    m_pageCount = m_manager->pageCount();
    m_options.watermark = KExportPictrueMgr::instance()->customWatermark();
    m_options.maxPagesPerPicture = m_component.pagesPerPart;
    buildControls();
    updateMarginsLink();
    updatePageControls();
    fillQualityCombo();
    updateOutputPath(QString());
    applyWatermarkChoice();
    setDefaultWatermarkPicture();
    m_preview->setWatermark(m_options.watermark);
    // Owned by the widget, so that nothing of it outlives the module once the host unloads it.
    auto *firstPreview = new QTimer(this);
    firstPreview->setSingleShot(true);
    connect(firstPreview, &QTimer::timeout, this, &KExportPictureClientWidget::exportPreviewPage);
    firstPreview->start(1000);
    sendExportEvent(QStringLiteral("wndshow"), {{QStringLiteral("type"), QStringLiteral("exportimage")},
                                                {QStringLiteral("doc_type"), QCoreApplication::applicationName()}});
}

QLabel *KExportPictureClientWidget::caption(const QString &text)
{
    auto *label = new QLabel(text, this);
    label->setFont(uiFont(12));
    // 48 px, or wider when a single word of a caption would be cut.
    int widest = scaled(48);
    for (const QString &word : text.split(QLatin1Char(' ')))
        widest = std::max(widest, label->fontMetrics().horizontalAdvance(word) + 2);
    label->setFixedWidth(widest);
    label->setStyleSheet(QStringLiteral("color:#666666;"));
    label->setWordWrap(true);
    return label;
}

QWidget *KExportPictureClientWidget::buildTypeRow()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(scaled(12));
    m_typeGroup = new QButtonGroup(this);
    for (int type : {KExportTypeItem::EachPage, KExportTypeItem::LongPicture}) {
        auto *item = new KExportTypeItem(KExportTypeItem::Type(type), row);
        m_typeGroup->addButton(item, type);
        layout->addWidget(item);
    }
    KExportTypeItem *each = typeItem(KExportTypeItem::EachPage);
    KExportTypeItem *longItem = typeItem(KExportTypeItem::LongPicture);
    each->setVisible(m_component.offersEachPage);
    if (!kexportdlg::offersLongPicture(m_pageCount) && m_component.offersEachPage) {
        longItem->setEnabled(false);
        longItem->setToolTip(tr("can't combine to long picture because of only one page in the document"));
        m_longPicture = false;
    }
    (m_longPicture || !m_component.offersEachPage ? longItem : each)->setChecked(true);
    m_marginsLink = new KExportLabel(tr("Margins Setting"), row);
    m_marginsLink->setCursor(Qt::PointingHandCursor);
    m_marginsLink->setFixedHeight(scaled(20));
    m_marginsLink->setFont(uiFont(12));
    layout->addWidget(m_marginsLink, 0, Qt::AlignBottom);
    layout->addStretch();
    connect(m_marginsLink, &KExportLabel::clicked, this, &KExportPictureClientWidget::onMarginsSettingClicked);
    connect(m_typeGroup, QOverload<QAbstractButton *>::of(&QButtonGroup::buttonClicked), this,
            &KExportPictureClientWidget::onExportTypeItemClicked);
    return row;
}

QWidget *KExportPictureClientWidget::buildWatermarkRow()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(scaled(8));
    m_watermarkGroup = new QButtonGroup(this);
    const QString texts[] = {tr("no watermark"), tr("custom watermark"), tr("default watermark")};
    for (int i = 0; i < 3; ++i) {
        auto *radio = new KRadioItem(i, texts[i], row);
        m_watermarkGroup->addButton(radio, i);
        layout->addWidget(radio);
    }
    layout->addStretch();
    watermarkRadio(0)->setChecked(true);
    connect(m_watermarkGroup, QOverload<QAbstractButton *>::of(&QButtonGroup::buttonClicked), this,
            &KExportPictureClientWidget::onWatermarkItemClicked);
    return row;
}

QWidget *KExportPictureClientWidget::buildPageRow()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(scaled(8));
    m_pageGroup = new QButtonGroup(this);
    auto *all = new KRadioItem(0, tr("all page"), row);
    m_rangeRadio = new KRadioItem(1, tr("range page"), row);
    m_pageGroup->addButton(all, 0);
    m_pageGroup->addButton(m_rangeRadio, 1);
    all->setChecked(true);
    m_rangeEdit = new KRangeLineEdit(m_pageCount, row);
    m_rangeEdit->setFixedSize(scaled(98), scaled(24));
    m_rangeEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9,-]*")), m_rangeEdit));
    m_rangeEdit->setPlaceholderText(tr("example:1,3,5-10..."));
    m_rangeEdit->setTextMargins(scaled(10), 0, scaled(10), 0);
    layout->addWidget(all);
    layout->addWidget(m_rangeRadio);
    layout->addWidget(m_rangeEdit);
    layout->addStretch();
    connect(m_pageGroup, QOverload<QAbstractButton *>::of(&QButtonGroup::buttonClicked), this,
            &KExportPictureClientWidget::onPageItemClicked);
    connect(m_rangeEdit, &KRangeLineEdit::validChanged, this, &KExportPictureClientWidget::onPageEditValidChanged);
    return row;
}

void KExportPictureClientWidget::buildCombos(QGridLayout *grid, int row)
{
    m_formatCombo = new KExportComboBox(this);
    m_formatCombo->setFixedSize(scaled(310), scaled(36));
    for (KPhotoFormatComboBoxItem *item : KPhotoFormatComboBoxItem::standardItems())
        m_formatCombo->addItem(item);
    m_formatCombo->setCurrentRow(m_formatIndex);
    m_qualityCombo = new KExportComboBox(this);
    m_qualityCombo->setFixedSize(scaled(310), scaled(36));
    grid->addWidget(caption(tr("Format")), row, 0);
    grid->addWidget(m_formatCombo, row, 1, Qt::AlignLeft);
    grid->addWidget(caption(tr("Qulity")), row + 1, 0);
    grid->addWidget(m_qualityCombo, row + 1, 1, Qt::AlignLeft);
    connect(m_formatCombo, &KExportComboBox::currentRowChanged, this, &KExportPictureClientWidget::onCurrentIndexChanged);
    connect(m_qualityCombo, &KExportComboBox::currentRowChanged, this,
            &KExportPictureClientWidget::onCurrentIndexChanged);
}

void KExportPictureClientWidget::buildControls()
{
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(scaled(12));
    grid->setVerticalSpacing(scaled(16));
    grid->addWidget(caption(tr("exprot type")), 0, 0, Qt::AlignTop);
    grid->addWidget(buildTypeRow(), 0, 1);
    grid->addWidget(caption(tr("Watermark Setting")), 1, 0);
    grid->addWidget(buildWatermarkRow(), 1, 1);
    grid->addWidget(caption(tr("Page Setting")), 2, 0);
    grid->addWidget(buildPageRow(), 2, 1);
    buildCombos(grid, 3);
    m_pathEdit = new KExportLineEdit(this);
    m_pathEdit->setFixedSize(scaled(306), scaled(32));
    grid->addWidget(caption(tr("Export Path")), 5, 0);
    grid->addWidget(m_pathEdit, 5, 1, Qt::AlignLeft);
    connect(m_pathEdit, &KExportLineEdit::selectPathFinished, this, &KExportPictureClientWidget::onUpdateSaveToEdit);
    m_backup = kexportdlgshared::makeBackupBox(this);
    const bool cloud = m_backup->isEnabled();
    m_backup->setChecked(cloud && m_backupWanted);
    grid->addWidget(m_backup, 6, 1);
    grid->setRowStretch(7, 1);

    m_preview = new KPreviewPage(this);
    m_preview->setFixedSize(scaled(260), scaled(368));
    m_exportButton = new KExportButton(tr("Export"), QStringLiteral("#6E9BEF;#9DC1FC;#5378C9"),
                                       QStringLiteral("#6E9BEF;#9DC1FC;#5378C9"), QStringLiteral("#FFFFFF"), this);
    m_exportButton->setFixedSize(scaled(98), scaled(40));
    m_exportButton->setFont(uiFont(16));
    connect(m_exportButton, &QPushButton::clicked, this, &KExportPictureClientWidget::onExportBtnClicked);
    m_editWatermark = KExportButton::outlined(tr("Edit Watermark"), this);
    m_editWatermark->setFixedSize(scaled(88), scaled(30));
    m_editWatermark->setShadow(true);
    connect(m_editWatermark, &QPushButton::clicked, this, &KExportPictureClientWidget::onWatermarSettingClicked);
    connect(m_preview, &KPreviewPage::previewUpdated, this, &KExportPictureClientWidget::placeEditWatermarkButton);

    auto *top = new QHBoxLayout;
    top->setSpacing(scaled(24));
    top->addLayout(grid, 1);
    top->addWidget(m_preview, 0, Qt::AlignTop);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(m_exportButton);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(scaled(24), scaled(16), scaled(24), scaled(20));
    outer->setSpacing(scaled(16));
    outer->addLayout(top, 1);
    outer->addLayout(bottom);
    m_pathEdit->lineEdit()->setFocus();
}

void KExportPictureClientWidget::placeEditWatermarkButton()
{
    if (!m_editWatermark || !m_preview)
        return;
    const QRect r = m_preview->geometry();
    m_editWatermark->move(r.center().x() - m_editWatermark->width() / 2,
                          r.bottom() - scaled(50) - m_editWatermark->height() / 2);
    m_editWatermark->raise();
}

void KExportPictureClientWidget::updateMarginsLink()
{
    m_marginsLink->setVisible(kexportdlg::marginsLinkVisible(m_component, m_longPicture));
}

void KExportPictureClientWidget::updatePageControls()
{
    m_rangeRadio->setVisible(kexportdlg::offersPageRange(m_component, m_pageCount));
    const bool range = m_rangeRadio->isChecked() && m_pageChoice == 1 && !m_rangeRadio->isHidden();
    m_rangeEdit->setVisible(range);
    m_exportButton->setEnabled(!range || m_rangeEdit->isValid());
}

void KExportPictureClientWidget::fillQualityCombo()
{
    const QList<int> wanted = kexportdlg::refilledQualities(qualityRows(), kexportdlg::highestQualityIndex(m_component, m_longPicture));
    const QSignalBlocker block(m_qualityCombo);
    for (int row = m_qualityCombo->count() - 1; row >= 0; --row) {
        if (!wanted.contains(m_qualityCombo->item(row)->value().toInt()))
            delete m_qualityCombo->listWidget()->takeItem(row);
    }
    for (int q = m_qualityCombo->count(); q < wanted.size(); ++q)
        m_qualityCombo->addItem(new KPhotoQualityComboBoxItem(KPhotoQualityComboBoxItem::PhotoQuality(wanted.at(q))));
    const int current = qualityRows().indexOf(m_qualityIndex);
    m_qualityCombo->setCurrentRow(current >= 0 ? current : std::min(1, m_qualityCombo->count() - 1));
    m_qualityIndex = m_qualityCombo->currentItem() ? m_qualityCombo->currentItem()->value().toInt() : 0;
}

QString KExportPictureClientWidget::formatSuffix() const
{
    return kexportdlgshared::formatSuffix(m_formatIndex);
}

bool KExportPictureClientWidget::writesSingleFile() const
{
    return m_component.writesSingleFile(m_longPicture);
}

void KExportPictureClientWidget::updateOutputPath(const QString &chosenFolder)
{
    const QString folder = kexportdlg::outputFolder(
        {chosenFolder, m_pathEdit->text(), KExportPaths::defaultOutputFolder(), m_outputPath, m_documentPath});
    const QString name = KExportRules::baseName(KExportPaths::documentName(), m_component, QDateTime::currentDateTime());
    m_pathEdit->setText(folder + QStringLiteral("%1.%2").arg(name, formatSuffix()));
}

void KExportPictureClientWidget::followLongPolicy()
{
    if (m_watermarkChoice != 1)
        m_options.watermark.setPolicy(m_longPicture ? WatermarkPolicyTile : WatermarkPolicyCenter);
}

void KExportPictureClientWidget::applyWatermarkChoice()
{
    WatermarkSetting &w = m_options.watermark;
    if (m_watermarkChoice == 1) {
        const WatermarkSetting stored = KExportPictrueMgr::instance()->customWatermark();
        w = stored;
    } else {
        w.setStyle(m_watermarkChoice == 2 ? WatermarkStylePicture : WatermarkStyleNone);
    }
    m_options.watermarkOn = m_watermarkChoice != 0;
    m_editWatermark->show();
    followLongPolicy();
}

void KExportPictureClientWidget::setDefaultWatermarkPicture()
{
    if (m_watermarkChoice != 1)
        m_options.watermark.setPicture(loadDefaultWatermarkPicture(m_component, m_longPicture));
}

void KExportPictureClientWidget::refreshPdfPreview()
{
    // A PDF's preview is drawn on the spot; others keep theirs.
    if (!m_component.longPictureInParts)
        return;
    const QImage page = m_manager->previewImage();
    if (!page.isNull())
        m_previewPicture = page;
    m_preview->setPageImage(m_previewPicture);
}

void KExportPictureClientWidget::onExportTypeItemClicked(QAbstractButton *item)
{
    auto *type = qobject_cast<KExportTypeItem *>(item);
    if (!type)
        return;
    const bool wasLong = m_longPicture;
    m_longPicture = type->type() == KExportTypeItem::LongPicture;
    if (!wasLong && m_longPicture)
        m_eachPageQuality = m_qualityIndex;
    fillQualityCombo();
    // The quality given up for a long picture comes back with one picture per page.
    if (wasLong && !m_longPicture && qualityRows().contains(m_eachPageQuality)) {
        m_qualityIndex = m_eachPageQuality;
        m_qualityCombo->setCurrentRow(qualityRows().indexOf(m_qualityIndex));
    }
    updateMarginsLink();
    updateOutputPath(QString());
    setDefaultWatermarkPicture();
    refreshPdfPreview();
    followLongPolicy();
    m_preview->setWatermark(m_options.watermark);
}

void KExportPictureClientWidget::onWatermarkItemClicked(QAbstractButton *radio)
{
    auto *item = qobject_cast<KRadioItem *>(radio);
    if (!item)
        return;
    m_watermarkChoice = item->data().toInt();
    applyWatermarkChoice();
    setDefaultWatermarkPicture();
    refreshPdfPreview();
    m_preview->setWatermark(m_options.watermark);
}

void KExportPictureClientWidget::onWatermarSettingClicked()
{
    QImage page = m_previewPicture;
    if (m_component.longPictureInParts) {
        const QImage fresh = m_manager->previewImage();
        if (!fresh.isNull())
            page = fresh;
    }
    auto *dialog = new KWatermarkOptionDlg(m_dialog, page);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &KOptionFrameDialog::finished, this, &KExportPictureClientWidget::onWatermarkSettingFinished);
    dialog->show();
    sendExportEvent(QStringLiteral("wndshow"), {{QStringLiteral("type"), QStringLiteral("watermark")},
                                                {QStringLiteral("doc_type"), QCoreApplication::applicationName()}});
    if (KRadioItem *custom = watermarkRadio(1))
        custom->click();
}

void KExportPictureClientWidget::onWatermarkSettingFinished(int result)
{
    if (result != 1)
        return;
    m_options.watermark = KExportPictrueMgr::instance()->customWatermark();
    m_options.watermarkOn = true;
    m_preview->setPageImage(m_previewPicture);
    m_preview->setWatermark(m_options.watermark);
}

void KExportPictureClientWidget::onMarginsSettingClicked()
{
    if (!m_marginsDlg) {
        m_marginsDlg = new KMarginsOptionDlg(m_dialog, m_component.offersPageGap);
        connect(m_marginsDlg.data(), &KOptionFrameDialog::finished, this, &KExportPictureClientWidget::onMarginsSettingFinished);
    }
    m_marginsDlg->show();
    sendExportEvent(QStringLiteral("wndshow"), {{QStringLiteral("type"), QStringLiteral("margin")},
                                                {QStringLiteral("doc_type"), QCoreApplication::applicationName()}});
}

void KExportPictureClientWidget::onMarginsSettingFinished(int result)
{
    if (result != 1 || !m_marginsDlg)
        return;
    const QVector<int> m = m_marginsDlg->margins();
    m_options.spacingLeft = m.value(0);
    m_options.firstPageTop = m.value(1);
    m_options.spacingRight = m.value(2);
    m_options.lastPageBottom = m.value(3);
    m_options.pageGap = m_marginsDlg->pageSpacing();
}

void KExportPictureClientWidget::onPageItemClicked(QAbstractButton *radio)
{
    auto *item = qobject_cast<KRadioItem *>(radio);
    if (!item)
        return;
    m_pageChoice = item->data().toInt();
    updatePageControls();
}

void KExportPictureClientWidget::onPageEditValidChanged(bool valid)
{
    m_exportButton->setEnabled(valid);
}

void KExportPictureClientWidget::onCurrentIndexChanged(int index)
{
    if (sender() == m_formatCombo) {
        if (IExportComboBoxItem *item = m_formatCombo->item(index)) {
            m_formatIndex = item->value().toInt();
            updateOutputPath(QString());
        }
    } else if (sender() == m_qualityCombo) {
        if (IExportComboBoxItem *item = m_qualityCombo->item(index))
            m_qualityIndex = item->value().toInt();
    }
}

void KExportPictureClientWidget::onUpdateSaveToEdit(QString &path)
{
    updateOutputPath(path);
    if (!path.isEmpty())
        m_outputPath = path;
}

void KExportPictureClientWidget::sendChoiceEvent(const char *name, bool success, const QString &pageCount)
{
    const kexportdlg::EventChoices c{m_watermarkChoice, m_longPicture, formatSuffix(), m_qualityIndex,
                                     m_backup->isChecked(), m_pageChoice == 1 && m_rangeEdit->isVisible()};
    const bool end = qstrcmp(name, "end") == 0;
    sendExportEvent(QLatin1String(name),
                    end ? kexportdlg::endEventFields(c, success, pageCount) : kexportdlg::beginEventFields(c));
}

void KExportPictureClientWidget::sendEndEvents(bool success, const QString &pageCount)
{
    sendChoiceEvent("end", success, pageCount);
    if (m_watermarkChoice != 1)
        return;
    const WatermarkSetting &w = m_options.watermark;
    sendExportEvent(QStringLiteral("watermark"), {{QStringLiteral("style"), watermarkStyleLabel(w.style())},
                                                  {QStringLiteral("angle"), QString::number(w.rotate())},
                                                  {QStringLiteral("size"), watermarkSizeLabel(w.size())},
                                                  {QStringLiteral("opacity"), QString::number(w.opacity())},
                                                  {QStringLiteral("policy"), watermarkPolicyLabel(w.policy())}});
}

void KExportPictureClientWidget::onExportBtnClicked()
{
    ensureInitialised();
    // The first preview of a writer document runs as an export; this one follows it.
    if (m_previewRunning) {
        m_exportAfterPreview = true;
        return;
    }
    sendChoiceEvent("begin");
    m_options.pages.clear();
    if (!m_rangeEdit->isHidden() && m_rangeEdit->isValid())
        m_options.pages = m_rangeEdit->ranges();
    if (!passesLongPictureLimit())
        return;
    QString path = m_pathEdit->text();
    if (!KExportPaths::validatePath(path, writesSingleFile(), m_dialog))
        return;
    m_pathEdit->setText(path);
    startExport(path);
}

bool KExportPictureClientWidget::passesLongPictureLimit()
{
    if (!m_longPicture)
        return true;
    if (m_component.longPictureInParts)
        return passesPdfHeightLimit();
    const qint64 count = m_options.pages.isEmpty() ? m_pageCount : countDistinctPages(m_options.pages);
    const KExportRules::Refusal r =
        KExportRules::longPageLimit(m_component, kexportdlg::dpiForQualityIndex(m_qualityIndex), count);
    if (!r.isSet())
        return true;
    tips(r.title, r.message, KTipsDialog::OkButton);
    return false;
}

bool KExportPictureClientWidget::passesPdfHeightLimit()
{
    return kexportdlgshared::confirmPdfHeight(m_dialog ? static_cast<QWidget *>(m_dialog) : this, m_manager, m_pageCount,
                                              m_options);
}

void KExportPictureClientWidget::startExport(const QString &outputPath)
{
    m_cancelled = false;
    m_options.longPicture = m_longPicture;
    m_options.suffix = formatSuffix();
    m_options.dpi = kexportdlg::dpiForQualityIndex(m_qualityIndex);
    m_options.watermark.setScale(std::max(1, m_options.dpi / 96));
    kexportdlgshared::prepareOptions(m_options, outputPath, writesSingleFile(), m_component,
                                     m_dialog ? m_dialog->hostWindow() : nullptr);
    m_manager->startExport(m_options);
    m_options.watermark.setScale(1);
}

void KExportPictureClientWidget::exportPreviewPage()
{
    if (!m_manager || m_manager->isBusy())
        return;
    if (m_component.preparesWriterDocument && !m_options.exportInCaller) {
        KxMainWindow *host = m_dialog ? m_dialog->hostWindow() : nullptr;
        kdocumentaccess::prepareWriterExport(host);
        if (!kdocumentaccess::writerRendersInCaller(host)) {
            ExportImageOptions preview;
            preview.preview = true;
            m_previewRunning = m_manager->startExport(preview);
            hideExportTips();
            return;
        }
    }
    QVariantMap info;
    info.insert(QStringLiteral("isPreivewPage"), true);
    info.insert(QStringLiteral("previewimage"), m_manager->previewImage());
    onExportFinished(KExportImageTask::Success, info);
}

bool KExportPictureClientWidget::confirmSheetAreaLimit()
{
    auto pop = [](const char *action) {
        sendExportEvent(QStringLiteral("pop"), {{QStringLiteral("type"), QStringLiteral("output_limit")},
                                                {QStringLiteral("action"), QLatin1String(action)}});
    };
    pop("show");
    const int answer = tips(tr("Export Limit"),
                            tr("Picture length and width product exceeds 10000*10000, continue output may cause "
                               "picture output incomplete; can be output by the following method:"),
                            KTipsDialog::ContinueOutputButton | KTipsDialog::CancelOutputButton);
    const bool go = answer == KTipsDialog::ResultContinueOutput;
    pop(go ? "yes" : "cancel");
    return go;
}

void KExportPictureClientWidget::onExportFinished(const KExportImageTask::ExitCode exitCode, const QVariantMap exitInfo)
{
    if (m_previewRunning || exitInfo.value(QStringLiteral("isPreivewPage")).toBool()) {
        m_previewRunning = false;
        if (m_exportAfterPreview) {
            m_exportAfterPreview = false;
            QTimer::singleShot(0, this, &KExportPictureClientWidget::onExportBtnClicked);
        }
        const QImage picture = exitInfo.value(QStringLiteral("previewimage")).value<QImage>();
        if (!picture.isNull())
            m_previewPicture = picture;
        m_preview->setPageImage(m_previewPicture);
        m_preview->setWatermark(m_options.watermark);
        return;
    }
    hideExportTips();
    const QString fileName = exitInfo.value(QStringLiteral("fileName")).toString();
    if (m_cancelled) {
        // A cancel that came too late for the task still leaves nothing behind.
        if (exitCode == KExportImageTask::Success)
            deleteExportFile(fileName);
        return;
    }
    if (exitCode == KExportImageTask::Canceled)
        return;
    sendEndEvents(exitCode == KExportImageTask::Success, exitInfo.value(QStringLiteral("pageCount")).toString());
    if (exitCode != KExportImageTask::Success) {
        tips(exitInfo.value(QStringLiteral("errTitle")).toString(), exitInfo.value(QStringLiteral("errMsg")).toString(),
             KTipsDialog::OkButton);
        return;
    }
    if (!m_component.offersEachPage && m_manager->areaTooLarge() && !confirmSheetAreaLimit()) {
        deleteExportFile(fileName);
        return;
    }
    if (m_backup->isChecked() && !fileName.isEmpty())
        uploadToCloud(fileName);
    showNormalTipsDlg(fileName);
}

void KExportPictureClientWidget::uploadToCloud(QString fileName)
{
    kexportdlgshared::uploadToCloud(fileName, writesSingleFile());
}

void KExportPictureClientWidget::showAdvertTipsDlg(QString fileName)
{
    showNormalTipsDlg(fileName);
}

void KExportPictureClientWidget::showNormalTipsDlg(QString fileName)
{
    const int answer = tips(tr("Export success"), tr("image outputed, open file or open output path to view!"),
                            KTipsDialog::OpenButton | KTipsDialog::OpenPathButton);
    if (answer == KTipsDialog::ResultOpen) {
        if (!fileName.isEmpty() && !kexportdlgshared::openPicture(fileName))
            kexportdlgshared::openUrl(QUrl::fromLocalFile(fileName));
    } else if (answer == KTipsDialog::ResultOpenPath) {
        if (!fileName.isEmpty())
            kexportdlgshared::openUrl(QUrl::fromLocalFile(QFileInfo(fileName).absolutePath()));
    } else {
        return;
    }
    if (m_dialog)
        m_dialog->close();
}

void KExportPictureClientWidget::deleteExportFile(QString fileName)
{
    kexportdlg::deleteExportOutput(fileName, writesSingleFile(), m_options.outputDir);
}

void KExportPictureClientWidget::onCancelExport()
{
    m_cancelled = true;
    m_manager->cancel();
}

void KExportPictureClientWidget::showExportTips()
{
    if (!m_loadingTips)
        return;
    m_loadingTips->setText(KExportLoadingTips::waitText());
    m_loadingTips->showCentredOn(m_dialog ? static_cast<QWidget *>(m_dialog) : this);
}

void KExportPictureClientWidget::hideExportTips()
{
    if (m_loadingTips)
        m_loadingTips->hide();
}

KExportPictureDlg::KExportPictureDlg(QWidget *parent, const QString &entry, const QString &savePath, int formatIndex)
    : KAppMainWindow(parent)
    , m_entry(entry)
    , m_savePath(savePath)
    , m_formatIndex(formatIndex)
{
    KExportPictrueMgr::instance();
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(KExportPictrueMgr::instance()->icon(QStringLiteral("logo")));
    setWindowTitle(tr("Export picture"));
    setResizable(false);
    resize(scaled(780), scaled(500));
}

KExportPictureClientWidget *KExportPictureDlg::client() const
{
    return qobject_cast<KExportPictureClientWidget *>(clientWidget());
}

void KExportPictureDlg::afterInitUi()
{
    KAppMainWindow::afterInitUi();
    if (titleBar())
        titleBar()->setProperty(KDrawHelper::ObjectThemeClassName, QStringLiteral("KTavroTitleBar"));
}

KFrameClientWidget *KExportPictureDlg::createClientWidget()
{
    return new KExportPictureClientWidget(this, this);
}
