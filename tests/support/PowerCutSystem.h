#pragma once
// A system whose disk keeps, at a power cut, only what was made durable. It
// holds, for every file, the bytes on the disk and the writes still in the
// cache, and for the directory the names on the disk and the changes of name
// still in the cache. The native system's calls are modelled as
// NativeSystemPosix.cpp and NativeSystemWin32.cpp make them, under the rules
// below; PowerCutOutcomes() gives every disk a power cut at this moment can
// leave, and afterEachCall lets a test cut the power after every call.
//
// What is durable when, and where each rule comes from:
//
// POSIX (Linux):
// - fsync(2) on a file makes its data and its length durable ("transfers all
//   modified in-core data ... so that all changed information can be
//   retrieved even if the system crashes"), but not its name: "Calling
//   fsync() does not necessarily ensure that the entry in the directory
//   containing the file has also reached disk. For that an explicit fsync()
//   on a file descriptor for the directory is also needed." (Linux man-pages,
//   fsync(2)).
// - rename(2) replaces the target atomically ("there is no point at which
//   another process attempting to access newpath will find it missing",
//   rename(2)); a journaling file system (ext4's jbd2 journal, "guaranteeing
//   the atomicity of whatever gets written through the journal", kernel
//   documentation filesystems/ext4/journal.rst) keeps that one step across a
//   crash. A creation, a rename and a removal are each atomic, but until the
//   directory is flushed any of them may be lost, independently and in any
//   order: ext4 commits them in order, other file systems need not, and
//   POSIX promises neither, so no order is assumed.
// - The data of a file is written back by the cache on its own: ext4 in its
//   default data=ordered mode "only writes filesystem metadata through the
//   journal. This means that file data blocks are /not/ guaranteed to be in
//   any consistent state after a crash" (journal.rst). So unflushed writes
//   may land in part, in any order, and the length may be kept without the
//   data (the new part then reads as zeros) or the data without the length.
//
// Windows (NTFS):
// - FlushFileBuffers "flushes the buffers of a specified file and causes all
//   buffered data to be written to a file" (Microsoft Learn, FlushFileBuffers):
//   the file's data and length become durable; its name is not assumed to.
// - MoveFileExA with MOVEFILE_WRITE_THROUGH: "the function does not return
//   until the file is actually moved on the disk" (Microsoft Learn,
//   MoveFileExA). NTFS "guarantees the consistency of the volume by using
//   standard transaction logging and recovery techniques" (Microsoft,
//   Windows 2000 Server Resource Kit, NTFS Recoverability): each change of a
//   name is one logged operation, atomic across a crash, and the log is
//   replayed in order, so what reaches the disk is a prefix of the changes
//   made, and a change written through takes every earlier one with it.
// - ReplaceFileA is neither written through nor one step: its
//   REPLACEFILE_WRITE_THROUGH flag "is not supported", and it may fail with
//   ERROR_UNABLE_TO_MOVE_REPLACEMENT, when "the replaced file no longer
//   exists and the replacement file exists under its original name"
//   (Microsoft Learn, ReplaceFileA). It is modelled as the old file's removal
//   and then the move of the new one, both cached (Rules::replaceFileA).
// - NTFS logs metadata, not file data ("updates to user data may still be
//   lost", ntfsrecover(8)): unflushed data is as on POSIX.
//
// Unflushed data is cut at the disk's sectors of 512 bytes, the smallest any
// disk writes, so that this is the finest cut real hardware makes between
// sectors. Tearing::Sectors takes each sector a write covers as landing whole
// or not at all, in any order; that a sector write is atomic is an
// assumption about the disk that no file system promises (SQLite, "Atomic
// Commit In SQLite", does not make it; it assumes sector writes are linear).
// Tearing::Bytes drops it: any part of a sector from its start lands.
//
// Only names and contents are modelled; owners, permissions and attributes
// are not.

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "core/FileError.h"
#include "core/NativeSystem.h"

namespace quotamin::testing {

// The files a restart finds, by path.
using Disk = std::map<std::string, std::string>;

class PowerCutSystem : public System {
  public:
    enum class Platform { Posix, Windows };
    enum class Tearing { Sectors, Bytes };
    struct Rules {
        Platform platform = Platform::Posix;
        Tearing tearing = Tearing::Sectors;
        // Windows: an existing file is replaced with ReplaceFileA instead of
        // the write-through move.
        bool replaceFileA = false;
    };
    static constexpr std::size_t kSectorSize = 512;

    // A disk that holds `disk`, all of it durable.
    explicit PowerCutSystem(Rules rules, const Disk& disk = {});

    // Every disk a power cut at this moment can leave, each once.
    std::vector<Disk> PowerCutOutcomes() const;

    // Runs after every call that touches a file, with the call's name.
    std::function<void(const char* call)> afterEachCall;
    // No new file can be made in the directory (the file beside cannot be created).
    bool refuseNewFiles = false;
    // A file beside cannot take an existing file's place.
    bool refuseReplace = false;
    int today = 17;

    static std::string File(const std::string& name) {
        return kDirectory + std::string(1, kPathSeparator) + name;
    }

    std::string WindowsDirectory() override { return kDirectory; }
    std::optional<int> TodayDayOfMonth() override { return today; }
    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override;
    std::unique_ptr<OutputFile> CreateForWriting(const std::string& path) override;
    std::unique_ptr<OutputFile> OpenForRewriting(const std::string& path) override;
    bool ReplaceWith(const std::string& from, const std::string& to) override;
    void Remove(const std::string& path) override;
    std::string FileNameAt(const std::string& path) override;
    std::string UpperCase(std::string text) override { return m_native.UpperCase(text); }
    std::string FromUtf16(std::u16string_view text) override { return m_native.FromUtf16(text); }
    bool IsLeadByte(char byte) override { return m_native.IsLeadByte(byte); }
    // The simulated disk refuses what its rules refuse without a system's code.
    int LastErrorCode() override { return kNoSystemCode; }

  private:
    class OpenFile;
    friend class OpenFile;

    static constexpr const char* kDirectory = "disk";

    struct Write {
        std::size_t offset;
        std::string bytes;
    };
    struct Resize {
        std::size_t length;
    };
    using DataChange = std::variant<Write, Resize>;
    struct Inode {
        std::string durable;
        std::string cached;
        std::vector<DataChange> pending;
    };
    struct NameChange {
        enum Kind { Link, Unlink, Rename } kind;
        std::string path;
        std::string to;         // Rename
        std::size_t inode = 0;  // Link
    };
    using Names = std::map<std::string, std::size_t>;

    static void Apply(Names& names, const NameChange& change);
    void Change(NameChange change);
    // Every name change so far reaches the disk.
    void MakeNamesDurable();
    void Change(std::size_t inode, DataChange change);
    void Flush(std::size_t inode);
    void Cut(const char* call) const;
    // Every content the file can come back with.
    std::vector<std::string> DataOutcomes(const Inode& inode) const;

    Rules m_rules;
    std::vector<Inode> m_inodes;
    Names m_durableNames;
    Names m_cachedNames;
    std::vector<NameChange> m_pendingNames;
    NativeSystem m_native;
};

}  // namespace quotamin::testing
