#pragma once

#include "kexportdlgrules.h"
#include "kexportdlgshared.h"

#include <exportimageoptions.h>
#include <kexportcombobox.h>
#include <kexportcomponent.h>
#include <kexportimagetask.h>
#include <kexportloadingtips.h>

#include <QDialog>
#include <QPointer>

#include <functional>

class KExportButton;
class KExportImageMgr;
class KExportLineEdit;
class KSimpleItem;
class KWatermarkLineEdit;
class KxMainWindow;
class QCheckBox;
class QGridLayout;
class QLabel;
class QPushButton;

// The export dialog of the smaller editions: the same export as the full dialog in a small,
// self-drawn window, with a plain text watermark instead of the watermark designer.
class KExportImageDialog : public QDialog
{
    Q_OBJECT
public:
    // What the dialog asks of the host beyond the export: the open document's own watermark
    // and the account's login window. Empty members keep the defaults (no document
    // watermark; no login window, as the substitute host has none).
    struct HostHooks
    {
        std::function<kexportdlg::DocumentWatermark()> documentWatermark;
        std::function<void(QWidget *parent)> login;
    };
    static void setHostHooks(const HostHooks &hooks);

    KExportImageDialog(QWidget *parent, const QString &componentName, const QString &entryName,
                       const QString &savePath = QString(), int formatIndex = 1);
    ~KExportImageDialog() override;

    // The host window whose document is exported (writer documents are reached through it).
    void setHostWindow(KxMainWindow *window);
    KExportImageMgr *manager() const { return m_manager; }
    KExportLoadingTips *loadingTips() const { return m_loadingTips; }
    const ExportImageOptions &options() const { return m_options; }
    int exportType() const { return m_exportType; }
    int pageCount() const { return m_pageCount; }
    KSimpleItem *typeItem(int type) const { return type == 0 ? m_eachItem : m_longItem; }
    KWatermarkLineEdit *watermarkEdit() const { return m_watermarkEdit; }
    KPhotoQualityComboBox *qualityCombo() const { return m_quality; }
    KExportComboBox *formatCombo() const { return m_formatCombo; }
    KExportLineEdit *pathEdit() const { return m_pathEdit; }
    KExportButton *exportButton() const { return m_exportButton; }
    QCheckBox *backupCheckBox() const { return m_backup; }
    QPushButton *closeButton() const { return m_close; }
    // Stops a running export, removing what it wrote, and closes once it has stopped.
    void cancelAndClose();

public slots:
    void onExoprtBtnClicked();
    void onLogin();
    void onUserInfoChange(int changecode);
    void onClose();
    void onDisconnected();
    void onLoginCancel();
    void onExportTypeItemClicked();
    void onFormatComboboxRowChanged(int currentRow);
    void onUpdateSaveToEdit(QString &path);
    void onCancelExport();
    void showExportTips();
    void onExportFinished(const KExportImageTask::ExitCode exitCode, const QVariantMap exitInfo);
    void onQualityComboBoxChanged(const KPhotoQualityComboBoxItem::PhotoQuality &quality);
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void connectManager();
    QWidget *buildTitleRow();
    QWidget *buildTypeRow();
    void buildChoiceRows(QGridLayout *grid);
    void buildSaveRows(QGridLayout *grid);
    QLabel *caption(const QString &text);
    void refreshPageCount();
    void fillQualityCombo();
    void updateOutputPath(const QString &chosenFolder);
    bool refuseWhileBusy();
    bool isLoggedIn() const;
    bool passesLongPictureLimit();
    void startExport(const QString &outputPath);
    void finishSuccess(const QString &fileName);
    void showNormalTipsDlg(const QString &fileName);
    bool writesSingleFile() const;
    QHash<QString, QString> eventFields(bool end, bool success, const QString &pageCount) const;

    const KExportComponent &m_component;
    QString m_componentName;
    QString m_entryName;
    QString m_savePath;
    KExportImageMgr *m_manager;
    QPointer<KExportLoadingTips> m_loadingTips;
    KxMainWindow *m_hostWindow = nullptr;
    KSimpleItem *m_eachItem = nullptr;
    KSimpleItem *m_longItem = nullptr;
    KWatermarkLineEdit *m_watermarkEdit = nullptr;
    KPhotoQualityComboBox *m_quality = nullptr;
    KExportComboBox *m_formatCombo = nullptr;
    KExportLineEdit *m_pathEdit = nullptr;
    KExportButton *m_exportButton = nullptr;
    QCheckBox *m_backup = nullptr;
    QPushButton *m_close = nullptr;
    kexportdlg::DocumentWatermark m_documentWatermark;
    ExportImageOptions m_options;
    int m_exportType = 1;
    int m_formatIndex = 1;
    int m_qualityIndex = 1;
    int m_pageCount = 0;
    bool m_cancelled = false;
    bool m_closeWhenStopped = false;
    QPoint m_dragOffset;
};
