#include "tscheck.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>

namespace tscheck {

namespace {

struct Message
{
    QString context;
    QString source;
    QStringList translations; // one, or one per plural form
    QString type;             // "unfinished", "obsolete", "vanished" or empty
};

QString quoted(const QString &text)
{
    QString shown = text;
    shown.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

QString describe(const Message &m, const QString &what)
{
    return QStringLiteral("context %1: %2 %3").arg(quoted(m.context), quoted(m.source), what);
}

void checkMessage(const Message &m, Report &report)
{
    if (m.type == QLatin1String("obsolete") || m.type == QLatin1String("vanished"))
        return;
    ++report.messages;
    if (m.type == QLatin1String("unfinished")) {
        report.problems.append(describe(m, QStringLiteral("has no finished translation")));
        return;
    }
    if (m.translations.isEmpty()) {
        report.problems.append(describe(m, QStringLiteral("has no translation")));
        return;
    }
    const QStringList wanted = placeholders(m.source);
    for (const QString &t : m.translations) {
        if (t.trimmed().isEmpty()) {
            report.problems.append(describe(m, QStringLiteral("has an empty translation")));
        } else if (placeholders(t) != wanted) {
            report.problems.append(describe(m, QStringLiteral("has placeholders %1 but its translation %2 has %3")
                                                   .arg(wanted.join(QLatin1Char(' ')), quoted(t),
                                                        placeholders(t).join(QLatin1Char(' ')))));
        } else if (hasAccelerator(m.source) && !hasAccelerator(t)) {
            report.problems.append(describe(m, QStringLiteral("lost its accelerator in %1").arg(quoted(t))));
        }
    }
}

// <translation> holds text, or <numerusform> children for plural forms.
QStringList readTranslation(QXmlStreamReader &xml, QString *type)
{
    *type = xml.attributes().value(QLatin1String("type")).toString();
    QStringList forms;
    QString text;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("numerusform"))
            forms.append(xml.readElementText());
        else if (xml.isCharacters())
            text += xml.text();
        else if (xml.isEndElement() && xml.name() == QLatin1String("translation"))
            break;
    }
    return forms.isEmpty() ? QStringList{text} : forms;
}

Message readMessage(QXmlStreamReader &xml, const QString &context)
{
    Message m;
    m.context = context;
    bool translated = false;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("source")) {
            m.source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            m.translations = readTranslation(xml, &m.type);
            translated = true;
        } else {
            xml.skipCurrentElement();
        }
    }
    if (!translated)
        m.translations.clear();
    return m;
}

} // namespace

QStringList placeholders(const QString &text)
{
    static const QRegularExpression marker(QStringLiteral("%(\\d{1,2})"));
    QStringList found;
    for (auto it = marker.globalMatch(text); it.hasNext();) {
        const QString p = QLatin1Char('%') + it.next().captured(1);
        if (!found.contains(p))
            found.append(p);
    }
    std::sort(found.begin(), found.end(), [](const QString &a, const QString &b) { return a.mid(1).toInt() < b.mid(1).toInt(); });
    return found;
}

bool hasAccelerator(const QString &text)
{
    static const QRegularExpression accel(QStringLiteral("(^|[^&])&(?!&)(?![A-Za-z]+;|#\\d+;)\\w"));
    return accel.match(text).hasMatch();
}

Report checkText(const QByteArray &tsXml)
{
    Report report;
    QXmlStreamReader xml(tsXml);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("TS")) {
        report.readError = QStringLiteral("not a translation file (no <TS> root)");
        return report;
    }
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("context")) {
            xml.skipCurrentElement();
            continue;
        }
        QString context;
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("name"))
                context = xml.readElementText();
            else if (xml.name() == QLatin1String("message"))
                checkMessage(readMessage(xml, context), report);
            else
                xml.skipCurrentElement();
        }
    }
    if (xml.hasError())
        report.readError = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
    return report;
}

Report checkFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Report report;
        report.readError = file.errorString();
        return report;
    }
    return checkText(file.readAll());
}

} // namespace tscheck
