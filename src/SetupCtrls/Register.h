// Makes the board view and setup support classes known to the definition reader.
#pragma once

void RegisterSetupCtrls();
