#pragma once

#include "ktestdocuments.h"
#include "ktestmain.h"

#include <kdcinfo.h>
#include <kdocumentloader.h>
#include <kexportpaths.h>
#include <ktipsdialog.h>
#include <kxapplication.h>
#include <kxmainwindow.h>

#include <QPainter>
#include <QTemporaryDir>

#include <memory>

namespace ktest {

struct Tip
{
    QString title;
    QString text;
    int buttons;
};

enum Doc { Writer, Sheet, Pdf };

// Where the host registers the cloud service that backs exports up.
inline const QString kCloudKey =
    QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Classes\\CLSID\\{5FCD4425-CA3A-48F4-A57C-B8A75C32ACB1}");

// The last export event of that name ("vas_exportphoto_" + name), or no fields.
inline QHash<QString, QString> lastExportEvent(const QString &name)
{
    const QList<KDcEvent> events = KxApplication::coreApplication()->getDcInfo()->events();
    for (int i = events.size() - 1; i >= 0; --i) {
        if (events.at(i).name == QLatin1String("vas_exportphoto_") + name)
            return events.at(i).fields;
    }
    return {};
}

// Pictures and folders in a folder besides the document the test wrote there.
inline QStringList exportOutputs(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const char *doc : {"doc.html", "doc.pdf", "sheet.csv"})
        names.removeAll(QLatin1String(doc));
    return names;
}

// A picture of `image` with `widget` (a popup or an overlay) painted where it shows.
inline QImage withOverlay(QWidget *window, QImage image, QWidget *widget)
{
    QPainter p(&image);
    p.drawPixmap(widget->mapToGlobal(QPoint()) - window->mapToGlobal(QPoint()), widget->grab());
    return image;
}

// Saves a grab of a dialog state for a person to look at.
inline bool saveStateGrab(const QString &prefix, const char *state, const QImage &picture)
{
    const QString scale = QString::number(qEnvironmentVariableIntValue("QT_SCALE_FACTOR") > 1 ? 2 : 1);
    return !picture.isNull()
        && picture.save(artifactPath(QStringLiteral("%1-%2-x%3.png").arg(prefix, QLatin1String(state), scale)));
}

// The document, host window and answered tips of an export dialog test.
class ExportDialogFixture
{
protected:
    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_folder;
    std::unique_ptr<KxMainWindow> m_window;
    QList<Tip> m_tips;
    QList<int> m_answers; // answers for the next tips, then "closed"
    QList<QUrl> m_urls;

    int answerTip(const QString &title, const QString &text, int buttons)
    {
        m_tips << Tip{title, text, buttons};
        return m_answers.isEmpty() ? int(KTipsDialog::ResultClosed) : m_answers.takeFirst();
    }

    // Refusals become tips; replacing a file is always allowed.
    void presentPaths()
    {
        KExportPaths::Presenter paths;
        paths.refuse = [this](QWidget *, const QString &title, const QString &message) {
            m_tips << Tip{title, message, KTipsDialog::OkButton};
        };
        paths.confirmReplace = [](QWidget *, const QString &, const QString &) { return true; };
        KExportPaths::setPresenter(paths);
    }

    void resetFixture()
    {
        m_tmp.reset(new QTemporaryDir);
        m_folder = m_tmp->path();
        m_tips.clear();
        m_answers.clear();
        m_urls.clear();
        KxApplication::coreApplication()->getDcInfo()->clearEvents();
    }

    void closeDocument()
    {
        m_window.reset();
        KxApplication::coreApplication()->setActiveDocument(nullptr);
        KxApplication::coreApplication()->setActiveDocumentPath(QString());
    }

    void openDocument(Doc kind, int pages)
    {
        QString path;
        if (kind == Writer) {
            path = m_folder + QStringLiteral("/doc.html");
            QVERIFY(writeText(path, blockPagesHtml(pages)));
        } else if (kind == Sheet) {
            path = m_folder + QStringLiteral("/sheet.csv");
            QVERIFY(writeText(path, "Name,Qty\nBolts,120\nNuts,75\n"));
        } else {
            path = m_folder + QStringLiteral("/doc.pdf");
            QVERIFY(writePdf(path, QVector<QSizeF>(pages, QSizeF(595, 842)).toList()));
        }
        const KOpenedDocument opened = KDocumentLoader::open(path);
        QVERIFY2(opened.object, qPrintable(opened.error));
        QCoreApplication::setApplicationName(opened.component);
        m_window.reset(new KxMainWindow);
        m_window->openDocument(opened.object.get(), QFileInfo(path).fileName());
        KxApplication::coreApplication()->setActiveDocumentPath(path);
    }

    QString picturePath(const QString &name) const { return m_folder + QLatin1Char('/') + name; }
};

} // namespace ktest
