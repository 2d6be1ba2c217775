// TRadioPanel: the option panel of one highlight circle. It holds check boxes, labels and jumper
// drawings, carries the text and layout values the circle's popup takes over when it adopts the
// panel, and can make its jumper drawings act as a radio group.
#pragma once

#include "platform/StdCtrls.h"

#include <string>
#include <vector>

class TTwoJumper;

// Called with the clicked jumper as Sender, not the panel.
using TRadioPanelChangeEvent = std::function<void(TObject* Sender)>;

class TRadioPanel : public TCustomPanel {
    PLATFORM_CLASS(TRadioPanel, TCustomPanel)
public:
    explicit TRadioPanel(TComponent* owner);
    ~TRadioPanel() override;

    // The panel's jumper children act as a radio group when they are clicked.
    bool RadioEnabled = false;
    // Called after a radio-group click that changed at least one jumper.
    TRadioPanelChangeEvent OnRadioChange;

    // The explanatory text the popup shows below the panel; the panel keeps its own copy.
    const std::vector<std::string>& Lines() const { return FLines; }
    void SetLines(const std::vector<std::string>& value) { FLines = value; }
    // Height in pixels of the memo the popup puts below the panel.
    int MemoHeight = 58;
    // Handed to the popup window, which calls them with itself as Sender.
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;

    // The anchors the panel takes inside its popup; once placed, setting them applies them at once.
    TAnchors FinalAnchors() const { return FFinalAnchors; }
    void SetFinalAnchors(TAnchors value);
    // A popup has adopted the panel. The panel takes FinalAnchors as its Anchors from now on.
    bool Placed() const { return FPlaced; }
    void MarkPlaced();

    // Leaves jumper the only closed one among the panel's direct TTwoJumper children and calls
    // OnRadioChange once if any of them changed.
    void SelectJumper(TTwoJumper* jumper);

    void SetStoredProperty(const std::string& name, const StoredValue& value,
                           PropertyResolver& resolver) override;

protected:
    void Paint() override;

private:
    std::vector<std::string> FLines;
    bool FDesignHidden = false;
    TAnchors FFinalAnchors = DefaultAnchors;
    bool FPlaced = false;
};
