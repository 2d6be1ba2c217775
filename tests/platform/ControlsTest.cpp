#include "support/TestSupport.h"

#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "platform/WidgetBridge.h"

#include <QCheckBox>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// One line per mouse notification a control receives: "<name> enter|leave <WParam>".
using NotificationLog = std::vector<std::string>;

void logNotification(NotificationLog* log, const TControl& control, const TMessage& message) {
    if (log == nullptr || (message.Msg != CM_MOUSEENTER && message.Msg != CM_MOUSELEAVE))
        return;
    log->push_back(control.Name() + (message.Msg == CM_MOUSEENTER ? " enter " : " leave ") +
                   std::to_string(message.WParam));
}

class RecordingPanel : public TPanel {
public:
    RecordingPanel(TComponent* owner, NotificationLog* log) : TPanel(owner), FLog(log) {}
    void WndProc(TMessage& message) override {
        logNotification(FLog, *this, message);
        TPanel::WndProc(message);
    }

private:
    NotificationLog* FLog;
};

class RecordingForm : public TForm {
public:
    RecordingForm(TComponent* owner, NotificationLog* log) : TForm(owner), FLog(log) {}
    void WndProc(TMessage& message) override {
        logNotification(FLog, *this, message);
        TForm::WndProc(message);
    }

private:
    NotificationLog* FLog;
};

class RecordingGraphic : public TGraphicControl {
public:
    RecordingGraphic(TComponent* owner, NotificationLog* log) : TGraphicControl(owner), FLog(log) {}
    void WndProc(TMessage& message) override {
        logNotification(FLog, *this, message);
        TGraphicControl::WndProc(message);
    }
    int Paints = 0;

protected:
    void Paint() override { ++Paints; }

private:
    NotificationLog* FLog;
};

// A parent panel of a known client size with one child placed in it.
struct PanelWithChild {
    PanelWithChild() {
        parent.SetBounds(0, 0, 200, 100);
        child->SetParent(&parent);
        child->SetBounds(50, 40, 20, 10);
    }
    TPanel parent{nullptr};
    TGraphicControl* child = new TGraphicControl(&parent);
};

TEST(Controls, AnchorsKeepTheirDistancesWhenTheParentIsResized) {
    struct Case {
        const char* anchors;
        TAnchors value;
        TRect afterGrowing; // parent 200 x 100 becomes 300 x 160
    };
    const Case cases[] = {
        {"left, top", akLeft | akTop, Bounds(50, 40, 20, 10)},
        {"right, top", akRight | akTop, Bounds(150, 40, 20, 10)},
        {"left, bottom", akLeft | akBottom, Bounds(50, 100, 20, 10)},
        {"right, bottom", akRight | akBottom, Bounds(150, 100, 20, 10)},
        {"all four", akLeft | akTop | akRight | akBottom, Bounds(50, 40, 120, 70)},
        // No edge anchored on an axis: the centre stays at the same proportion of the parent.
        {"none", 0, Bounds(80, 67, 20, 10)},
        {"top only", akTop, Bounds(80, 40, 20, 10)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.anchors);
        PanelWithChild fixture;
        fixture.child->SetAnchors(c.value);
        fixture.parent.SetBounds(0, 0, 300, 160);
        EXPECT_EQ(fixture.child->BoundsRect(), c.afterGrowing);
        // Back to the original size: back to the original place, without drift.
        fixture.parent.SetBounds(0, 0, 260, 130);
        fixture.parent.SetBounds(0, 0, 200, 100);
        EXPECT_EQ(fixture.child->BoundsRect(), Bounds(50, 40, 20, 10));
    }
}

TEST(Controls, AMovedControlAnchorsFromItsNewPlace) {
    PanelWithChild fixture;
    fixture.child->SetAnchors(akRight | akBottom);
    fixture.child->SetBounds(10, 10, 20, 10);
    fixture.parent.SetBounds(0, 0, 220, 130);
    EXPECT_EQ(fixture.child->BoundsRect(), Bounds(30, 40, 20, 10));
}

