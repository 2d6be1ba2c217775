#include "Register.h"

#include "BoardHighlight.h"
#include "BoardImage.h"
#include "RadioPanel.h"
#include "SetupSupporter.h"
#include "TwoJumper.h"

void RegisterSetupCtrls() {
    ClassRegistry::Register<TBoardImage>();
    ClassRegistry::Register<TBoardHighlight>();
    ClassRegistry::Register<TRadioPanel>();
    ClassRegistry::Register<TTwoJumper>();
    ClassRegistry::Register<TSetupSupporter>();
}
