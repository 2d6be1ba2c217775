#include "SetupCtrls/RadioPanel.h"

#include "SetupCtrls/TwoJumper.h"
#include "platform/Forms.h"
#include "platform/Reader.h"
#include "support/TestSupport.h"

#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class TDerivedJumper : public TTwoJumper {
    PLATFORM_CLASS(TDerivedJumper, TTwoJumper)
public:
    using TTwoJumper::TTwoJumper;
};

// Adds a jumper of the given class to a parent; the parent's owner chain frees it.
template <class Jumper = TTwoJumper> Jumper* addJumper(TWinControl& parent, bool closed) {
    auto* jumper = new Jumper(&parent);
    jumper->SetParent(&parent);
    jumper->SetClosed(closed);
    return jumper;
}

// What the panel and the clicked jumper report, in order.
struct Recorder {
    std::vector<std::string> events;
    std::vector<TObject*> senders;
    void attach(TRadioPanel& panel, TTwoJumper& clicked) {
        panel.OnRadioChange = [this](TObject* sender) {
            events.push_back("OnRadioChange");
            senders.push_back(sender);
        };
        clicked.OnClick = [this, &clicked](TObject* sender) {
            events.push_back(clicked.Closed() ? "OnClick closed" : "OnClick open");
            senders.push_back(sender);
        };
    }
};

TEST(RadioPanel, ConstructorState) {
    TRadioPanel panel(nullptr);
    EXPECT_EQ(panel.Width(), 194);
    EXPECT_EQ(panel.Height(), 100);
    EXPECT_FALSE(panel.Visible());
    EXPECT_EQ(panel.BevelOuter(), bvNone);
    EXPECT_EQ(panel.Anchors(), akLeft | akTop);
    EXPECT_EQ(panel.FinalAnchors(), akLeft | akTop);
    EXPECT_FALSE(panel.Placed());
    EXPECT_FALSE(panel.RadioEnabled);
    EXPECT_EQ(panel.MemoHeight, 58);
    EXPECT_TRUE(panel.Lines().empty());
    EXPECT_FALSE(panel.OnRadioChange);
    EXPECT_FALSE(panel.OnActivate);
    EXPECT_FALSE(panel.OnDeactivate);
    EXPECT_EQ(panel.Color(), clBtnFace);
    EXPECT_FALSE(panel.ControlStyle & csSetCaption);
    EXPECT_TRUE(panel.ControlStyle & csAcceptsControls);
}

TEST(RadioPanel, PaintsAsAPlainPanelWithNothingInItsMiddle) {
    struct Case {
        TBevelCut bevel;
        TColor corner;
    };
    constexpr TColor PanelColor = RGB(30, 60, 200);
    for (Case c : {Case{bvNone, PanelColor}, Case{bvRaised, RGB(255, 255, 255)}}) {
        SCOPED_TRACE(c.bevel == bvNone ? "bvNone" : "bvRaised");
        TRadioPanel panel(nullptr);
        panel.SetName("FilterPanel");
        panel.SetBounds(0, 0, 177, 163);
        panel.SetColor(PanelColor);
        panel.SetBevelOuter(c.bevel);
        panel.PaintToBuffer(panel.ClientRect());
        EXPECT_EQ(panel.Caption(), "");
        EXPECT_EQ(PaintedPixel(panel, 0, 0), c.corner);
        for (int y = 70; y < 94; ++y) {
            for (int x = 20; x < 157; ++x) {
                if (PaintedPixel(panel, x, y) != PanelColor)
                    FAIL() << "something was painted at (" << x << ", " << y << ")";
            }
        }
    }
}

