#include "core/QuotaminConfig.h"

#include "core/AtomicFile.h"
#include "core/FileError.h"
#include "core/PasswordStore.h"
#include "core/System.h"

namespace quotamin {

QuotaminConfig::QuotaminConfig(System& system) : m_system(system) {}

std::string QuotaminConfig::FileNameFor(const std::string& userName) {
    std::string name = "qm-" + userName + ".dat";
    // The user whose name makes the password file's name, in any letter case
    // (Windows compares file names so), gets brackets around the name instead:
    // no Windows user name holds a bracket, so no other user's file is hit.
    if (m_system.UpperCase(name) == m_system.UpperCase(PasswordStore::kFileName)) {
        name = "qm-[" + userName + "].dat";
    }
    return name;
}

void QuotaminConfig::SetUser(const std::string& userName) {
    m_userName = userName;
    m_filePath = m_system.WindowsDirectory() + kPathSeparator + FileNameFor(m_userName);
    if (!Load()) {
        // Without a local date the day stays as it is, and the next day that
        // can be read starts a new day.
        m_lastDay = m_system.TodayDayOfMonth().value_or(m_lastDay);
        Save();
    } else if (CheckNewDay()) {
        Save();
    }
}

bool QuotaminConfig::CheckNewDay() {
    // A clock that gives no local date gives no day either: no new day, rather
    // than a reset to a day 0 that no month has.
    const std::optional<int> today = m_system.TodayDayOfMonth();
    if (!today || *today == m_lastDay) {
        return false;
    }
    m_minutesRemaining = m_minutesAllowed;
    m_lastDay = *today;
    return true;
}

bool QuotaminConfig::Load() {
    auto file = m_system.OpenForReading(m_filePath);
    if (!file) {
        return false;
    }
    // A file shorter than a whole record (a torn write of an older version, a
    // truncated copy) is treated like a missing one, so the user starts afresh
    // instead of running with half a record.
    QuotaminConfig loaded(m_system);
    try {
        Archive archive(*file, m_filePath);
        loaded.Serialize(archive);
    } catch (const FileError&) {
        return false;
    }
    CopyValuesFrom(loaded);
    return true;
}

void QuotaminConfig::CopyValuesFrom(const QuotaminConfig& other) {
    m_enabled = other.m_enabled;
    m_minutesAllowed = other.m_minutesAllowed;
    m_minutesRemaining = other.m_minutesRemaining;
    m_logoffOnExpiry = other.m_logoffOnExpiry;
    m_lastDay = other.m_lastDay;
}

void QuotaminConfig::Save() {
    CheckNewDay();
    Archive archive;
    Serialize(archive);
    ReplaceFileContent(m_system, m_filePath, archive.StoredBytes());
}

void QuotaminConfig::Serialize(Archive& archive) {
    if (archive.IsStoring()) {
        archive.WriteInt32(m_enabled);
        archive.WriteInt32(m_minutesAllowed);
        archive.WriteInt32(m_minutesRemaining);
        archive.WriteInt32(m_logoffOnExpiry == 1 ? 1 : 0);
        archive.WriteInt32(m_lastDay);
    } else {
        m_enabled = archive.ReadInt32();
        m_minutesAllowed = archive.ReadInt32();
        m_minutesRemaining = archive.ReadInt32();
        m_logoffOnExpiry = archive.ReadInt32() != 0 ? 1 : 0;
        m_lastDay = archive.ReadInt32();
    }
}

}  // namespace quotamin
