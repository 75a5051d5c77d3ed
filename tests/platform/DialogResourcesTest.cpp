// The probes' dialog templates as the build wrote them into this program's
// resources: each there once, in its language, the same as its table control
// by control, texts that need quoting and texts beyond ASCII among them.

#include <gtest/gtest.h>

#include <functional>

#include "platform/Styles.h"
#include "tests/platform/ProbeResources.h"
#include "tests/support/DialogResources.h"

namespace quotamin::test {
namespace {

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += "\n  " + line;
    }
    return text;
}

TEST(DialogResources, EveryTemplateOfTheTableIsInTheModuleAsTheTableHasIt) {
    const std::vector<std::string> differences =
        testing::DialogResourceDifferences(ProbeResources());
    EXPECT_TRUE(differences.empty()) << Lines(differences);
}

// The comparison itself: a table that differs from the module in one point is
// told from it by that point.
TEST(DialogResources, ADifferenceFromTheModuleIsNamed) {
    struct Case {
        const char* change;
        std::function<void(ResourceTable&)> apply;
        const char* difference;
    };
    const Case cases[] = {
        {"language", [](ResourceTable& t) { t.dialogs[2].language = 0x0409; },
         "dialog 902: in the languages { 2057 } instead of only 1033"},
        {"title", [](ResourceTable& t) { t.dialogs[2].title = "Say cheese"; },
         "dialog 902: title \"Say \"cheese\", C:\\new\\ caf\\u00E9\" in the module, "
         "\"Say cheese\" in the table"},
        {"control text", [](ResourceTable& t) { t.dialogs[0].controls[2].text = "Bob"; },
         "dialog 900, control 3 (id 1203): text \"Box\" in the module, \"Bob\" in the table"},
        {"control style", [](ResourceTable& t) { t.dialogs[0].controls[0].style |= WS_DISABLED; },
         "dialog 900, control 1 (id 1201): style 0x50810080 in the module, 0x58810080"},
        {"icon", [](ResourceTable& t) { t.dialogs[2].controls[1].iconResource = 129; },
         "text ordinal 128 in the module, ordinal 129 in the table"},
        {"font", [](ResourceTable& t) { t.dialogs[1].pointSize = 9; },
         "dialog 901: point size 8 in the module, 9 in the table"},
        {"a control less", [](ResourceTable& t) { t.dialogs[3].controls.clear(); },
         "dialog 903: control count 0x1 in the module, 0x0 in the table"},
        {"a dialog less", [](ResourceTable& t) { t.dialogs.pop_back(); },
         "the module: dialog count 0x4 in the module, 0x3 in the table"},
    };
    for (const Case& c : cases) {
        ResourceTable table = ProbeResources();
        c.apply(table);
        const std::string differences = Lines(testing::DialogResourceDifferences(table));
        EXPECT_NE(differences.find(c.difference), std::string::npos)
            << c.change << ":" << differences;
    }
}

}  // namespace
}  // namespace quotamin::test
