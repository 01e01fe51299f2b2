#pragma once

#include "watermarksetting.h"

class QDomElement;

// The stored custom watermark: style, policy, size, rotate, opacity and colour as attributes
// of one element. Loading takes only present, well-formed, in-range values (an opacity out
// of range becomes 1.0) and never leaves the style at "none".
void loadWatermarkAttributes(const QDomElement &element, WatermarkSetting &setting);
void saveWatermarkAttributes(const WatermarkSetting &setting, QDomElement &element);
