#pragma once

#include <QString>
#include <QStringList>

// Reads a Qt Linguist file and lists what a release would show the user untranslated or
// broken: unfinished or empty translations, placeholders (%1 ...) lost or invented, a lost
// keyboard accelerator. Obsolete and vanished entries are ignored.
namespace tscheck {

struct Report
{
    int messages = 0;      // entries checked
    QStringList problems;  // one line each, naming the context and the source text
    QString readError;     // set when the file is not a readable .ts file
    bool ok() const { return readError.isEmpty() && problems.isEmpty(); }
};

Report checkText(const QByteArray &tsXml);
Report checkFile(const QString &path);

// The placeholders "%1".."%99" of a text, sorted and without repeats.
QStringList placeholders(const QString &text);
// Whether a text marks a keyboard accelerator ("&O", not "&&" nor an entity like "&amp;").
bool hasAccelerator(const QString &text);

} // namespace tscheck
