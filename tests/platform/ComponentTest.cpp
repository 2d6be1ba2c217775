#include "platform/Component.h"
#include "platform/Controls.h"

#include <gtest/gtest.h>

namespace {

// Counts its own destruction so ownership can be observed.
class Probe : public TComponent {
public:
    Probe(TComponent* owner, std::vector<std::string>& log, std::string label)
        : TComponent(owner), FLog(log), FLabel(std::move(label)) {}
    ~Probe() override { FLog.push_back(FLabel); }

private:
    std::vector<std::string>& FLog;
    std::string FLabel;
};

TEST(Component, OwnerFreesOwnedComponentsLastFirst) {
    std::vector<std::string> log;
    {
        TComponent owner(nullptr);
        new Probe(&owner, log, "a");
        new Probe(&owner, log, "b");
        new Probe(&owner, log, "c");
        EXPECT_EQ(owner.ComponentCount(), 3);
    }
    EXPECT_EQ(log, (std::vector<std::string>{"c", "b", "a"}));
}

TEST(Component, FreedComponentLeavesItsOwnersList) {
    std::vector<std::string> log;
    TComponent owner(nullptr);
    auto* first = new Probe(&owner, log, "a");
    new Probe(&owner, log, "b");
    delete first;
    ASSERT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(log, std::vector<std::string>{"a"});
}

TEST(Component, NamesAreUniqueWithinTheOwnerAndMustBeIdentifiers) {
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    a->SetName("Settings1");
    EXPECT_THROW(b->SetName("settings1"), EComponentError);
    EXPECT_THROW(b->SetName("1Settings"), EComponentError);
    b->SetName("Settings2");
    EXPECT_EQ(owner.FindComponent("SETTINGS2"), b);
    EXPECT_EQ(owner.FindComponent("Settings3"), nullptr);
}

TEST(Component, ClassNamesFollowTheInheritanceChain) {
    TComponent owner(nullptr);
    TGraphicControl control(&owner);
    EXPECT_STREQ(control.ClassName(), "TGraphicControl");
    EXPECT_TRUE(control.InheritsFrom("TControl"));
    EXPECT_TRUE(control.InheritsFrom("TComponent"));
    EXPECT_FALSE(control.InheritsFrom("TWinControl"));
    EXPECT_THROW(CheckedCast<TWinControl>(&control), EInvalidCast);
}

} // namespace