TEST(Controls, TopAndClientAlignmentShareTheClientArea) {
    TPanel parent(nullptr);
    parent.SetBounds(0, 0, 200, 100);
    auto* client = new TPanel(&parent);
    client->SetParent(&parent);
    client->SetAlign(alClient);
    auto* top = new TPanel(&parent);
    top->SetParent(&parent);
    top->SetHeight(20);
    top->SetAlign(alTop);
    EXPECT_EQ(top->BoundsRect(), Bounds(0, 0, 200, 20));
    EXPECT_EQ(client->BoundsRect(), Bounds(0, 20, 200, 80));

    parent.SetBounds(0, 0, 300, 150);
    EXPECT_EQ(top->BoundsRect(), Bounds(0, 0, 300, 20));
    EXPECT_EQ(client->BoundsRect(), Bounds(0, 20, 300, 130));

    top->SetHeight(50);
    EXPECT_EQ(top->BoundsRect(), Bounds(0, 0, 300, 50));
    EXPECT_EQ(client->BoundsRect(), Bounds(0, 50, 300, 100));

    top->Hide();
    EXPECT_EQ(client->BoundsRect(), Bounds(0, 0, 300, 150));
    top->Show();
    EXPECT_EQ(client->BoundsRect(), Bounds(0, 50, 300, 100));

    // An aligned control takes its place as soon as it is put into a parent.
    auto* second = new TPanel(&parent);
    second->SetHeight(10);
    second->SetAlign(alTop);
    second->SetParent(&parent);
    EXPECT_EQ(second->BoundsRect(), Bounds(0, 50, 300, 10));
    EXPECT_EQ(client->BoundsRect(), Bounds(0, 60, 300, 90));
    delete second;
    EXPECT_EQ(client->BoundsRect(), Bounds(0, 50, 300, 100));
}

TEST(Controls, ConstraintsLimitTheSize) {
    TPanel parent(nullptr);
    parent.SetBounds(0, 0, 800, 800);
    auto* control = new TGraphicControl(&parent);
    control->SetParent(&parent);
    control->SetConstraints({50, 40, 400, 400});
    const std::pair<TRect, TRect> cases[] = {
        {Bounds(1, 2, 600, 495), Bounds(1, 2, 400, 400)},
        {Bounds(1, 2, 10, 10), Bounds(1, 2, 50, 40)},
        {Bounds(1, 2, -5, -5), Bounds(1, 2, 50, 40)},
        {Bounds(1, 2, 300, 200), Bounds(1, 2, 300, 200)},
    };
    for (const auto& [asked, expected] : cases) {
        control->SetBounds(asked.Left, asked.Top, asked.Width(), asked.Height());
        EXPECT_EQ(control->BoundsRect(), expected);
    }
    control->SetConstraints({0, 0, 100, 0});
    EXPECT_EQ(control->BoundsRect(), Bounds(1, 2, 100, 200));
}

// A control whose content wants a fixed size.
class SizedByContent : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    bool CanAutoSize(int& newWidth, int& newHeight) override {
        newWidth = 60;
        newHeight = 30;
        return true;
    }
};

TEST(Controls, AutoSizeFollowsTheContentOnceTheControlStandsInAParentAndIsLoaded) {
    TPanel parent(nullptr);
    parent.SetBounds(0, 0, 200, 100);
    auto* control = new SizedByContent(&parent);
    control->SetBounds(5, 6, 10, 10);
    control->SetAutoSize(true);
    EXPECT_EQ(control->BoundsRect(), Bounds(5, 6, 10, 10)); // no parent yet
    control->SetParent(&parent);
    control->SetLoading(true);
    control->SetBounds(5, 6, 11, 11);
    EXPECT_EQ(control->BoundsRect(), Bounds(5, 6, 11, 11)); // still loading
    control->SetLoading(false);
    control->Loaded();
    EXPECT_EQ(control->BoundsRect(), Bounds(5, 6, 60, 30));
    control->SetBounds(7, 8, 100, 100);
    EXPECT_EQ(control->BoundsRect(), Bounds(7, 8, 60, 30));
    control->SetAutoSize(false);
    control->SetBounds(7, 8, 100, 100);
    EXPECT_EQ(control->BoundsRect(), Bounds(7, 8, 100, 100));
}