// A click on the first of three jumpers of a radio panel; the second may be closed beforehand.
TEST(RadioPanel, RadioGroupOutcomesOfAClick) {
    struct Case {
        const char* name;
        bool clickedClosedBefore, otherClosedBefore;
        bool radioChangeCalled;
    };
    const Case cases[] = {
        {"open, no other closed", false, false, false},
        {"open, another closed", false, true, true},
        {"closed, no other closed", true, false, true},
        {"closed, another closed", true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TRadioPanel panel(nullptr);
        panel.RadioEnabled = true;
        TTwoJumper* clicked = addJumper(panel, c.clickedClosedBefore);
        TTwoJumper* other = addJumper(panel, c.otherClosedBefore);
        TTwoJumper* third = addJumper(panel, false);
        Recorder recorder;
        recorder.attach(panel, *clicked);

        clicked->Click();

        EXPECT_TRUE(clicked->Closed());
        EXPECT_FALSE(other->Closed());
        EXPECT_FALSE(third->Closed());
        std::vector<std::string> expected;
        std::vector<TObject*> senders;
        if (c.radioChangeCalled) {
            expected.push_back("OnRadioChange");
            senders.push_back(clicked);
        }
        expected.push_back("OnClick closed");
        senders.push_back(clicked);
        EXPECT_EQ(recorder.events, expected);
        EXPECT_EQ(recorder.senders, senders);
    }
}

TEST(RadioPanel, OnlyDirectChildrenOfClassTTwoJumperTakePart) {
    TRadioPanel panel(nullptr);
    panel.RadioEnabled = true;
    TTwoJumper* clicked = addJumper(panel, false);
    TDerivedJumper* derived = addJumper<TDerivedJumper>(panel, true);
    auto* inner = new TPanel(&panel);
    inner->SetParent(&panel);
    TTwoJumper* nested = addJumper(*inner, true);
    TTwoJumper* sibling = addJumper(panel, true);
    Recorder recorder;
    recorder.attach(panel, *clicked);

    clicked->Click();

    EXPECT_TRUE(clicked->Closed());
    EXPECT_FALSE(sibling->Closed());
    EXPECT_TRUE(derived->Closed());
    EXPECT_TRUE(nested->Closed());
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"OnRadioChange", "OnClick closed"}));
}

TEST(RadioPanel, WithoutRadioEnabledAClickTogglesTheClickedJumperAlone) {
    TRadioPanel panel(nullptr);
    TTwoJumper* clicked = addJumper(panel, false);
    TTwoJumper* other = addJumper(panel, true);
    Recorder recorder;
    recorder.attach(panel, *clicked);

    clicked->Click();
    EXPECT_TRUE(clicked->Closed());
    EXPECT_TRUE(other->Closed());
    clicked->Click();
    EXPECT_FALSE(clicked->Closed());
    EXPECT_TRUE(other->Closed());
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"OnClick closed", "OnClick open"}));
}

TEST(RadioPanel, SelectJumperComparesTheStatesAtTheMomentOfTheCall) {
    TRadioPanel panel(nullptr);
    TTwoJumper* chosen = addJumper(panel, true);
    TTwoJumper* other = addJumper(panel, false);
    std::vector<TObject*> senders;
    panel.OnRadioChange = [&](TObject* sender) {
        senders.push_back(sender);
    };

    panel.SelectJumper(chosen);
    EXPECT_TRUE(senders.empty()) << "nothing changed";

    panel.SelectJumper(other);
    EXPECT_FALSE(chosen->Closed());
    EXPECT_TRUE(other->Closed());
    EXPECT_EQ(senders, (std::vector<TObject*>{other}));
}

TEST(RadioPanel, LinesAreThePanelsOwnCopy) {
    TRadioPanel panel(nullptr);
    std::vector<std::string> source = {"first", "", "third"};
    panel.SetLines(source);
    source[0] = "changed";
    source.push_back("more");
    EXPECT_EQ(panel.Lines(), (std::vector<std::string>{"first", "", "third"}));
}

TEST(RadioPanel, FinalAnchorsApplyOnlyOncePlaced) {
    TForm form(nullptr);
    TRadioPanel panel(&form);
    panel.SetParent(&form);
    const TAnchors all = akLeft | akTop | akRight | akBottom;

    panel.SetFinalAnchors(all);
    EXPECT_EQ(panel.FinalAnchors(), all);
    EXPECT_EQ(panel.Anchors(), akLeft | akTop) << "not placed yet";

    panel.MarkPlaced();
    EXPECT_TRUE(panel.Placed());
    EXPECT_EQ(panel.Anchors(), all);

    panel.SetFinalAnchors(akRight | akBottom);
    EXPECT_EQ(panel.FinalAnchors(), akRight | akBottom);
    EXPECT_EQ(panel.Anchors(), akRight | akBottom);
}

// The board definition's root, publishing handlers that record their calls.
class TRadioHostForm : public TForm {
    PLATFORM_CLASS(TRadioHostForm, TForm)
public:
    using TForm::TForm;
    std::vector<std::string> Calls;
    TNotifyEvent MethodAddress(const std::string& name) override {
        return [this, name](TObject*) {
            Calls.push_back(name);
        };
    }
};

