#pragma once

#include "iapplicationadapter.h"

#include <memory>

#include <QList>
#include <QPoint>
#include <QRect>

class QNetworkAccessManager;

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

    struct Data;

private:
    std::unique_ptr<Data> d;
};
