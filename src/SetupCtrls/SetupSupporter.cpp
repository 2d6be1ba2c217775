#include "SetupSupporter.h"

#include "platform/Forms.h"

TSetupSupporter::TSetupSupporter(TComponent* owner) : TComponent(owner) {}

TSetupSupporter::~TSetupSupporter() {
    Calibrating = false;
}

void TSetupSupporter::SetOnBeginCalib(TNotifyEvent value) {
    FOnBeginCalib = std::move(value);
}

void TSetupSupporter::ApplicationIdle(TObject* Sender, bool&) {
    if (auto* application = dynamic_cast<TApplication*>(Sender))
        application->OnIdle = nullptr;
    DeferredSetup();
}

void TSetupSupporter::DeferredSetup() {
    if (IsDesigning())
        return;
    FSetupDone = true;
}

void TSetupSupporter::SetStoredProperty(const std::string& name, const StoredValue& value,
                                        PropertyResolver& resolver) {
    if (name == "CompanyName")
        CompanyName = value.asString();
    else if (name == "CardNameA")
        CardNameA = value.asString();
    else if (name == "CardNameB")
        CardNameB = value.asString();
    else if (name == "UseCardNameB")
        UseCardNameB = value.asBoolean();
    else if (name == "CallHow")
        CallHow = value.asString();
    else if (name == "MultiPort")
        MultiPort = value.asBoolean();
    else if (name == "Channels") {
        int channels = value.asInteger();
        if (channels < 0 || channels > 255)
            throw StoredValue::PropertyError("Channels must lie between 0 and 255");
        Channels = static_cast<uint8_t>(channels);
    } else if (name == "ChangeButtons")
        ChangeButtons = value.asBoolean();
    else if (name == "bSeries")
        bSeries = value.asBoolean();
    else if (name == "OnBeginCalib")
        resolver.resolveEvent(value.asIdentifier(),
                              [this](TNotifyEvent e) { SetOnBeginCalib(std::move(e)); });
    else if (name == "OnStopButtonClick")
        resolver.resolveEvent(value.asIdentifier(),
                              [this](TNotifyEvent e) { OnStopButtonClick = std::move(e); });
    else if (name == "OnStartButtonClick")
        resolver.resolveEvent(value.asIdentifier(),
                              [this](TNotifyEvent e) { OnStartButtonClick = std::move(e); });
    else
        TComponent::SetStoredProperty(name, value, resolver);
}
