#include "kxsaveasexporttavroimagecommand.h"

#include "kcommandsupport.h"
#include "ktavromodule.h"

#include <kexceptionguard.h>
#include <kpictureopen.h>
#include <ksaveasexportimagedialog.h>
#include <kshell.h>
#include <kxapplication.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>

namespace {
KxSaveAsExportTavroImageCommand::TargetQuestion &targetQuestion()
{
    static KxSaveAsExportTavroImageCommand::TargetQuestion question;
    return question;
}

bool askTarget(QWidget *parent, QString *path, QString *mimeType, bool *view)
{
    if (targetQuestion())
        return targetQuestion()(parent, path, mimeType, view);
    return KSaveAsExportImageDialog::getSaveInfo(parent, path, mimeType, view) == QDialog::Accepted;
}
} // namespace

KxSaveAsExportTavroImageCommand::KxSaveAsExportTavroImageCommand(KxMainWindow *host, const QVariant &argument)
    : KxExportTavroImageCommand(host, argument)
{
}

void KxSaveAsExportTavroImageCommand::update()
{
    KxExportTavroImageCommand::update();
    if (isVisible() && isEnabled())
        setEnabled(KMBUtils::IsActiveDocSaveable(KxApplication::coreApplication()));
}

KCommand *KxSaveAsExportTavroImageCommand::clone(QObject *host, const QVariant &argument) const
{
    return kcommandsupport::cloneOf(this, host, argument);
}

void KxSaveAsExportTavroImageCommand::setTargetQuestion(TargetQuestion question)
{
    targetQuestion() = std::move(question);
}

bool KxSaveAsExportTavroImageCommand::convertPicture(const QString &source, const QString &target, const QString &mimeType)
{
    const QList<QByteArray> formats = QImageWriter::imageFormatsForMimeType(mimeType.toLatin1());
    const QImage picture(source);
    if (formats.isEmpty() || picture.isNull())
        return false;
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&file, formats.first());
    writer.setQuality(100);
    if (!writer.write(picture))
        return false; // the save file is discarded: the target stays as it was
    return file.commit();
}

void KxSaveAsExportTavroImageCommand::onTriggered()
{
    KExceptionGuard guard("KxSaveAsExportTavroImageCommand");
    if (!KMBUtils::FireDocSaveAsEnable(KxApplication::coreApplication()) || !KTavroModule::ensureStarted())
        return;
    QString target;
    QString mimeType;
    bool view = false;
    if (!askTarget(mainWindow(), &target, &mimeType, &view) || target.isEmpty())
        return;
    QDir().mkpath(QFileInfo(target).absolutePath());
    if (!runTavroWindow(false, true) || !convertPicture(legacyImagePath(), target, mimeType))
        return; // no "done" message for a picture that was not written
    if (view)
        openWithPictureViewer(target);
    else
        showDone(target);
}

void KxSaveAsExportTavroImageCommand::showDone(const QString &target)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("tavro图片"),
                    QStringLiteral("tavro图片输出完毕，你可以打开导出目录进行浏览！"), QMessageBox::NoButton, mainWindow());
    QPushButton *open = box.addButton(QStringLiteral("打开目录(&O)"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("关闭(&C)"), QMessageBox::RejectRole);
    box.exec();
    if (box.clickedButton() == open)
        KShell::open(QDir::toNativeSeparators(QFileInfo(target).absolutePath()));
}
