#pragma once

#include "platform/StdCtrls.h"

class TTwoJumper;

class TRadioPanel : public TCustomPanel {
    PLATFORM_CLASS(TRadioPanel, TCustomPanel)
public:
    explicit TRadioPanel(TComponent* owner) : TCustomPanel(owner) {}
};
