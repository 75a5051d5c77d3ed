// A power cut at any moment of a save leaves each data file loading to the
// record it held before the save or to the one the save writes: never to no
// file when there was one, nor to a short or mixed one. Once the save has
// returned, only the new record can come back. The program runs on the
// headless window system over a disk that keeps only what was made durable
// (tests/support/PowerCutSystem.h, with the rules it assumes for each platform
// and their sources); after every call that touches a file the power is cut
// in every way those rules allow, and every disk that leaves is loaded.
//
// The same for the log, which is never flushed: whatever part of its lines a
// cut keeps, every line but the last is whole.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <sstream>

#include "core/Archive.h"
#include "core/AtomicFile.h"
#include "core/FileError.h"
#include "core/PasswordCipher.h"
#include "core/PasswordStore.h"
#include "core/QuotaminConfig.h"
#include "log/TraceLog.h"
#include "platform/headless/HeadlessWindowSystem.h"
#include "session/SessionTerminator.h"
#include "session/TrayMessage.h"
#include "tests/support/HeadlessDriver.h"
#include "tests/support/PowerCutSystem.h"
#include "tests/support/SettingsBytes.h"
#include "tests/support/TestSystem.h"
#include "ui/AdminDialog.h"
#include "ui/ChangePasswordDialog.h"
#include "ui/MainDialog.h"
#include "ui/ProgramResources.h"
#include "ui/QuotaminApp.h"

namespace quotamin {
namespace {

using testing::Disk;
using testing::PowerCutSystem;
using testing::SettingsRecord;
using Platform = PowerCutSystem::Platform;
using Tearing = PowerCutSystem::Tearing;

const std::string kSettings = PowerCutSystem::File("qm-bob.dat");
const std::string kPassword = PowerCutSystem::File(PasswordStore::kFileName);

std::string PasswordFile(const std::string& password) {
    Archive archive;
    archive.WriteCount(static_cast<std::uint32_t>(password.size()));
    archive.WriteBytes(PasswordCipher::Encipher(password));
    return archive.StoredBytes();
}

// What loading one data file from a disk gives.
struct Loaded {
    enum Kind { Missing, Record, Failure } kind = Missing;
    // The settings record's 20 bytes, the plain password, or the error's text.
    std::string value;
    bool operator==(const Loaded&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Loaded& loaded) {
    static const char* const kinds[] = {"missing", "record", "failure"};
    out << kinds[loaded.kind];
    if (loaded.kind != Loaded::Missing) {
        out << " [";
        for (const char c : loaded.value) {
            out << ' ' << static_cast<int>(static_cast<unsigned char>(c));
        }
        out << " ]";
    }
    return out;
}

Loaded Settings(const std::string& bytes) {
    return {Loaded::Record, bytes};
}

Loaded Password(const std::string& text) {
    return {Loaded::Record, text};
}

Loaded LoadSettings(const Disk& disk) {
    PowerCutSystem system({}, disk);
    QuotaminConfig config(system);
    config.m_filePath = kSettings;
    if (!config.Load()) {
        return {};
    }
    Archive archive;
    config.Serialize(archive);
    return Settings(archive.StoredBytes());
}

Loaded LoadPassword(const Disk& disk) {
    PowerCutSystem system({}, disk);
    PasswordStore store(system);
    try {
        if (!store.Load()) {
            return {};
        }
    } catch (const FileError& error) {
        return {Loaded::Failure, error.what()};
    }
    return Password(store.GetPassword());
}

// Cuts the power after every call of `system` and loads both files from
// every disk each cut can leave; each must give its record from before the
// save or the one saved.
class PowerCuts {
  public:
    PowerCuts(PowerCutSystem& system, Loaded settings, Loaded password)
        : m_system(system), m_settings{settings, settings}, m_password{password, password} {
        m_system.afterEachCall = [this](const char* call) { Check(call, false); };
    }
    PowerCuts(const PowerCuts&) = delete;
    PowerCuts& operator=(const PowerCuts&) = delete;
    ~PowerCuts() { m_system.afterEachCall = nullptr; }

    void ExpectSettingsSaved(Loaded record) { m_settings.after = std::move(record); }
    void ExpectPasswordSaved(Loaded record) { m_password.after = std::move(record); }
    // The save has returned: from now on a cut must give back what it saved.
    void CheckSaveKept() { Check("after the save returned", true); }

