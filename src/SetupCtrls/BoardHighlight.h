#pragma once

#include "platform/Controls.h"

class TBoardHighlight : public TGraphicControl {
    PLATFORM_CLASS(TBoardHighlight, TGraphicControl)
public:
    explicit TBoardHighlight(TComponent* owner) : TGraphicControl(owner) {}
};
