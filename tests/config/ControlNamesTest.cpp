#include "config/ControlNames.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace orvel {
namespace {

TEST(ControlNames, NamesFixedIdsAcrossTheTable) {
    EXPECT_EQ(ControlNames::NameOf(1000), "BTN_RECORD");
    EXPECT_EQ(ControlNames::NameOf(1001), "EDIT_TAPE");
    EXPECT_EQ(ControlNames::NameOf(1050), "BTN_SIGNALFILE");
    EXPECT_EQ(ControlNames::NameOf(1094), "BTN_SYSTRAY");
    EXPECT_EQ(ControlNames::NameOf(1127), "EDIT2");
    EXPECT_EQ(ControlNames::NameOf(1173), "EDIT_AUTHOR");
    EXPECT_EQ(ControlNames::NameOf(1175), "EDIT_PROVIDER");
    EXPECT_EQ(ControlNames::NameOf(1183), "EDIT_ALBUM");
    // The ids the code names agree with the table made from the same list.
    EXPECT_EQ(ControlNames::NameOf(ControlId::BTN_SIGNALFILE), "BTN_SIGNALFILE");
    EXPECT_EQ(ControlNames::NameOf(ControlId::EDIT_ALBUM), "EDIT_ALBUM");
    EXPECT_EQ(ControlNames::IdOf("EDIT2"), static_cast<int>(ControlId::EDIT2));
    EXPECT_FALSE(ControlNames::NameOf(ControlId::kMicrophone).has_value());
}

TEST(ControlNames, IdsWithoutAControlHaveNoName) {
    for (int id : {-1, 0, 999, 1002, 1009, 1035, 1100, 1174, 1184, 2000}) {
        EXPECT_FALSE(ControlNames::NameOf(id).has_value()) << id;
    }
    int named = 0;
    for (int id = ControlNames::kFirstId; id < ControlNames::kFirstId + ControlNames::kCount;
         ++id) {
        named += ControlNames::NameOf(id).has_value() ? 1 : 0;
    }
    EXPECT_EQ(named, 156);
}

TEST(ControlNames, EveryNameLeadsBackToItsOwnId) {
    std::set<std::string> names;
    for (int id = ControlNames::kFirstId; id < ControlNames::kFirstId + ControlNames::kCount;
         ++id) {
        if (const auto name = ControlNames::NameOf(id)) {
            EXPECT_TRUE(names.insert(std::string(*name)).second) << "twice: " << *name;
            EXPECT_EQ(ControlNames::IdOf(*name), id) << *name;
        }
    }
}

TEST(ControlNames, UnknownNamesBindNothing) {
    EXPECT_EQ(ControlNames::IdOf(""), 0);  // the ids without a control must not match it
    EXPECT_EQ(ControlNames::IdOf("btn_record"), 0);
    EXPECT_EQ(ControlNames::IdOf("BTN_RECORD "), 0);
    EXPECT_EQ(ControlNames::IdOf("BTN_RECROD"), 0);
}

}  // namespace
}  // namespace orvel