TEST(RadioPanel, StoredPropertiesAreRead) {
    const char* definition = R"(object HostForm: TRadioHostForm
  object OptionPanel: TRadioPanel
    Left = 472
    Top = 118
    Width = 177
    Height = 163
    RadioEnabled = True
    Lines.Strings = (
      'Select which filters to enable.'
      ''
      'It''s done.')
    MemoHeight = 70
    FinalAnchors = [akLeft, akTop, akRight, akBottom]
    BevelOuter = bvRaised
    TabOrder = 1
    OnRadioChange = PanelRadioChange
    OnActivate = PanelActivate
    OnDeactivate = PanelDeactivate
    OnEnter = PanelEnter
  end
end
)";
    TRadioHostForm form(nullptr);
    DefinitionReader(definition, "HostForm.board").ReadInto(&form);
    auto* panel = dynamic_cast<TRadioPanel*>(form.FindComponent("OptionPanel"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->BoundsRect(), Bounds(472, 118, 177, 163));
    EXPECT_TRUE(panel->RadioEnabled);
    EXPECT_EQ(panel->Lines(),
              (std::vector<std::string>{"Select which filters to enable.", "", "It's done."}));
    EXPECT_EQ(panel->MemoHeight, 70);
    EXPECT_EQ(panel->FinalAnchors(), akLeft | akTop | akRight | akBottom);
    EXPECT_EQ(panel->Anchors(), akLeft | akTop);
    EXPECT_EQ(panel->BevelOuter(), bvRaised);
    EXPECT_EQ(panel->TabOrder, 1);
    EXPECT_FALSE(panel->Visible());
    ASSERT_TRUE(panel->OnRadioChange && panel->OnActivate && panel->OnDeactivate && panel->OnEnter);
    panel->OnRadioChange(panel);
    panel->OnActivate(panel);
    panel->OnDeactivate(panel);
    EXPECT_EQ(form.Calls, (std::vector<std::string>{"PanelRadioChange", "PanelActivate", "PanelDeactivate"}));
}

// FinalAnchors stands in for Anchors, the caption stays empty and the font comes from the parent.
TEST(RadioPanel, UnpublishedPropertiesAreReadErrors) {
    for (const char* property : {"Anchors = [akLeft]", "Caption = 'Filters'", "Font.Name = 'Tahoma'"}) {
        SCOPED_TRACE(property);
        std::string definition =
            std::string("object HostForm: TRadioHostForm\n  object OptionPanel: TRadioPanel\n    ") +
            property + "\n  end\nend\n";
        TRadioHostForm form(nullptr);
        EXPECT_THROW(DefinitionReader(definition, "HostForm.board").ReadInto(&form), EReadError);
    }
}

TEST(RadioPanel, AUserClickOnAJumperOfARadioPanelClosesItAndOpensTheOthers) {
    TForm form(nullptr);
    form.SetBounds(100, 100, 300, 200);
    TRadioPanel panel(&form);
    panel.SetParent(&form);
    panel.SetBounds(10, 10, 177, 163);
    panel.RadioEnabled = true;
    panel.Show();
    TTwoJumper* first = addJumper(panel, false);
    first->SetBounds(116, 16, 34, 18);
    TTwoJumper* second = addJumper(panel, true);
    second->SetBounds(116, 32, 34, 18);
    Recorder recorder;
    recorder.attach(panel, *first);
    form.Show();
    // The middle of each jumper: grey base when open, dark red cap when closed.
    auto middleOf = [&](TTwoJumper* jumper) {
        return PaintedPixel(panel, jumper->Left() + 16, jumper->Top() + 8);
    };
    ASSERT_TRUE(
        WaitFor([&] { return middleOf(first) == RGB(128, 128, 128) && middleOf(second) == RGB(128, 0, 0); }));

    QTest::mouseClick(panel.Widget(), Qt::LeftButton, {}, QPoint(116 + 4, 16 + 9));

    EXPECT_TRUE(first->Closed());
    EXPECT_FALSE(second->Closed());
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"OnRadioChange", "OnClick closed"}));
    EXPECT_EQ(recorder.senders, (std::vector<TObject*>{first, first}));
    EXPECT_TRUE(
        WaitFor([&] { return middleOf(first) == RGB(128, 0, 0) && middleOf(second) == RGB(128, 128, 128); }));
    form.Hide();
}

} // namespace