TEST(Controls, BringToFrontMovesAControlToTheEndOfItsParentsList) {
    TPanel parent(nullptr);
    parent.SetBounds(0, 0, 100, 100);
    auto* a = new TGraphicControl(&parent);
    auto* b = new TGraphicControl(&parent);
    auto* c = new TPanel(&parent);
    for (TControl* control : std::initializer_list<TControl*>{a, b, c}) {
        control->SetParent(&parent);
        control->SetBounds(10, 10, 30, 30);
    }
    EXPECT_EQ(parent.ControlAtPos({20, 20}), c); // windowed children lie above graphic ones
    c->SetVisible(false);
    EXPECT_EQ(parent.ControlAtPos({20, 20}), b);
    a->BringToFront();
    EXPECT_EQ(parent.IndexOfControl(a), 2);
    EXPECT_EQ(parent.IndexOfControl(b), 0);
    EXPECT_EQ(parent.IndexOfControl(c), 1);
    EXPECT_EQ(parent.ControlAtPos({20, 20}), a);
    a->BringToFront(); // already in front: nothing changes
    EXPECT_EQ(parent.IndexOfControl(a), 2);

    c->SetVisible(true);
    auto* d = new TPanel(&parent);
    d->SetParent(&parent);
    d->SetBounds(10, 10, 30, 30);
    c->BringToFront();
    EXPECT_EQ(parent.Controls(parent.ControlCount() - 1), c);
    EXPECT_EQ(parent.Widget()->childAt(20, 20), c->Widget());
}

TEST(Controls, AParentDestroysItsChildControlsBeforeItsWindow) {
    TComponent owner(nullptr);
    auto* outer = new TPanel(&owner);
    outer->SetBounds(0, 0, 200, 200);
    auto* inner = new TPanel(&owner);
    inner->SetParent(outer);
    auto* deepest = new TGraphicControl(&owner);
    deepest->SetParent(inner);
    auto* box = new TCheckBox(&owner);
    box->SetParent(inner);
    auto* sibling = new TGraphicControl(&owner);
    sibling->SetParent(outer);
    ASSERT_EQ(owner.ComponentCount(), 5);
    delete outer;
    // Every child control went with its parent, and left its owner's list.
    EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST(Controls, AFreedChildLeavesItsParent) {
    TPanel parent(nullptr);
    auto* child = new TGraphicControl(nullptr);
    child->SetParent(&parent);
    auto* other = new TPanel(nullptr);
    other->SetParent(&parent);
    ASSERT_EQ(parent.ControlCount(), 2);
    delete child;
    EXPECT_EQ(parent.ControlCount(), 1);
    EXPECT_EQ(parent.Controls(0), other);
    delete other;
    EXPECT_EQ(parent.ControlCount(), 0);
    EXPECT_EQ(parent.ControlAtPos({1, 1}), nullptr);
}

TEST(Forms, OuterBoundsIncludeTheMenuBarAndTheClientAreaLiesBelowIt) {
    TForm form(nullptr);
    TMainMenu menu(&form);
    auto* item = new TMenuItem(&form);
    item->SetCaption("&File");
    menu.Items()->Add(item);
    form.SetMenu(&menu);
    form.SetBounds(30, 40, 400, 300);
    auto* client = new TPanel(&form);
    client->SetParent(&form);
    client->SetAlign(alClient);

    form.Show();
    ASSERT_TRUE(WaitFor([&] { return form.Window()->isVisible(); }));
    ProcessPendingEvents();
    int menuHeight = menu.MenuBar()->height();
    ASSERT_GT(menuHeight, 0);
    EXPECT_EQ(form.Width(), 400);
    EXPECT_EQ(form.Height(), 300);
    int frameWidth = form.Window()->frameGeometry().width() - form.Window()->width();
    int frameHeight = form.Window()->frameGeometry().height() - form.Window()->height();
    EXPECT_EQ(form.ClientWidth(), 400 - frameWidth);
    EXPECT_EQ(form.ClientHeight(), 300 - frameHeight - menuHeight);
    EXPECT_EQ(form.Widget()->width(), form.ClientWidth());
    EXPECT_EQ(form.Widget()->height(), form.ClientHeight());
    EXPECT_EQ(client->BoundsRect(), Bounds(0, 0, form.ClientWidth(), form.ClientHeight()));

    form.SetClientHeight(200);
    ProcessPendingEvents();
    EXPECT_EQ(form.ClientHeight(), 200);
    EXPECT_EQ(form.Height(), 200 + frameHeight + menuHeight);
    EXPECT_EQ(client->Height(), 200);
}

TEST(Forms, TheClientAreaExcludesTheMenuBarBeforeTheFormIsShown) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    int frameAndMenu = form.Height() - form.ClientHeight();
    TMainMenu menu(&form);
    auto* item = new TMenuItem(&form);
    item->SetCaption("&File");
    menu.Items()->Add(item);
    form.SetMenu(&menu);
    int counted = form.Height() - form.ClientHeight() - frameAndMenu;
    EXPECT_GT(counted, 0);
    form.Show();
    ASSERT_TRUE(WaitFor([&] { return form.Window()->isVisible(); }));
    // The bar is laid out at the height that was counted, with the client area right below it.
    EXPECT_EQ(menu.MenuBar()->height(), counted);
    EXPECT_EQ(form.Widget()->y(), counted);
    EXPECT_EQ(form.Widget()->height(), form.ClientHeight());
}

