#include "core/QuotaminConfig.h"

#include "core/AtomicFile.h"
#include "core/FileError.h"
#include "core/PasswordStore.h"
#include "core/System.h"

namespace quotamin {

QuotaminConfig::QuotaminConfig(System& system) : m_system(system) {}

std::string QuotaminConfig::PathFor(const std::string& userName) {
    const std::string directory = m_system.WindowsDirectory() + kPathSeparator;
    const std::string path = directory + "qm-" + userName + ".dat";
    // The user whose name makes the password file's name gets brackets around
    // the name instead: in any letter case, as Windows compares file names,
    // and also where the name is another one the system finds the password
    // file by (its short 8.3 name, for a user named like PAS~1). No Windows
    // user name holds a bracket, so no other user's file is hit.
    const std::string password = m_system.UpperCase(PasswordStore::kFileName);
    if (m_system.UpperCase(m_system.FileNameAt(path)) == password ||
        m_system.UpperCase("qm-" + userName + ".dat") == password) {
        return directory + "qm-[" + userName + "].dat";
    }
    return path;
}

void QuotaminConfig::SetUser(const std::string& userName) {
    m_userName = userName;
    m_filePath = PathFor(m_userName);
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
