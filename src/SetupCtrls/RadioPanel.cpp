#include "RadioPanel.h"

#include "TwoJumper.h"

#include <string_view>

TRadioPanel::TRadioPanel(TComponent* owner) : TCustomPanel(owner) {
    SetAnchors(DefaultAnchors);
    FFinalAnchors = DefaultAnchors;
    FPlaced = false;
    // Without this flag a panel never takes its name as its caption, so nothing is written in its middle.
    ControlStyle &= ~csSetCaption;
    RadioEnabled = false;
    SetBevelOuter(bvNone);
    SetHeight(100);
    SetWidth(194);
    MemoHeight = 58;
    SetVisible(false);
    FDesignHidden = false;
}

TRadioPanel::~TRadioPanel() = default;

void TRadioPanel::SetFinalAnchors(TAnchors value) {
    FFinalAnchors = value;
    if (FPlaced)
        SetAnchors(value);
}

void TRadioPanel::MarkPlaced() {
    FPlaced = true;
    SetAnchors(FFinalAnchors);
}

void TRadioPanel::SelectJumper(TTwoJumper* jumper) {
    bool changed = false;
    for (int i = 0; i < ControlCount(); ++i) {
        // Exact class names: a class derived from TTwoJumper is not part of the group.
        if (std::string_view(Controls(i)->ClassName()) != TTwoJumper::StaticClassName)
            continue;
        auto* child = dynamic_cast<TTwoJumper*>(Controls(i));
        if (child == nullptr)
            continue;
        bool closed = child == jumper;
        if (child->Closed() != closed)
            changed = true;
        child->SetClosed(closed);
    }
    if (changed && OnRadioChange)
        OnRadioChange(jumper);
}

void TRadioPanel::Paint() {
    if (IsDesigning() && !FDesignHidden) {
        FDesignHidden = true;
        SetVisible(false);
    }
    TCustomPanel::Paint();
}

void TRadioPanel::SetStoredProperty(const std::string& name, const StoredValue& value,
                                    PropertyResolver& resolver) {
    if (name == "RadioEnabled")
        RadioEnabled = value.asBoolean();
    else if (name == "Lines.Strings")
        SetLines(value.asStringList());
    else if (name == "MemoHeight")
        MemoHeight = value.asInteger();
    else if (name == "FinalAnchors")
        SetFinalAnchors(AnchorsFromStored(value));
    else if (name == "OnRadioChange")
        resolver.resolveEvent(value.asIdentifier(), [this](TNotifyEvent e) { OnRadioChange = std::move(e); });
    else if (name == "OnActivate")
        resolver.resolveEvent(value.asIdentifier(), [this](TNotifyEvent e) { OnActivate = std::move(e); });
    else if (name == "OnDeactivate")
        resolver.resolveEvent(value.asIdentifier(), [this](TNotifyEvent e) { OnDeactivate = std::move(e); });
    else if (name == "Anchors" || name == "Caption" || name.starts_with("Font."))
        // FinalAnchors stands in for Anchors, the caption stays empty and the font comes from the parent.
        throw UnknownPropertyError(std::string(ClassName()) + " has no property '" + name + "'");
    else
        TCustomPanel::SetStoredProperty(name, value, resolver);
}
