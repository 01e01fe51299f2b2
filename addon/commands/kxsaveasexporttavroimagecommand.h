#pragma once

#include "kxexporttavroimagecommand.h"

#include <functional>

class QWidget;

// The Save-As list's picture entry: asks where to write, has the legacy picture made and
// writes it in the chosen format.
class KxSaveAsExportTavroImageCommand : public KxExportTavroImageCommand
{
    Q_OBJECT
public:
    KxSaveAsExportTavroImageCommand(KxMainWindow *host, const QVariant &argument);

    // As the export entry; when visible, enabled only while the active document may be saved.
    void update() override;
    KCommand *clone(QObject *host, const QVariant &argument) const override;

    // Writes the picture at source to target in the MIME type's format at the best quality;
    // a failure leaves no target behind and keeps an existing one.
    static bool convertPicture(const QString &source, const QString &target, const QString &mimeType);

    // The question that asks for the target (path, MIME type, whether to skip the closing
    // message); the Save-As picture dialog unless replaced (tests). Returns false when cancelled.
    using TargetQuestion = std::function<bool(QWidget *parent, QString *path, QString *mimeType, bool *quiet)>;
    static void setTargetQuestion(TargetQuestion question);

protected:
    void onTriggered() override;

private:
    void showDone(const QString &target);
};
