#pragma once
// The administrator password, kept scrambled in one file for the whole
// computer. A store lives for one login or one change: built, loaded,
// consulted and discarded, so the file is read afresh every time.

#include <string>

#include "core/Archive.h"

namespace quotamin {

class System;

class PasswordStore {
  public:
    explicit PasswordStore(System& system);

    // False when the file cannot be opened; the password then stays as it was.
    // Throws FileError when the file ends before the text it announces.
    bool Load();
    // Replaces the file. Throws FileError when it cannot be written.
    void Save();
    void Serialize(Archive& archive);

    std::string GetPassword() const { return m_password; }
    void SetPassword(const std::string& password) { m_password = password; }

    // The login rule: both texts upper-cased by the code page, then compared exactly.
    bool MatchesAnyCase(const std::string& text) const;
    // The rule for the old password when it is changed.
    bool MatchesExactly(const std::string& text) const;
    // Texts equal up to their ends, a zero byte ending a text, stepping by
    // characters of the code page; no folding, no trimming.
    bool TextsMatchExactly(const std::string& a, const std::string& b) const;

    const std::string& FilePath() const { return m_filePath; }

    static constexpr const char* kInitialPassword = "quiltbay";
    static constexpr const char* kFileName = "qm-password.dat";

  private:
    std::string ReadText(Archive& archive);

    std::string m_password = kInitialPassword;
    std::string m_filePath;

    System& m_system;
};

}  // namespace quotamin
