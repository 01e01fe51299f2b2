#pragma once

#include <QString>

// The suite's numbered registry areas: area n is the key
// "HKEY_CURRENT_USER\SOFTWARE\Brindlex\Office\6.0\area<n>\<key>" of the registry stand-in.
QString _zda_RegAreaKeyPath(int area, const QString &key);

// The text value `name` of `key` in registry area `area`; empty when it is missing.
QString _zda_RegQueryValue(int area, const QString &key, const QString &name);
