// Times the program's own start-up: it runs exactly the sequence of src/Settings.cpp and prints
// the wall-clock time (microseconds since the epoch) at which the application first went idle
// and at which the board photograph was first painted, then quits. bench/startup/run.sh
// subtracts the time at which it started the process.
#include "SetupCtrls/BoardImage.h"
#include "template.h"

#include "platform/Forms.h"

#include "WallClock.h"

#include <cstdio>
#include <functional>

// Defined in src/Settings.cpp, whose main() calls it with no hook.
int RunSettingsProgram(int argc, char** argv, const std::function<void(TMainForm&)>& beforeRun);

namespace {

long long firstIdle = 0;
long long firstPhotoPaint = 0;

void quitOnceBothAreKnown() {
    if (firstIdle != 0 && firstPhotoPaint != 0)
        Application->Terminate();
}

// Painted by the board image right after the photograph and its circles, in the same paint:
// the moment the board image reaches the screen. It draws nothing.
class PaintWitness : public TGraphicControl {
public:
    PaintWitness(TComponent* owner, TBoardImage* board) : TGraphicControl(owner), FBoard(board) {}

protected:
    void Paint() override {
        if (firstPhotoPaint == 0 && FBoard->DesignPosSaved) {
            firstPhotoPaint = wallClockMicroseconds();
            quitOnceBothAreKnown();
        }
    }

private:
    TBoardImage* FBoard; // not owned
};

void attachProbes(TMainForm& form) {
    auto* witness = new PaintWitness(&form, form.BoardImage1);
    witness->SetParent(form.BoardImage1);
    witness->SetBounds(0, 0, 1, 1);
    // The creation handler has installed the setup supporter's idle handler; time its first call.
    TIdleEvent programIdle = Application->OnIdle;
    Application->OnIdle = [programIdle](TObject* sender, bool& done) {
        if (firstIdle == 0)
            firstIdle = wallClockMicroseconds();
        if (programIdle)
            programIdle(sender, done);
        quitOnceBothAreKnown();
    };
}

} // namespace

int main(int argc, char** argv) {
    int status = RunSettingsProgram(argc, argv, attachProbes);
    std::printf("idle=%lld paint=%lld\n", firstIdle, firstPhotoPaint);
    return status;
}
