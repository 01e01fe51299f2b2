#include "ksaveasexportimagedialog.h"

#include <kexportpaths.h>
#include <klitestyle.h>

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString slashes(QString path)
{
    return path.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

QString nativeChooser(QWidget *parent)
{
    return QFileDialog::getSaveFileName(parent, KSaveAsExportImageDialog::tr("保存图片"),
                                        KSaveAsExportImageDialog::tr("tavro图片.jpg"),
                                        KSaveAsExportImageDialog::tr("JPEG 文件交换格式 (*.jpg);;可移植网络图形 (*.png);;"
                                                                     "图形交换格式(GIF) (*.gif);;Windows 位图 (*.bmp)"));
}

} // namespace

KSaveAsExportImageDialog::KSaveAsExportImageDialog(QWidget *parent)
    : QDialog(parent)
    , m_edit(new QLineEdit)
    , m_view(new QCheckBox(tr("导出图片后浏览")))
    , m_chooser(nativeChooser)
{
    setWindowTitle(tr("输出图片文件"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setStyleSheet(QStringLiteral("KSaveAsExportImageDialog{background:#EBF0F7;}"));
    m_edit->setText(slashes(KExportPaths::userProfile() + tr("\\tavro图片\\tavro图片.jpg")));
    m_view->setChecked(true);

    auto *group = new QGroupBox(tr("保存到"));
    auto *pathRow = new QHBoxLayout(group);
    pathRow->setSpacing(10);
    auto *browse = new QPushButton(tr("浏览..."));
    pathRow->addWidget(m_edit);
    pathRow->addWidget(browse);

    auto *ok = new QPushButton(tr("确定"));
    auto *cancel = new QPushButton(tr("取消"));
    ok->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->addWidget(m_view);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *column = new QVBoxLayout(this);
    column->addWidget(group);
    column->addSpacing(10);
    column->addLayout(buttons);
    const QSize hint = sizeHint();
    setFixedSize(std::max(hint.width(), KLiteStyle::dpiScaled(500)), hint.height());

    connect(browse, &QPushButton::clicked, this, &KSaveAsExportImageDialog::browseButtonClicked);
    connect(ok, &QPushButton::clicked, this, &KSaveAsExportImageDialog::okButtonClicked);
    connect(cancel, &QPushButton::clicked, this, &KSaveAsExportImageDialog::cancelButtonClicked);
}

int KSaveAsExportImageDialog::getSaveInfo(QWidget *parent, QString *path, QString *mimeType, bool *viewAfterExport)
{
    KSaveAsExportImageDialog dialog(parent);
    const int result = dialog.exec();
    dialog.copyAnswers(path, mimeType, viewAfterExport);
    return result;
}

void KSaveAsExportImageDialog::copyAnswers(QString *path, QString *mimeType, bool *viewAfterExport) const
{
    if (path)
        *path = m_path;
    if (mimeType)
        *mimeType = m_mimeType;
    if (viewAfterExport)
        *viewAfterExport = m_view->isChecked();
}

// By the last suffix: "report.v2.jpg" is a JPEG, not an unknown "v2.jpg".
QString KSaveAsExportImageDialog::mimeTypeFor(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("jpg"))
        return QStringLiteral("image/jpeg");
    if (suffix == QLatin1String("gif") || suffix == QLatin1String("bmp") || suffix == QLatin1String("emf"))
        return QStringLiteral("image/") + suffix;
    return QStringLiteral("image/png");
}

bool KSaveAsExportImageDialog::viewAfterExport() const
{
    return m_view->isChecked();
}

void KSaveAsExportImageDialog::setFileChooser(FileChooser chooser)
{
    m_chooser = chooser ? std::move(chooser) : FileChooser(nativeChooser);
}

void KSaveAsExportImageDialog::browseButtonClicked()
{
    m_path = slashes(m_chooser(this));
    if (!m_path.isEmpty())
        m_edit->setText(m_path);
}

void KSaveAsExportImageDialog::okButtonClicked()
{
    m_path = m_edit->text();
    if (m_path.isEmpty()) {
        m_edit->setFocus();
        return;
    }
    m_mimeType = mimeTypeFor(m_path);
    accept();
}

void KSaveAsExportImageDialog::cancelButtonClicked()
{
    m_path.clear();
    m_mimeType.clear();
    reject();
}
