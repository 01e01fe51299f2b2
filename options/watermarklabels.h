#pragma once

#include <QString>

// Names under which the watermark choices are reported in usage events.
QString watermarkStyleLabel(int style);
QString watermarkSizeLabel(int size);
QString watermarkPolicyLabel(int policy);
