#include <gtest/gtest.h>

#include "platform/Resources.h"

namespace quotamin {
namespace {

TEST(ApplicationName, IsTheProgramFileNameWithoutDirectoryAndExtension) {
    struct Case {
        const char* path;
        const char* name;
    };
    const Case cases[] = {
        {"C:\\Program Files\\Quotamin\\diduvavi.exe", "diduvavi"},
        {"diduvavi.exe", "diduvavi"},
        {"C:\\tools.d\\quota", "quota"},
        {"C:\\x\\my.tool.exe", "my.tool"},
        {"Z:/home/ci/build/platform_test.exe", "platform_test"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ApplicationNameFromPath(c.path), c.name) << c.path;
    }
}

}  // namespace
}  // namespace quotamin
