#pragma once

#include "platform/Controls.h"

class TTwoJumper : public TGraphicControl {
    PLATFORM_CLASS(TTwoJumper, TGraphicControl)
public:
    explicit TTwoJumper(TComponent* owner) : TGraphicControl(owner) {}
};