    const std::vector<std::string>& Failures() const { return m_failures; }
    // Cuts that left the changed file holding its old record, and its new one.
    int CutsFindingOld() const { return m_findingOld; }
    int CutsFindingNew() const { return m_findingNew; }

  private:
    struct Records {
        Loaded before, after;
        bool Allows(const Loaded& loaded, bool saved) const {
            return loaded == after || (!saved && loaded == before);
        }
        bool Changes() const { return !(before == after); }
    };

    void Check(const char* call, bool saved) {
        bool old = false;
        bool fresh = false;
        for (const Disk& disk : m_system.PowerCutOutcomes()) {
            const Loaded settings = LoadSettings(disk);
            const Loaded password = LoadPassword(disk);
            const Records& changed = m_password.Changes() ? m_password : m_settings;
            const Loaded& loaded = m_password.Changes() ? password : settings;
            old = old || (changed.Changes() && loaded == changed.before);
            fresh = fresh || (changed.Changes() && loaded == changed.after);
            if (m_settings.Allows(settings, saved) && m_password.Allows(password, saved)) {
                continue;
            }
            if (m_failures.size() < 8) {
                std::ostringstream failure;
                failure << "cut after " << call << ": settings " << settings << " (saving "
                        << m_settings.after << "), password " << password << " (saving "
                        << m_password.after << ")";
                m_failures.push_back(failure.str());
            }
        }
        m_findingOld += old ? 1 : 0;
        m_findingNew += fresh ? 1 : 0;
    }

    PowerCutSystem& m_system;
    Records m_settings;
    Records m_password;
    std::vector<std::string> m_failures;
    int m_findingOld = 0;
    int m_findingNew = 0;
};

class NoTerminator : public SessionTerminator {
  public:
    bool LogOff() override { return false; }
    bool ForceShutdown() override { return false; }
};

// The whole program for the user bob, on the headless window system.
class Program {
  public:
    explicit Program(System& system)
        : app(system, windowSystem, terminator,
              TraceLog(log.File("quotamin.log"), [] { return std::optional<std::tm>(); }),
              [] { return std::string("bob"); }) {}
    ~Program() { m_running.reset(); }

    void Start() {
        m_running.emplace(ui.Start([this] { app.InitInstance(); }));
    }
    void OpenAdministration() {
        ui.Send(ui.FindDialog(MainDialog::kTemplateId), WM_TRAYNOTIFY, 128, 513);
        ui.SetText(MainDialog::kPasswordEditId, "quiltbay");
        ui.Click(MainDialog::kLoginButtonId);
        ASSERT_NE(ui.FindDialog(AdminDialog::kTemplateId), WindowHandle{});
    }
    void ChangePassword(const std::string& oldText, const std::string& newText) {
        ui.Click(AdminDialog::kChangePasswordButtonId);
        ui.SetText(ChangePasswordDialog::kOldPasswordEditId, oldText);
        ui.SetText(ChangePasswordDialog::kNewPasswordEditId, newText);
        ui.SetText(ChangePasswordDialog::kRepeatPasswordEditId, newText);
        ui.PressEnter();
        ASSERT_EQ(ui.TopMessageBox().text,
                  "The new password has been saved - remember to use this password in the "
                  "future.");
    }

    testing::TempDirectory log;
    HeadlessWindowSystem windowSystem{ProgramResources()};
    testing::HeadlessDriver ui{windowSystem};
    NoTerminator terminator;
    QuotaminApp app;

