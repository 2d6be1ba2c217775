#include "support/TestSupport.h"

#include "platform/Forms.h"
#include "platform/Menus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

namespace {

TMenuItem* addItem(TComponent* owner, TMenuItem* parent, const std::string& caption) {
    auto* item = new TMenuItem(owner);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

std::vector<std::string> actionTexts(const QList<QAction*>& actions) {
    std::vector<std::string> texts;
    for (QAction* action : actions)
        texts.push_back(action->text().toStdString());
    return texts;
}

// A form with "&File" (with "&Exit") and "&Help" in its menu bar.
struct MenuFixture {
    MenuFixture() {
        file = addItem(&form, menu->Items(), "&File");
        exit = addItem(&form, file, "&Exit");
        help = addItem(&form, menu->Items(), "&Help");
        form.SetMenu(menu);
    }
    TForm form{nullptr};
    TMainMenu* menu = new TMainMenu(&form);
    TMenuItem* file;
    TMenuItem* exit;
    TMenuItem* help;
};

TEST(Menus, TheMenuBarShowsTheCaptionsExactlyAndInOrder) {
    MenuFixture fixture;
    QMenuBar* bar = fixture.menu->MenuBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(actionTexts(bar->actions()), (std::vector<std::string>{"&File", "&Help"}));
    ASSERT_NE(fixture.file->Action()->menu(), nullptr);
    EXPECT_EQ(actionTexts(fixture.file->Action()->menu()->actions()), std::vector<std::string>{"&Exit"});

    // Items added later, anywhere, appear where they were put.
    auto* settings = new TMenuItem(&fixture.form);
    settings->SetCaption("&Settings");
    fixture.menu->Items()->Insert(1, settings);
    auto* list = new TMenuItem(&fixture.form);
    list->SetCaption("&Card list");
    fixture.file->Insert(0, list);
    EXPECT_EQ(actionTexts(bar->actions()), (std::vector<std::string>{"&File", "&Settings", "&Help"}));
    EXPECT_EQ(actionTexts(fixture.file->Action()->menu()->actions()),
              (std::vector<std::string>{"&Card list", "&Exit"}));
    EXPECT_EQ(settings->MenuIndex(), 1);
    EXPECT_EQ(settings->Parent(), fixture.menu->Items());

    // The first item of an empty menu gives it a submenu.
    auto* about = addItem(&fixture.form, fixture.help, "&About");
    ASSERT_NE(fixture.help->Action()->menu(), nullptr);
    EXPECT_EQ(actionTexts(fixture.help->Action()->menu()->actions()), std::vector<std::string>{"&About"});

    delete about;
    EXPECT_EQ(fixture.help->Count(), 0);
    EXPECT_TRUE(fixture.help->Action()->menu()->actions().isEmpty());
    delete settings;
    EXPECT_EQ(actionTexts(bar->actions()), (std::vector<std::string>{"&File", "&Help"}));
}

TEST(Menus, ChoosingAnItemRunsItsCommandOnceAndLeavesItsCheckMarkAsTheProgramSetIt) {
    MenuFixture fixture;
    for (bool checked : {false, true}) {
        SCOPED_TRACE(checked ? "checked" : "unchecked");
        int clicks = 0;
        fixture.exit->OnClick = [&](TObject* sender) {
            EXPECT_EQ(sender, fixture.exit);
            ++clicks;
        };
        fixture.exit->SetChecked(checked);
        fixture.exit->Action()->trigger();
        EXPECT_EQ(clicks, 1);
        EXPECT_EQ(fixture.exit->Checked(), checked);
        EXPECT_EQ(fixture.exit->Action()->isChecked(), checked);
    }
}

TEST(Menus, ItemsFollowTheirEnabledVisibleAndSeparatorStates) {
    MenuFixture fixture;
    fixture.exit->SetEnabled(false);
    EXPECT_FALSE(fixture.exit->Action()->isEnabled());
    fixture.exit->SetVisible(false);
    EXPECT_FALSE(fixture.exit->Action()->isVisible());
    auto* line = addItem(&fixture.form, fixture.file, "-");
    EXPECT_TRUE(line->Action()->isSeparator());
    EXPECT_EQ(line->Caption(), "-");
}

TEST(Menus, AnItemCannotBeInTwoMenus) {
    MenuFixture fixture;
    EXPECT_THROW(fixture.help->Add(fixture.exit), EComponentError);
    EXPECT_THROW(fixture.help->Insert(5, new TMenuItem(&fixture.form)), EComponentError);
    EXPECT_EQ(fixture.exit->Parent(), fixture.file);
}

TEST(Menus, AMainMenuFreedBeforeItsFormLeavesTheFormWithoutAMenu) {
    auto fixture = std::make_unique<MenuFixture>();
    fixture->form.Show();
    ASSERT_TRUE(WaitFor([&] { return fixture->form.Window()->isVisible(); }));
    int clientHeightWithMenu = fixture->form.ClientHeight();
    delete fixture->menu;
    EXPECT_EQ(fixture->form.Menu(), nullptr);
    EXPECT_GT(fixture->form.ClientHeight(), clientHeightWithMenu);
    ProcessPendingEvents();
    fixture.reset(); // the form must not touch the freed menu
}

TEST(Menus, AFormFreedBeforeItsMenuLeavesTheMenuDetached) {
    TMainMenu menu(nullptr);
    TMenuItem item(nullptr);
    item.SetCaption("&File");
    menu.Items()->Add(&item);
    {
        TForm form(nullptr);
        form.SetMenu(&menu);
        EXPECT_NE(menu.MenuBar(), nullptr);
    }
    EXPECT_EQ(menu.MenuBar(), nullptr);
    menu.Items()->Remove(&item);
}

} // namespace
