#pragma once

#include <exportimageoptions.h>
#include <kappmainwindow.h>
#include "kexportdlgshared.h"
#include <kexportcomponent.h>
#include <kexportimagetask.h>
#include <kexportloadingtips.h>
#include <kmarginsoptiondlg.h>

#include <QImage>
#include <QPointer>
#include <QUrl>

#include <functional>

class KExportButton;
class KExportComboBox;
class KExportImageMgr;
class KExportLabel;
class KExportLineEdit;
class KExportPictureDlg;
class KExportTypeItem;
class KPreviewPage;
class KRadioItem;
class KRangeLineEdit;
class KxMainWindow;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QLabel;

// The controls of the export picture dialog; owns the export manager and the loading tip.
class KExportPictureClientWidget : public KAppClientWidget
{
    Q_OBJECT
public:
    // Shared by both export dialogs.
    using Hooks = KExportDialogHooks;
    static void setHooks(const Hooks &hooks);

    KExportPictureClientWidget(KExportPictureDlg *dialog, QWidget *parent = nullptr);
    ~KExportPictureClientWidget() override;

    KExportImageMgr *manager() const { return m_manager; }
    KExportLoadingTips *loadingTips() const { return m_loadingTips; }
    const ExportImageOptions &options() const { return m_options; }
    bool isLongPicture() const { return m_longPicture; }
    bool isInitialised() const { return m_initialised; }
    bool isPreviewRunning() const { return m_previewRunning; }
    int pageCount() const { return m_pageCount; }

    KExportTypeItem *typeItem(int type) const;
    KRadioItem *watermarkRadio(int choice) const;
    KRadioItem *pageRadio(int choice) const;
    KRangeLineEdit *rangeEdit() const { return m_rangeEdit; }
    KExportComboBox *formatCombo() const { return m_formatCombo; }
    KExportComboBox *qualityCombo() const { return m_qualityCombo; }
    KExportLineEdit *pathEdit() const { return m_pathEdit; }
    KExportLabel *marginsLink() const { return m_marginsLink; }
    KExportButton *exportButton() const { return m_exportButton; }
    KExportButton *editWatermarkButton() const { return m_editWatermark; }
    QCheckBox *backupCheckBox() const { return m_backup; }
    KPreviewPage *preview() const { return m_preview; }
    QImage previewPicture() const { return m_previewPicture; }
    // The quality indexes the quality list holds, top to bottom.
    QList<int> qualityRows() const;

    // The one-time set-up; runs on the first show, tests may run it earlier.
    void ensureInitialised();

public slots:
    void onMarginsSettingClicked();
    void onMarginsSettingFinished(int result);
    void onWatermarSettingClicked();
    void onWatermarkSettingFinished(int result);
    void onExportTypeItemClicked(QAbstractButton *item);
    void onWatermarkItemClicked(QAbstractButton *radio);
    void onPageItemClicked(QAbstractButton *radio);
    void onPageEditValidChanged(bool valid);
    void onCurrentIndexChanged(int index);
    void onUpdateSaveToEdit(QString &path);
    void onExportBtnClicked();
    void onExportFinished(const KExportImageTask::ExitCode exitCode, const QVariantMap exitInfo);
    void deleteExportFile(QString fileName);
    void onCancelExport();
    void showAdvertTipsDlg(QString fileName);
    void showNormalTipsDlg(QString fileName);
    void uploadToCloud(QString fileName);
    void exportPreviewPage();
    void showExportTips();
    void hideExportTips();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildControls();
    QLabel *caption(const QString &text);
    QWidget *buildTypeRow();
    QWidget *buildWatermarkRow();
    QWidget *buildPageRow();
    void buildCombos(QGridLayout *grid, int row);
    void updateMarginsLink();
    void updatePageControls();
    void fillQualityCombo();
    void updateOutputPath(const QString &chosenFolder);
    void applyWatermarkChoice();
    void setDefaultWatermarkPicture();
    void followLongPolicy();
    void placeEditWatermarkButton();
    void refreshPdfPreview();
    bool passesLongPictureLimit();
    bool passesPdfHeightLimit();
    void startExport(const QString &outputPath);
    bool confirmSheetAreaLimit();
    QString formatSuffix() const;
    bool writesSingleFile() const;
    int tips(const QString &title, const QString &text, int buttons);
    void sendEndEvents(bool success, const QString &pageCount);
    void sendChoiceEvent(const char *name, bool success = false, const QString &pageCount = QString());

    KExportPictureDlg *m_dialog;
    const KExportComponent &m_component;
    bool m_initialised = false;
    bool m_cancelled = false;
    bool m_previewRunning = false;
    bool m_exportAfterPreview = false;
    KExportComboBox *m_formatCombo = nullptr;
    KExportComboBox *m_qualityCombo = nullptr;
    KExportLabel *m_marginsLink = nullptr;
    KExportButton *m_editWatermark = nullptr;
    KExportLineEdit *m_pathEdit = nullptr;
    KPreviewPage *m_preview = nullptr;
    KRangeLineEdit *m_rangeEdit = nullptr;
    KRadioItem *m_rangeRadio = nullptr;
    KExportButton *m_exportButton = nullptr;
    QCheckBox *m_backup = nullptr;
    QPointer<KExportLoadingTips> m_loadingTips;
    KExportImageMgr *m_manager;
    QButtonGroup *m_typeGroup = nullptr;
    QButtonGroup *m_watermarkGroup = nullptr;
    QButtonGroup *m_pageGroup = nullptr;
    QPointer<KMarginsOptionDlg> m_marginsDlg;
    int m_watermarkChoice = 0;
    int m_pageChoice = 0;
    int m_formatIndex = 1;
    int m_qualityIndex = 1;
    int m_eachPageQuality = 1;
    int m_pageCount = 0;
    QString m_documentPath;
    QImage m_previewPicture;
    ExportImageOptions m_options;
    bool m_longPicture;
    int m_savedFormatIndex = -1;
    QString m_outputPath;
    bool m_backupWanted = false;
};

// The window in which the user sets up an export of the open document as pictures.
class KExportPictureDlg : public KAppMainWindow
{
    Q_OBJECT
public:
    // entry: "<component>_<entry point>"; savePath: the Save-As path the command was given;
    // formatIndex: the format that path's suffix names, or -1.
    KExportPictureDlg(QWidget *parent, const QString &entry, const QString &savePath = QString(),
                      int formatIndex = -1);

    QString entry() const { return m_entry; }
    QString savePath() const { return m_savePath; }
    int formatIndex() const { return m_formatIndex; }
    // The host window whose document is exported (writer documents are reached through it).
    void setHostWindow(KxMainWindow *window) { m_hostWindow = window; }
    KxMainWindow *hostWindow() const { return m_hostWindow; }
    KExportPictureClientWidget *client() const;

protected:
    void afterInitUi() override;
    KFrameClientWidget *createClientWidget() override;

private:
    QString m_entry;
    QString m_savePath;
    int m_formatIndex;
    KxMainWindow *m_hostWindow = nullptr;
};
