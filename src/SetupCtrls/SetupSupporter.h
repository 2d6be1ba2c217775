// TSetupSupporter: the non-visual component that carries the product's settings (company name,
// card name, support hours, flags) and, once the program is first idle, builds the generic
// parts of the guide around the board: header caption, help and support windows, card list.
#pragma once

#include "platform/Component.h"

#include <cstdint>
#include <string>

// Supplies the text for one installed card.
using TPCIEvent = std::function<std::string(TObject* Sender, int32_t CardIndex)>;
// Supplies one channel's calibration text; a handler clears ItsAllBad when the input works.
using TCalibEvent = std::function<std::string(TObject* Sender, uint8_t Channel, bool& ItsAllBad)>;

class TSetupSupporter : public TComponent {
    PLATFORM_CLASS(TSetupSupporter, TComponent)
public:
    explicit TSetupSupporter(TComponent* owner);
    ~TSetupSupporter() override;

    std::string CompanyName;
    std::string CardNameA;
    std::string CardNameB;
    bool UseCardNameB = false;
    std::string CallHow;
    bool MultiPort = false;
    uint8_t Channels = 8;
    bool ChangeButtons = true;
    bool bSeries = true;
    TPCIEvent OnGetCardString;
    TCalibEvent OnGetCalibString;
    TNotifyEvent OnStopButtonClick;
    TNotifyEvent OnStartButtonClick;
    const TNotifyEvent& OnBeginCalib() const { return FOnBeginCalib; }
    void SetOnBeginCalib(TNotifyEvent value);

    bool HelpPending = false;
    bool Calibrating = false;

    // The card name used everywhere: CardNameB when UseCardNameB, else CardNameA.
    const std::string& CardName() const { return UseCardNameB ? CardNameB : CardNameA; }

    // The application's idle handler: removes itself, then runs the deferred set-up once.
    void ApplicationIdle(TObject* Sender, bool& Done);
    void DeferredSetup();
    bool SetupDone() const { return FSetupDone; }

    void SetStoredProperty(const std::string& name, const StoredValue& value,
                           PropertyResolver& resolver) override;

private:
    TNotifyEvent FOnBeginCalib;
    bool FSetupDone = false;
};
