#pragma once

#include <QString>
#include <QtGlobal>

// Host queries about the suite's servers and information collection. Answers come from
// the host values "serverUrl.<name>", "disableGlobalInfocollect", "vldTurnedOn" and
// "collectDetail<number>".
namespace krt {
namespace product {
// Address of a named suite server ("InfoCollectServer", ...); empty when unknown.
QString serverUrl(const QString &name);
bool isDisableGlobalInfocollect();
// A web page the suite serves: "feedback", "about", "declaration", "customerService" or
// "networkError". Host value "webPage.<name>", else the page the host ships (qrc:).
QString webPageUrl(const QString &name);
// Start address of the feedback web application for an application id: the host value
// "serverUrl.FeedbackApp" followed by the application's path, else the shipped page.
QString feedbackAppUrl(const QString &appId);
// The picture sharing service: host value "serverUrl.TavroShare", else the host's own
// stand-in on 127.0.0.1, port kShareServicePort.
QString shareServiceUrl();
constexpr quint16 kShareServicePort = 28731;
} // namespace product

// The suite's switch that turns off outgoing reports of add-ons.
bool isVldTurnedOn();
} // namespace krt

// Identity details for reports: 1 version, 2 channel, 4 guid, 5 hdid, 6 uuid; empty when unknown.
QString _zda_GetCollectDetail(int number);