TEST(Forms, SettingAMenuShrinksTheClientAreaAndAlignedControlsFollow) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    auto* client = new TPanel(&form);
    client->SetParent(&form);
    client->SetAlign(alClient);
    int heightWithoutMenu = form.ClientHeight();
    EXPECT_EQ(client->Height(), heightWithoutMenu);
    TMainMenu menu(&form);
    auto* item = new TMenuItem(&form);
    item->SetCaption("&File");
    menu.Items()->Add(item);
    form.SetMenu(&menu);
    EXPECT_LT(form.ClientHeight(), heightWithoutMenu);
    EXPECT_EQ(client->Height(), form.ClientHeight());
    form.SetMenu(nullptr);
    EXPECT_EQ(client->Height(), heightWithoutMenu);
}

// Paints red over its whole area.
class RedBlock : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;

protected:
    void Paint() override {
        Canvas().Brush.Color = clRed;
        Canvas().FillRect(ClientRect());
    }
};

TEST(Controls, AFreedGraphicControlDisappearsFromItsParentsWindow) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 150);
    form.SetColor(clWhite);
    auto* block = new RedBlock(&form);
    block->SetParent(&form);
    block->SetBounds(10, 10, 30, 30);
    form.Show();
    ASSERT_TRUE(WaitFor([&] { return PaintedPixel(form, 20, 20) == clRed; }));
    delete block;
    EXPECT_TRUE(WaitFor([&] { return PaintedPixel(form, 20, 20) == clWhite; }));
}

TEST(CheckBox, ANewCheckedStateFiresOnClickOnceWhetherSetOrClicked) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 100);
    auto* box = new TCheckBox(&form);
    box->SetParent(&form);
    box->SetBounds(10, 10, 120, 20);
    box->SetCaption("Filter 3");
    std::vector<bool> clicks; // the state each OnClick saw
    box->OnClick = [&](TObject* sender) {
        clicks.push_back(CheckedCast<TCheckBox>(sender)->Checked());
    };
    form.Show();
    ASSERT_TRUE(WaitFor([&] { return form.Window()->isVisible(); }));

    box->SetChecked(true);
    box->SetChecked(true); // the same value again: nothing
    EXPECT_EQ(clicks, std::vector<bool>{true});
    EXPECT_TRUE(static_cast<QCheckBox*>(box->Widget())->isChecked());
    QTest::mouseClick(box->Widget(), Qt::LeftButton, {}, QPoint(8, 10));
    EXPECT_EQ(clicks, (std::vector<bool>{true, false}));
    EXPECT_FALSE(box->Checked());
    box->SetFocus();
    QTest::keyClick(box->Widget(), Qt::Key_Space);
    EXPECT_EQ(clicks, (std::vector<bool>{true, false, true}));
    EXPECT_TRUE(box->Checked());
    box->SetChecked(false);
    EXPECT_EQ(clicks, (std::vector<bool>{true, false, true, false}));
}

