// The standard controls the program uses: panels and check boxes.
#pragma once

#include "Controls.h"

class QCheckBox;

// A windowed container that paints its background colour, its bevels and a centred caption.
class TCustomPanel : public TCustomControl {
    PLATFORM_CLASS(TCustomPanel, TCustomControl)
public:
    explicit TCustomPanel(TComponent* owner);

    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int value);
    bool FullRepaint = true;

    void SetStoredProperty(const std::string& name, const StoredValue& value,
                           PropertyResolver& resolver) override;

protected:
    void Paint() override;

private:
    TBevelCut FBevelOuter = bvRaised;
    TBevelCut FBevelInner = bvNone;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
};

class TPanel : public TCustomPanel {
    PLATFORM_CLASS(TPanel, TCustomPanel)
public:
    using TCustomPanel::TCustomPanel;
};

// A check box. Setting Checked to a new value fires OnClick once; so does a user's click or the
// space key; setting it to its current value does nothing.
class TCheckBox : public TWinControl {
    PLATFORM_CLASS(TCheckBox, TWinControl)
public:
    explicit TCheckBox(TComponent* owner);
    bool Checked() const { return FChecked; }
    void SetChecked(bool value);
    void SetCaption(const std::string& value) override;
    void SetStoredProperty(const std::string& name, const StoredValue& value,
                           PropertyResolver& resolver) override;

private:
    QCheckBox* CheckBoxWidget() const;
    bool FChecked = false;
};

// Makes the standard classes known to the definition reader.
void RegisterStandardClasses();
