#pragma once

#include <QString>
#include <QStringList>

// Opens an exported picture in the suite's picture viewer (the host's "brindlex view"),
// started as a process of its own that the add-on does not wait for. Posts the usage event
// "openphoto" with "result" "success" or "failed". Returns whether the viewer started.
bool openWithPictureViewer(const QString &file);

// The viewer's program and arguments for a file; the file goes as one argument, absolute,
// so no name can be taken for an option or split.
struct KPictureViewerCommand
{
    QString program;
    QStringList arguments;
};
KPictureViewerCommand pictureViewerCommand(const QString &file);
