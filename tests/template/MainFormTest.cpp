#include "template.h"

#include "SetupCtrls/RadioPanel.h"
#include "SetupCtrls/SetupSupporter.h"
#include "SetupCtrls/TwoJumper.h"
#include "platform/Reader.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The main window read from the program's own board definition, with its filter panel shown
// in place so its controls can be used directly.
class MainFormWithFilters : public ::testing::Test {
protected:
    void SetUp() override {
        FilterJumpers.fill(nullptr);
        FilterChecks.fill(nullptr);
        form = std::make_unique<TMainForm>(nullptr);
        form->SetWindowState(wsNormal);
        form->Show();
        form->FilterPanel->SetVisible(true);
        ASSERT_TRUE(WaitFor([&] { return form->FilterPanel->BackBuffer() != nullptr; }));
    }
    void TearDown() override {
        Application->OnIdle = nullptr;
        form.reset();
        FilterJumpers.fill(nullptr);
        FilterChecks.fill(nullptr);
    }

    TTwoJumper* jumper(int i) { return FilterJumpersByName(i); }
    TCheckBox* check(int i) {
        return dynamic_cast<TCheckBox*>(form->FindComponent("FilterCheck" + std::to_string(i)));
    }
    TTwoJumper* FilterJumpersByName(int i) {
        return dynamic_cast<TTwoJumper*>(form->FindComponent("FJ" + std::to_string(i)));
    }
    void clickJumper(int i) {
        TTwoJumper* j = jumper(i);
        QTest::mouseClick(form->FilterPanel->Widget(), Qt::LeftButton, {},
                          QPoint(j->Left() + j->Width() / 2, j->Top() + j->Height() / 2));
    }
    // Focus moving into the panel from outside it, as showing the popup does.
    void enterPanel() {
        form->FocusControl(check(0));
        ASSERT_TRUE(WaitFor([&] { return FilterChecks[0] != nullptr; }));
    }

    std::unique_ptr<TMainForm> form;
};

TEST(MainForm, JumpersStartWithoutNumbersAndTheTablesEmpty) {
    FilterJumpers.fill(nullptr);
    TMainForm form(nullptr);
    for (int i = 0; i < 8; ++i) {
        auto* jumper = dynamic_cast<TTwoJumper*>(form.FindComponent("FJ" + std::to_string(i)));
        ASSERT_NE(jumper, nullptr);
        EXPECT_EQ(jumper->Tag, 0) << "the definition stores no Tag for FJ" << i;
        EXPECT_EQ(FilterJumpers[i], nullptr);
    }
    Application->OnIdle = nullptr;
}

TEST_F(MainFormWithFilters, EnteringThePanelFillsTheTablesAndNumbersTheJumpers) {
    enterPanel();
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(FilterJumpers[i], jumper(i));
        EXPECT_EQ(FilterChecks[i], check(i));
        EXPECT_EQ(jumper(i)->Tag, i);
        EXPECT_EQ(check(i)->Tag, i);
    }
}

TEST_F(MainFormWithFilters, ClickingABoxClosesItsJumperOnly) {
    enterPanel();
    QCheckBox* box = static_cast<QCheckBox*>(check(3)->Widget());
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    EXPECT_TRUE(check(3)->Checked());
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(jumper(i)->Closed(), i == 3) << "FJ" << i;
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    EXPECT_FALSE(check(3)->Checked());
    EXPECT_FALSE(jumper(3)->Closed());
}

TEST_F(MainFormWithFilters, TheSpaceKeyOnABoxActsAsAClick) {
    enterPanel();
    form->FocusControl(check(6));
    QTest::keyClick(check(6)->Widget(), Qt::Key_Space);
    EXPECT_TRUE(check(6)->Checked());
    EXPECT_TRUE(jumper(6)->Closed());
}

TEST_F(MainFormWithFilters, ClickingAJumperSetsItsBoxAndFiltersCombine) {
    enterPanel();
    clickJumper(5);
    EXPECT_TRUE(jumper(5)->Closed());
    EXPECT_TRUE(check(5)->Checked());
    clickJumper(1);
    EXPECT_TRUE(check(1)->Checked());
    EXPECT_TRUE(check(5)->Checked()) << "turning one filter on never turns another off";
    clickJumper(5);
    EXPECT_FALSE(jumper(5)->Closed());
    EXPECT_FALSE(check(5)->Checked());
    EXPECT_TRUE(check(1)->Checked());
}

