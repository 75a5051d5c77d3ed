// The program file as built carries the four dialog templates of the C++
// resource table, each once and in its language, control by control as the
// table has them.

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/DialogResources.h"
#include "ui/ProgramResources.h"
#include "ui/ResourceIds.h"
// Last: see platform/WindowsHeaderOrder.h.
#include "platform/win32/Win32.h"

namespace quotamin {
namespace {

std::string ProgramFile() {
    char self[MAX_PATH + 1] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    return (std::filesystem::path(self).parent_path() / QUOTAMIN_PROGRAM_FILE).string();
}

TEST(ProgramFile, CarriesTheDialogTemplatesOfTheTableInTheirLanguages) {
    const ResourceTable table = ProgramResources();
    // Main window and about box in US English, administration and change
    // password in UK English.
    const std::pair<int, std::uint16_t> languages[] = {{IDD_QUOTAMIN_DIALOG, 0x0409},
                                                       {IDD_ADMIN_DIALOG, 0x0809},
                                                       {IDD_CHANGE_PASSWORD_DIALOG, 0x0809},
                                                       {IDD_ABOUTBOX, 0x0409}};
    ASSERT_EQ(table.dialogs.size(), std::size(languages));
    for (const auto& [id, language] : languages) {
        ASSERT_NE(table.FindDialog(id), nullptr) << id;
        EXPECT_EQ(table.FindDialog(id)->language, language) << id;
    }
    std::string differences;
    for (const std::string& line : testing::DialogResourceDifferences(table, ProgramFile())) {
        differences += "\n  " + line;
    }
    EXPECT_EQ(differences, "") << ProgramFile();
}

}  // namespace
}  // namespace quotamin
