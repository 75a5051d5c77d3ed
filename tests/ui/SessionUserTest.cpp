#include "ui/SessionUser.h"

#include <gtest/gtest.h>

namespace quotamin {
namespace {

TEST(SessionUserTest, UnreadableNameGetsAStandInNoAccountCanHave) {
    EXPECT_EQ(UserNameOrStandIn("Bob"), "Bob");
    EXPECT_EQ(UserNameOrStandIn(std::string(250, 'n')), std::string(250, 'n'));
    EXPECT_EQ(UserNameOrStandIn(std::nullopt), "[unknown user]");
    EXPECT_EQ(UserNameOrStandIn(""), "[unknown user]");
    EXPECT_FALSE(SessionUserName().empty());
}

}  // namespace
}  // namespace quotamin
