#pragma once

#include "iapplicationadapter.h"

#include <functional>
#include <memory>

class QNetworkAccessManager;
class QWidget;

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
