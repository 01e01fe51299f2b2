#include "koptionsui.h"

#include <kdrawhelper.h>
#include <klitestyle.h>
#include <kthemeloader.h>

#include <QImageReader>
#include <QPainter>

namespace koptionsui {

void ensureTheme()
{
    static std::shared_ptr<KThemeLoader> theme;
    if (theme)
        return;
    auto loader = std::make_shared<KThemeLoader>();
    if (!loader->setupXml(QStringLiteral(":/ktavro/options/options.kuip"))) {
        qWarning("ktavro: option dialog theme unreadable: %s", qPrintable(loader->errorString()));
        return;
    }
    theme = loader;
    KDrawHelper::instance()->addSubTheme(theme);
}

QIcon icon(const QString &name)
{
    ensureTheme();
    return KDrawHelper::instance()->getIcon(name);
}

QString labelStyleSheet(int fontPx)
{
    // The colour needs its property name; without it Qt drops the whole rule, size included.
    return QStringLiteral("QLabel{font-family:'Microsoft YaHei'; color:rgba(00, 00, 00, 85%); font-size:%1px;}")
        .arg(KLiteStyle::dpiScaled(fontPx));
}

QString okButtonStyleSheet()
{
    return QStringLiteral("QPushButton{background-color:#6E9BEF;color:#ffffff;font-family:'Microsoft YaHei';"
                          "font-size:%1px;border-radius:%2px;}QPushButton:hover{background-color:#9DC1FC;}"
                          "QPushButton:pressed{background-color:#5378C9;}")
        .arg(KLiteStyle::dpiScaled(14))
        .arg(KLiteStyle::dpiScaled(4));
}

QImage previewTemplate()
{
    // A page at 96 dots per inch, like the stamps painted on it at scale 1: scaling it with
    // the display would shrink the stamps against the page.
    const QSize size(800, 1130);
    QImageReader reader(QStringLiteral(":/ktavro/options/preview-template.svg"));
    reader.setScaledSize(size);
    QImage image = reader.read();
    if (image.isNull()) {
        // Without the picture plug-in the preview still has a white page to show.
        image = QImage(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace koptionsui