  private:
    std::optional<testing::HeadlessDriver::Running> m_running;
};

// --- The program's saves, through the program itself ---

// How the new content reaches the file.
enum class Way {
    Beside,            // written beside it and put in its place
    InPlaceNoNewFile,  // in place: no file can be made in the directory
    InPlaceNoReplace,  // in place: the file beside cannot take its place
};

struct Save {
    const char* name;
    Disk given;  // the disk before the program starts, all of it durable
    std::function<void(Program&)> act;
    Loaded settingsSaved;
    std::optional<Loaded> passwordSaved;  // none: the password stays
};

const std::string kRecord = SettingsRecord(1, 90, 50, 1, 17);

std::vector<Save> Saves() {
    const auto nothing = [](Program&) {};
    return {
        {"SetUserForANewUser",
         {},
         nothing,
         Settings(SettingsRecord(0, 120, 120, 1, 17)),
         std::nullopt},
        {"SetUserOnANewDay",
         {{kSettings, SettingsRecord(1, 90, 30, 1, 16)}},
         nothing,
         Settings(SettingsRecord(1, 90, 90, 1, 17)),
         std::nullopt},
        {"MinuteTick",
         {{kSettings, kRecord}},
         [](Program& p) { p.ui.AdvanceBy(std::chrono::minutes(1)); },
         Settings(SettingsRecord(1, 90, 49, 1, 17)),
         std::nullopt},
        {"AdministrationOk",
         {{kSettings, kRecord}},
         [](Program& p) {
             p.OpenAdministration();
             p.ui.SetText(AdminDialog::kMinutesAllowedEditId, "1440");
             p.ui.SetText(AdminDialog::kMinutesRemainingEditId, "2");
             p.ui.Click(AdminDialog::kShutdownRadioId);
             p.ui.Click(IDOK);
             ASSERT_EQ(p.ui.FindDialog(AdminDialog::kTemplateId), WindowHandle{});
         },
         Settings(SettingsRecord(1, 1440, 2, 0, 17)),
         std::nullopt},
        {"FirstPassword",
         {{kSettings, kRecord}},
         [](Program& p) {
             p.OpenAdministration();
             p.ChangePassword("quiltbay", "Tea Pot");
         },
         Settings(kRecord),
         Password("Tea Pot")},
        {"LongerPassword",
         {{kSettings, kRecord}, {kPassword, PasswordFile("quiltbay")}},
         [](Program& p) {
             p.OpenAdministration();
             p.ChangePassword("quiltbay", "a password longer than the old one");
         },
         Settings(kRecord),
         Password("a password longer than the old one")},
        {"ShorterPassword",
         {{kSettings, kRecord}, {kPassword, PasswordFile("quiltbay")}},
         [](Program& p) {
             p.OpenAdministration();
             p.ChangePassword("quiltbay", "abc");
         },
         Settings(kRecord),
         Password("abc")},
    };
}

using SaveCase = std::tuple<Save, Way, Platform>;

void PrintTo(const Save& save, std::ostream* out) {
    *out << save.name;
}

// Every save every way on both platforms; in place only where there is a file.
std::vector<SaveCase> SaveCases() {
    std::vector<SaveCase> cases;
    for (const Save& save : Saves()) {
        const std::string& file = save.passwordSaved ? kPassword : kSettings;
        for (const Way way : {Way::Beside, Way::InPlaceNoNewFile, Way::InPlaceNoReplace}) {
            if (way != Way::Beside && save.given.count(file) == 0) {
                continue;
            }
            for (const Platform platform : {Platform::Posix, Platform::Windows}) {
                cases.emplace_back(save, way, platform);
            }
        }
    }
    return cases;
}

class PowerCutSaveTest : public ::testing::TestWithParam<SaveCase> {};

TEST_P(PowerCutSaveTest, EveryCutLeavesTheOldRecordOrTheNewOne) {
    const auto& [save, way, platform] = GetParam();
    PowerCutSystem system({.platform = platform}, save.given);
    system.refuseNewFiles = way == Way::InPlaceNoNewFile;
    system.refuseReplace = way == Way::InPlaceNoReplace;
    const Loaded settingsBefore = LoadSettings(save.given);
    const Loaded passwordBefore = LoadPassword(save.given);
    Program program(system);
    {
        PowerCuts cuts(system, settingsBefore, passwordBefore);
        cuts.ExpectSettingsSaved(save.settingsSaved);
        cuts.ExpectPasswordSaved(save.passwordSaved.value_or(passwordBefore));
        program.Start();
        save.act(program);
        if (HasFatalFailure()) {
            return;
        }
        cuts.CheckSaveKept();
        for (const std::string& failure : cuts.Failures()) {
            ADD_FAILURE() << failure;
        }
        EXPECT_GT(cuts.CutsFindingOld(), 0) << "no cut came before the save";
        EXPECT_GT(cuts.CutsFindingNew(), 1) << "no cut before the save returned found it saved";
    }
    EXPECT_EQ(program.ui.OpenMessageBoxes().size(), save.passwordSaved ? 1u : 0u)
        << "a save failed";
}

std::string SaveCaseName(const ::testing::TestParamInfo<SaveCase>& info) {
    const auto& [save, way, platform] = info.param;
    static const char* const ways[] = {"Beside", "InPlaceNoNewFile", "InPlaceNoReplace"};
    return std::string(save.name) + "_" + ways[static_cast<int>(way)] +
           (platform == Platform::Posix ? "_Posix" : "_Windows");
}

INSTANTIATE_TEST_SUITE_P(ProgramSaves, PowerCutSaveTest, ::testing::ValuesIn(SaveCases()),
                         SaveCaseName);

// --- What the cuts find where a save is not safe ---

// Each of these saves can leave a file that loading must never find, and the
// cuts must find it: the first three are ways of saving that the program
// avoids, the last two the limits of writing in place.
struct UnsafeSave {
    const char* name;
    PowerCutSystem::Rules rules;
    Disk given;
    std::function<void(PowerCutSystem&)> save;
    bool password;  // the file that goes wrong: the password's, else the settings'
    std::function<bool(const Loaded&)> wrong;
};

void PrintTo(const UnsafeSave& save, std::ostream* out) {
    *out << save.name;
}

const std::string kOtherRecord = SettingsRecord(0, 1440, 2, 0, 17);
const std::string kOldPassword(600, 'o');
const std::string kNewPassword(600, 'n');

std::vector<UnsafeSave> UnsafeSaves() {
    const auto inPlace = [](PowerCutSystem& system) { system.refuseNewFiles = true; };
    const auto saveSettings = [inPlace](bool place) {
        return [inPlace, place](PowerCutSystem& system) {
            if (place) {
                inPlace(system);
            }
            ReplaceFileContent(system, kSettings, kOtherRecord);
        };
    };
    const auto isMissing = [](const Loaded& loaded) { return loaded.kind == Loaded::Missing; };
    const auto isMixed = [](const std::string& before, const std::string& after) {
        return [before, after](const Loaded& loaded) {
            return loaded.kind == Loaded::Record && loaded.value != before && loaded.value != after;
        };
    };
    return {
        // The new file takes the old one's name before its bytes are flushed.
        {"RenamedBeforeItsDataIsFlushed",
         {.platform = Platform::Posix},
         {{kSettings, kRecord}},
         [](PowerCutSystem& system) {
             system.CreateForWriting(PendingPathFor(kSettings))
                 ->Write(SettingsRecord(1, 90, 49, 1, 17));
             system.ReplaceWith(PendingPathFor(kSettings), kSettings);
         },
         false,
         isMissing},
        // ReplaceFileA, in the old file's place: removes it, then moves the
        // new one in, neither written through.
        {"ReplaceFileA",
         {.platform = Platform::Windows, .replaceFileA = true},
         {{kSettings, kRecord}},
         saveSettings(false),
         false,
         isMissing},
        // A longer file written in place in one write, without growing it first.
        {"GrownInTheSameWrite",
         {.platform = Platform::Posix},
         {{kSettings, kRecord}, {kPassword, PasswordFile("quiltbay")}},
         [](PowerCutSystem& system) {
             auto file = system.OpenForRewriting(kPassword);
             file->Write(PasswordFile("a longer password"));
             file->Flush();
         },
         true,
         [](const Loaded& loaded) { return loaded.kind == Loaded::Failure; }},
        // In place, the record lies in one sector and is safe only if the
        // disk writes a sector whole.
        {"InPlaceOnADiskThatTearsSectors",
         {.platform = Platform::Posix, .tearing = Tearing::Bytes},
         {{kSettings, kRecord}},
         saveSettings(true),
         false,
         isMixed(kRecord, kOtherRecord)},
        // In place, a password longer than a sector can land in part.
        {"InPlaceLongerThanASector",
         {.platform = Platform::Windows},
         {{kSettings, kRecord}, {kPassword, PasswordFile(kOldPassword)}},
         [inPlace](PowerCutSystem& system) {
             inPlace(system);
             PasswordStore store(system);
             store.SetPassword(kNewPassword);
             store.Save();
         },
         true,
         isMixed(kOldPassword, kNewPassword)},
    };
}

class PowerCutUnsafeSaveTest : public ::testing::TestWithParam<UnsafeSave> {};

TEST_P(PowerCutUnsafeSaveTest, SomeCutLeavesAFileNoLoadMayFind) {
    const UnsafeSave& unsafe = GetParam();
    PowerCutSystem system(unsafe.rules, unsafe.given);
    bool found = false;
    system.afterEachCall = [&](const char*) {
        for (const Disk& disk : system.PowerCutOutcomes()) {
            found =
                found || unsafe.wrong(unsafe.password ? LoadPassword(disk) : LoadSettings(disk));
        }
    };
    unsafe.save(system);
    EXPECT_TRUE(found);
}

INSTANTIATE_TEST_SUITE_P(Saves, PowerCutUnsafeSaveTest, ::testing::ValuesIn(UnsafeSaves()),
                         [](const auto& test) { return std::string(test.param.name); });

// --- The log ---

// The log is never flushed, so a power cut keeps of its new lines only what
// the system happened to write. That it writes a file's appended bytes in
// the order they came is assumed here: on Linux, ext4 in its default
// data=ordered mode flushes the data of a file before the journal records
// the length that covers it ("If data=writeback, dirty data blocks are not
// flushed to the disk before the metadata are written", kernel documentation
// filesystems/ext4/journal.rst), so the file comes back with the bytes up to
// some length; NTFS logs the length but not the data (ntfsrecover(8)), so
// the length can come back ahead of the data, and what was not written then
// reads as zeros (assumed: never as another file's old bytes). No file
// system promises the order for data that was never flushed; where it is not
// kept, a cut can lose lines before the last one too.
//
// Every way a cut leaves the log: what it held before, the appended bytes up
// to some point, and then zeros up to the end of some later append.
std::vector<std::string> LogOutcomes(const std::string& before,
                                     const std::vector<std::string>& appends) {
    std::string appended;
    std::vector<std::size_t> ends;
    for (const std::string& append : appends) {
        appended += append;
        ends.push_back(appended.size());
    }
    std::vector<std::string> outcomes;
    for (std::size_t kept = 0; kept <= appended.size(); ++kept) {
        const std::string outcome = before + appended.substr(0, kept);
        outcomes.push_back(outcome);
        for (const std::size_t end : ends) {
            if (end > kept) {
                outcomes.push_back(outcome + std::string(end - kept, '\0'));
            }
        }
    }
    return outcomes;
}

TEST(PowerCutLogTest, EveryCutLeavesWholeLinesAndAtMostTheLastOneCut) {
    testing::TempDirectory directory;
    const std::string path = directory.File("quotamin.log");
    testing::WriteBytes(path, "12/11/26 08:59:00: an earlier run\r\n");
    const std::string before = testing::ReadBytes(path);
    std::tm time{};
    time.tm_year = 126;
    time.tm_mon = 11;
    time.tm_mday = 11;
    TraceLog log(path, [&time] { return std::optional<std::tm>(time); });

    std::vector<std::string> lines;
    const auto cutEverywhere = [&] {
        for (const std::string& outcome : LogOutcomes(before, lines)) {
            ASSERT_EQ(outcome.substr(0, before.size()), before);
            std::string_view rest = std::string_view(outcome).substr(before.size());
            std::size_t whole = 0;
            while (whole < lines.size() && rest.substr(0, lines[whole].size()) == lines[whole]) {
                rest.remove_prefix(lines[whole++].size());
            }
            // What follows the whole lines: the start of the next line, then zeros.
            if (whole < lines.size()) {
                std::size_t start = 0;
                while (start < rest.size() && rest[start] == lines[whole][start]) {
                    ++start;
                }
                rest.remove_prefix(start);
            }
            EXPECT_EQ(rest.find_first_not_of('\0'), std::string_view::npos)
                << "a cut line that is not the last, after " << whole << " whole lines";
        }
    };
    const auto writeLine = [&](const auto& text) {
        const std::string logged = testing::ReadBytes(path);
        text(log.BeginLine());
        log.EndLine();
        // One append, of one whole line, after what was there.
        const std::string now = testing::ReadBytes(path);
        ASSERT_EQ(now.substr(0, logged.size()), logged);
        const std::string line = now.substr(logged.size());
        ASSERT_EQ(line.find("\r\n"), line.size() - 2) << line;
        lines.push_back(line);
        cutEverywhere();
        time.tm_sec += 1;
    };
    writeLine([](auto& out) { out << "==================== OnInitDialog ======================"; });
    for (std::int32_t minute = 1; minute <= 3; ++minute) {
        writeLine([minute](auto& out) { out << "OnTimer elapsed=" << minute; });
        writeLine([](auto& out) { out << "TrayMessage, " << std::uint32_t{1}; });
    }
}

}  // namespace
}  // namespace quotamin
