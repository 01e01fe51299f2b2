#pragma once

#include "iapplicationadapter.h"

#include <memory>

class QNetworkAccessManager;

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

    struct Data;

private:
    std::unique_ptr<Data> d;
};