// A shown form with a panel and, on the panel, a graphic control at (10, 20), 30 x 20.
struct MouseFixture {
    MouseFixture() {
        form.SetName("Form");
        form.SetBounds(0, 0, 300, 200);
        panel->SetName("Panel");
        panel->SetParent(&form);
        panel->SetBounds(20, 20, 150, 100);
        graphic->SetName("Graphic");
        graphic->SetParent(panel);
        graphic->SetBounds(10, 20, 30, 20);
        graphic->OnClick = [this](TObject* sender) {
            EXPECT_EQ(sender, graphic);
            ++clicks;
        };
        panel->OnClick = [this](TObject*) {
            ++panelClicks;
        };
        form.Show();
        EXPECT_TRUE(WaitFor([&] { return form.Window()->isVisible() && graphic->Paints > 0; }));
    }
    NotificationLog log;
    RecordingForm form{nullptr, &log};
    RecordingPanel* panel = new RecordingPanel(&form, &log);
    RecordingGraphic* graphic = new RecordingGraphic(&form, &log);
    int clicks = 0;
    int panelClicks = 0;
};

TEST(Mouse, AClickOnAGraphicControlThroughItsParentsWindowFiresItsOnClickOnce) {
    MouseFixture fixture;
    QTest::mouseClick(fixture.panel->Widget(), Qt::LeftButton, {}, QPoint(15, 25));
    EXPECT_EQ(fixture.clicks, 1);
    EXPECT_EQ(fixture.panelClicks, 0);
    QTest::mouseClick(fixture.panel->Widget(), Qt::LeftButton, {}, QPoint(100, 80));
    EXPECT_EQ(fixture.clicks, 1);
    EXPECT_EQ(fixture.panelClicks, 1);
}

TEST(Mouse, AButtonReleasedOutsideTheControlIsNoClick) {
    MouseFixture fixture;
    QTest::mousePress(fixture.panel->Widget(), Qt::LeftButton, {}, QPoint(15, 25));
    QTest::mouseRelease(fixture.panel->Widget(), Qt::LeftButton, {}, QPoint(100, 80));
    EXPECT_EQ(fixture.clicks, 0);
    EXPECT_EQ(fixture.panelClicks, 0);
}

TEST(Mouse, AClickOnAHiddenOrDisabledGraphicControlGoesToItsParent) {
    MouseFixture fixture;
    fixture.graphic->SetEnabled(false);
    QTest::mouseClick(fixture.panel->Widget(), Qt::LeftButton, {}, QPoint(15, 25));
    fixture.graphic->SetEnabled(true);
    fixture.graphic->Hide();
    QTest::mouseClick(fixture.panel->Widget(), Qt::LeftButton, {}, QPoint(15, 25));
    EXPECT_EQ(fixture.clicks, 0);
    EXPECT_EQ(fixture.panelClicks, 2);
}

TEST(Mouse, EnterAndLeaveNotificationsAreForwardedUpToTheFormWithWParamZero) {
    MouseFixture fixture;
    fixture.log.clear();
    fixture.graphic->Perform(CM_MOUSEENTER, 0, 0);
    fixture.graphic->Perform(CM_MOUSELEAVE, 1, 0);
    EXPECT_EQ(fixture.log, (NotificationLog{"Graphic enter 0", "Panel enter 0", "Form enter 0",
                                            "Graphic leave 1", "Panel leave 0", "Form leave 0"}));
}

TEST(Mouse, MovingThePointerSendsLeaveToTheOldControlBeforeEnterToTheNewOne) {
    MouseFixture fixture;
    QTest::mouseMove(fixture.panel->Widget(), QPoint(100, 80));
    ASSERT_TRUE(WaitFor([&] { return platform::MouseTracker::hovered() == fixture.panel; }));
    fixture.log.clear();
    QTest::mouseMove(fixture.panel->Widget(), QPoint(15, 25));
    ASSERT_TRUE(WaitFor([&] { return platform::MouseTracker::hovered() == fixture.graphic; }));
    QTest::mouseMove(fixture.panel->Widget(), QPoint(100, 80));
    ASSERT_TRUE(WaitFor([&] { return platform::MouseTracker::hovered() == fixture.panel; }));
    EXPECT_EQ(fixture.log,
              (NotificationLog{"Panel leave 0", "Form leave 0", "Graphic enter 0", "Panel enter 0",
                               "Form enter 0", "Graphic leave 0", "Panel leave 0", "Form leave 0",
                               "Panel enter 0", "Form enter 0"}));
}

} // namespace