TEST_F(MainFormWithFilters, FocusLeavingAndReenteringThePanelChangesNoFilter) {
    enterPanel();
    clickJumper(2);
    form->FocusControl(check(7));
    form->FocusControl(check(0));
    ProcessPendingEvents();
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(jumper(i)->Closed(), i == 2) << i;
        EXPECT_EQ(check(i)->Checked(), i == 2) << i;
    }
}

TEST_F(MainFormWithFilters, HandlersRefuseASenderOfTheWrongClass) {
    enterPanel();
    EXPECT_THROW(form->FilterCheckClick(jumper(0)), EInvalidCast);
    EXPECT_THROW(form->TwoJumperClick(check(0)), EInvalidCast);
}

TEST_F(MainFormWithFilters, RowsRunFromFilter7AtTheTopToFilter0AtTheBottom) {
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(check(i)->Top(), 128 - 16 * i);
        EXPECT_EQ(jumper(i)->Top(), 128 - 16 * i);
        EXPECT_GT(jumper(i)->Left(), check(i)->Left() + check(i)->Width());
        EXPECT_EQ(check(i)->Caption(), "Filter " + std::to_string(i));
    }
}

TEST(MainForm, TheSetupSupportersIdleHandlerRunsExactlyOnce) {
    TMainForm form(nullptr);
    ASSERT_TRUE(Application->OnIdle) << "the creation handler installs the supporter's idle handler";
    int calls = 0;
    TIdleEvent installed = Application->OnIdle;
    Application->OnIdle = [&](TObject* sender, bool& done) {
        ++calls;
        installed(sender, done);
    };
    ASSERT_TRUE(WaitFor([&] { return calls > 0; }));
    EXPECT_FALSE(Application->OnIdle) << "the handler removes itself";
    EXPECT_TRUE(form.SetSup->SetupDone());
    // The application goes idle many more times; nothing runs again.
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::postEvent(form.Widget(), new QEvent(QEvent::User));
        ProcessPendingEvents();
    }
    EXPECT_EQ(calls, 1);
}

TEST(MainForm, TheFilterPanelIsHiddenOnTheMainWindow) {
    TMainForm form(nullptr);
    EXPECT_FALSE(form.FilterPanel->Visible());
    EXPECT_EQ(form.Caption(), "Setup");
    EXPECT_EQ(form.WindowState(), wsMaximized);
    Application->OnIdle = nullptr;
}

} // namespace

namespace {

// Every truncation of the program's own definition, and an unknown property at each line of it,
// is refused with a read error naming the definition and the line; the half-built window is torn
// down cleanly wherever reading stopped (the sanitizer build checks that).
TEST(MainForm, EveryBrokenDefinitionIsAReadErrorAndNothingElse) {
    std::string definition = DefinitionReader::ReadTextFile(TMainForm::DefinitionPath);
    std::vector<std::string> lines;
    for (size_t start = 0, end; start < definition.size(); start = end + 1) {
        end = definition.find('\n', start);
        lines.push_back(definition.substr(start, end - start));
    }
    ASSERT_GT(lines.size(), 100u);
    auto expectReadError = [](const std::string& text, const std::string& where) {
        try {
            TMainForm form(nullptr, text, TMainForm::DefinitionPath);
            ADD_FAILURE() << "a broken definition was accepted";
        } catch (const EReadError& error) {
            EXPECT_NE(std::string(error.what()).find(where), std::string::npos) << error.what();
        }
        Application->OnIdle = nullptr;
    };
    auto join = [&](size_t count, size_t broken) {
        std::string text;
        for (size_t i = 0; i < count; ++i)
            text +=
                (i == broken ? "  Nonsense" + lines[i].substr(lines[i].find_first_not_of(' ')) : lines[i]) +
                "\n";
        return text;
    };
    // Cutting after the last "end" leaves a whole definition; every earlier cut breaks it.
    for (size_t cut = 1; cut + 1 < lines.size(); ++cut) {
        SCOPED_TRACE("cut after line " + std::to_string(cut));
        expectReadError(join(cut, lines.size()), ":/TMainForm.board:");
    }
    // A property line renamed to an unknown property stops the reading right there.
    for (size_t line = 0; line < lines.size(); ++line) {
        if (lines[line].find(" = ") == std::string::npos || lines[line].find("'") < lines[line].find(" = "))
            continue;
        SCOPED_TRACE("broken line " + std::to_string(line + 1));
        expectReadError(join(lines.size(), line), ":/TMainForm.board:" + std::to_string(line + 1) + ":");
    }
}

} // namespace
