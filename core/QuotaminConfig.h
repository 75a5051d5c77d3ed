#pragma once
// The ration settings and today's balance of one Windows user, kept in a
// 20-byte file in the Windows directory, one file per user name.

#include <cstdint>
#include <string>

#include "core/Archive.h"

namespace quotamin {

class System;

class QuotaminConfig {
  public:
    explicit QuotaminConfig(System& system);

    // Names the user, derives the file path, loads or creates the file and
    // starts a new day when the day of the month has changed.
    void SetUser(const std::string& userName);
    // True when the file was opened and held a whole record.
    bool Load();
    // Starts a new day when due, then writes the file. Throws FileError.
    void Save();
    // When today's day of the month differs from m_lastDay, resets the balance
    // to the daily allowance and returns true. Does not save.
    bool CheckNewDay();
    // Reads or writes the five values of the file, in the file's order.
    void Serialize(Archive& archive);
    // Takes the five values the file holds from `other`; the user and the
    // path stay.
    void CopyValuesFrom(const QuotaminConfig& other);

    std::string m_userName;
    std::int32_t m_lastDay = 0;
    std::string m_filePath = "\\qm-def.dat";
    std::int32_t m_enabled = 0;
    std::int32_t m_minutesAllowed = 120;
    std::int32_t m_minutesRemaining = 120;
    std::int32_t m_logoffOnExpiry = 1;

    static constexpr std::size_t kFileSize = 20;

  private:
    // The Windows directory and "qm-<user name>.dat", or "qm-[<user name>].dat"
    // where the first would name the password file.
    std::string PathFor(const std::string& userName);

    System& m_system;
};

}  // namespace quotamin
