#include "kwritercommands.h"

#include <khostcommands.h>
#include <kwriterdocument.h>
#include <kxmainwindow.h>

#include <QFileDialog>
#include <QImageReader>
#include <QVariant>

namespace {

kwritercommands::PictureChooser &chooser()
{
    static kwritercommands::PictureChooser instance;
    return instance;
}

QString askForPicture(QWidget *parent)
{
    if (chooser())
        return chooser()(parent);
    QStringList patterns;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        patterns.append(QStringLiteral("*.") + QString::fromLatin1(format));
    return QFileDialog::getOpenFileName(parent, QObject::tr("Insert Picture"), QString(),
                                        QObject::tr("Pictures (%1)").arg(patterns.join(QLatin1Char(' '))));
}

bool insertPictureFromFile(QObject *host, const QVariant &argument)
{
    auto *window = qobject_cast<KxMainWindow *>(host);
    if (!window)
        return false;
    KComPtr<IKUnknown> document(window->getActiveCoreView());
    const KComPtr<IKWriterEditing> editing = document.query<IKWriterEditing>();
    if (!editing)
        return false;
    const QString path = argument.toString().isEmpty() ? askForPicture(window) : argument.toString();
    return !path.isEmpty() && kSucceeded(editing->insertPicture(path));
}

} // namespace

void kwritercommands::install()
{
    KHostCommands::add(QStringLiteral("InsertPictureFromFile"), insertPictureFromFile);
}

void kwritercommands::setPictureChooser(PictureChooser picker)
{
    chooser() = std::move(picker);
}
