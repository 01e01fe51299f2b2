#include "watermarksetting.h"

WatermarkSetting::WatermarkSetting()
    : m_text(tr("Brindlex Office"))
{
}
