#include "core/QuotaminConfig.h"

#include "core/AtomicFile.h"
#include "core/FileError.h"
#include "core/System.h"

namespace quotamin {

QuotaminConfig::QuotaminConfig(System& system) : m_system(system) {}

void QuotaminConfig::SetUser(const std::string& userName) {
    m_userName = userName;
    m_filePath = m_system.WindowsDirectory() + kPathSeparator + "qm-" + m_userName + ".dat";
    if (!Load()) {
        m_lastDay = m_system.TodayDayOfMonth();
        Save();
    } else if (CheckNewDay()) {
        Save();
    }
}

bool QuotaminConfig::CheckNewDay() {
    const int today = m_system.TodayDayOfMonth();
    if (today == m_lastDay) {
        return false;
    }
    m_minutesRemaining = m_minutesAllowed;
    m_lastDay = today;
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
    m_enabled = loaded.m_enabled;
    m_minutesAllowed = loaded.m_minutesAllowed;
    m_minutesRemaining = loaded.m_minutesRemaining;
    m_logoffOnExpiry = loaded.m_logoffOnExpiry;
    m_lastDay = loaded.m_lastDay;
    return true;
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
