#pragma once

#include "iapplicationadapter.h"

#include <functional>
#include <memory>

#include <QList>
#include <QPoint>
#include <QRect>

class QNetworkAccessManager;
class QWidget;

// Where a window of the given frame goes when the launcher asks for it to be centred on
// centre: centred there, then moved into the available area of the screen holding that point
// (else the nearest screen) so that it stays on screen, its top-left corner first.
QRect kessPlacedWindowRect(const QRect &frame, const QPoint &centre, const QList<QRect> &availableScreens);

// The framework's adapter for the export add-on: serves the numbered methods from the
// launch description, the host's theme set, the cloud service and the desktop shell.
class KEssApplicationAdapter : public IApplicationAdapter
{
public:
    KEssApplicationAdapter();
    ~KEssApplicationAdapter() override;

    bool call(int method, const QVariantList &arguments, QVariantList &results) override;
    KEssAppAdapterProxy *proxy() override;
    QNetworkAccessManager *networkAccess();

    // Makes the widgets of method 14 whose code lives outside this library (the feedback
    // window needs the web engine, which command-line exports must not load). An empty
    // function removes the kind.
    using WidgetFactory = std::function<QWidget *(QWidget *parent)>;
    static void setWidgetFactory(int kind, WidgetFactory factory);

    struct Data;

private:
    std::unique_ptr<Data> d;
};
