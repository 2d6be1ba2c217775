#include "StdCtrls.h"

#include "Menus.h"
#include "WidgetBridge.h"

#include <QCheckBox>

#include <map>

// --- TCustomPanel ---

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
    ControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csOpaque |
                   csDoubleClicks | csReplicatable;
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
}

void TCustomPanel::SetBevelOuter(TBevelCut value) {
    if (value != FBevelOuter) {
        FBevelOuter = value;
        Invalidate();
    }
}

void TCustomPanel::SetBevelInner(TBevelCut value) {
    if (value != FBevelInner) {
        FBevelInner = value;
        Invalidate();
    }
}

void TCustomPanel::SetBevelWidth(int value) {
    if (value != FBevelWidth) {
        FBevelWidth = value;
        Invalidate();
    }
}

void TCustomPanel::SetBorderWidth(int value) {
    if (value != FBorderWidth) {
        FBorderWidth = value;
        Invalidate();
    }
}

namespace {
// Draws a raised or lowered frame of the given width inside rect and shrinks rect by it.
void drawBevel(TCanvas& canvas, TRect& rect, TBevelCut cut, int width) {
    if (cut == bvNone)
        return;
    TColor topLeft = cut == bvRaised ? ColorToRGB(clWhite) : RGB(160, 160, 160);
    TColor bottomRight = cut == bvRaised ? RGB(160, 160, 160) : ColorToRGB(clWhite);
    if (cut == bvSpace)
        topLeft = bottomRight = ColorToRGB(clBtnFace);
    canvas.Pen.Style = psClear;
    for (int i = 0; i < width; ++i) {
        canvas.Brush.Color = topLeft;
        canvas.FillRect({rect.Left, rect.Top, rect.Right, rect.Top + 1});
        canvas.FillRect({rect.Left, rect.Top, rect.Left + 1, rect.Bottom});
        canvas.Brush.Color = bottomRight;
        canvas.FillRect({rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom});
        canvas.FillRect({rect.Right - 1, rect.Top, rect.Right, rect.Bottom});
        rect = {rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
    }
}
} // namespace

void TCustomPanel::Paint() {
    TCanvas& canvas = Canvas();
    TRect rect = ClientRect();
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = Color();
    canvas.FillRect(rect);
    drawBevel(canvas, rect, FBevelOuter, FBevelWidth);
    rect = {rect.Left + FBorderWidth, rect.Top + FBorderWidth, rect.Right - FBorderWidth,
            rect.Bottom - FBorderWidth};
    drawBevel(canvas, rect, FBevelInner, FBevelWidth);
    if (!Caption().empty()) {
        canvas.Font = Font();
        canvas.Brush.Style = bsClear;
        canvas.TextOut(rect.Left + (rect.Width() - canvas.TextWidth(Caption())) / 2,
                       rect.Top + (rect.Height() - canvas.TextHeight(Caption())) / 2, Caption());
    }
}

namespace {
const std::map<std::string, TBevelCut> bevelNames = {
    {"bvNone", bvNone}, {"bvLowered", bvLowered}, {"bvRaised", bvRaised}, {"bvSpace", bvSpace}};
}

void TCustomPanel::SetStoredProperty(const std::string& name, const StoredValue& value,
                                     PropertyResolver& resolver) {
    if (name == "BevelOuter")
        SetBevelOuter(value.asEnum(bevelNames));
    else if (name == "BevelInner")
        SetBevelInner(value.asEnum(bevelNames));
    else if (name == "BevelWidth")
        SetBevelWidth(value.asInteger());
    else if (name == "BorderWidth")
        SetBorderWidth(value.asInteger());
    else if (name == "FullRepaint")
        FullRepaint = value.asBoolean();
    else
        TCustomControl::SetStoredProperty(name, value, resolver);
}

// --- TCheckBox ---

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner, new QCheckBox()) {
    TabStop = true;
    SetBounds(0, 0, 97, 17);
    QObject::connect(CheckBoxWidget(), &QCheckBox::clicked, [this](bool checked) {
        platform::guarded([&] {
            FChecked = checked;
            Click();
        });
    });
}

QCheckBox* TCheckBox::CheckBoxWidget() const {
    return static_cast<QCheckBox*>(Widget());
}

void TCheckBox::SetChecked(bool value) {
    if (value == FChecked)
        return;
    FChecked = value;
    {
        QSignalBlocker blocker(CheckBoxWidget());
        CheckBoxWidget()->setChecked(value);
    }
    Click();
}

void TCheckBox::SetCaption(const std::string& value) {
    TWinControl::SetCaption(value);
    CheckBoxWidget()->setText(QString::fromStdString(value));
}

void TCheckBox::SetStoredProperty(const std::string& name, const StoredValue& value,
                                  PropertyResolver& resolver) {
    if (name == "Checked")
        SetChecked(value.asBoolean());
    else
        TWinControl::SetStoredProperty(name, value, resolver);
}

void RegisterStandardClasses() {
    ClassRegistry::Register<TPanel>();
    ClassRegistry::Register<TCheckBox>();
    ClassRegistry::Register<TMainMenu>();
    ClassRegistry::Register<TMenuItem>();
}
