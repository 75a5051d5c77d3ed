#include "tests/support/PowerCutSystem.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <stdexcept>

namespace quotamin::testing {

namespace {

void ApplyWrite(std::string& content, std::size_t offset, std::string_view bytes) {
    if (content.size() < offset + bytes.size()) {
        content.resize(offset + bytes.size(), '\0');
    }
    content.replace(offset, bytes.size(), bytes);
}

class CopyInputFile : public InputFile {
  public:
    CopyInputFile(std::string content, std::function<void()> cut)
        : m_content(std::move(content)), m_cut(std::move(cut)) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t count = std::min(size, m_content.size() - m_position);
        std::memcpy(buffer, m_content.data() + m_position, count);
        m_position += count;
        m_cut();
        return count;
    }

  private:
    std::string m_content;
    std::size_t m_position = 0;
    std::function<void()> m_cut;
};

}  // namespace

// A file open for writing: every write goes to the cache, at the position
// the last one ended, as with the native files.
class PowerCutSystem::OpenFile : public OutputFile {
  public:
    OpenFile(PowerCutSystem& system, std::size_t inode) : m_system(system), m_inode(inode) {}
    bool Write(std::string_view bytes) override {
        m_system.Change(m_inode, PowerCutSystem::Write{m_position, std::string(bytes)});
        m_position += bytes.size();
        m_system.Cut("Write");
        return true;
    }
    bool Flush() override {
        m_system.Flush(m_inode);
        m_system.Cut("Flush");
        return true;
    }
    bool SetLength(std::size_t length) override {
        m_system.Change(m_inode, Resize{length});
        m_system.Cut("SetLength");
        return true;
    }

  private:
    PowerCutSystem& m_system;
    std::size_t m_inode;
    std::size_t m_position = 0;
};

PowerCutSystem::PowerCutSystem(Rules rules, const Disk& disk) : m_rules(rules) {
    for (const auto& [path, content] : disk) {
        m_durableNames[path] = m_cachedNames[path] = m_inodes.size();
        m_inodes.push_back({content, content, {}});
    }
}

void PowerCutSystem::Apply(Names& names, const NameChange& change) {
    switch (change.kind) {
        case NameChange::Link:
            names[change.path] = change.inode;
            break;
        case NameChange::Unlink:
            names.erase(change.path);
            break;
        case NameChange::Rename:
            // Where the creation of the name moved did not reach the disk, neither
            // does the move.
            if (const auto from = names.find(change.path); from != names.end()) {
                const std::size_t inode = from->second;
                names.erase(from);
                names[change.to] = inode;
            }
            break;
    }
}

void PowerCutSystem::Change(NameChange change) {
    Apply(m_cachedNames, change);
    m_pendingNames.push_back(std::move(change));
}

void PowerCutSystem::MakeNamesDurable() {
    for (const NameChange& change : m_pendingNames) {
        Apply(m_durableNames, change);
    }
    m_pendingNames.clear();
}

void PowerCutSystem::Change(std::size_t inode, DataChange change) {
    Inode& file = m_inodes[inode];
    if (const auto* write = std::get_if<Write>(&change)) {
        ApplyWrite(file.cached, write->offset, write->bytes);
    } else {
        file.cached.resize(std::get<Resize>(change).length, '\0');
    }
    file.pending.push_back(std::move(change));
}

void PowerCutSystem::Flush(std::size_t inode) {
    Inode& file = m_inodes[inode];
    file.durable = file.cached;
    file.pending.clear();
}

void PowerCutSystem::Cut(const char* call) const {
    if (afterEachCall) {
        afterEachCall(call);
    }
}

std::unique_ptr<InputFile> PowerCutSystem::OpenForReading(const std::string& path) {
    const auto name = m_cachedNames.find(path);
    std::unique_ptr<InputFile> file;
    if (name != m_cachedNames.end()) {
        file =
            std::make_unique<CopyInputFile>(m_inodes[name->second].cached, [this] { Cut("Read"); });
    }
    Cut("OpenForReading");
    return file;
}

std::unique_ptr<OutputFile> PowerCutSystem::CreateForWriting(const std::string& path) {
    std::unique_ptr<OutputFile> file;
    if (const auto name = m_cachedNames.find(path); name != m_cachedNames.end()) {
        Change(name->second, Resize{0});
        file = std::make_unique<OpenFile>(*this, name->second);
    } else if (!refuseNewFiles) {
        m_inodes.push_back({});
        Change(NameChange{NameChange::Link, path, {}, m_inodes.size() - 1});
        file = std::make_unique<OpenFile>(*this, m_inodes.size() - 1);
    }
    Cut("CreateForWriting");
    return file;
}

std::unique_ptr<OutputFile> PowerCutSystem::OpenForRewriting(const std::string& path) {
    std::unique_ptr<OutputFile> file;
    if (const auto name = m_cachedNames.find(path); name != m_cachedNames.end()) {
        file = std::make_unique<OpenFile>(*this, name->second);
    }
    Cut("OpenForRewriting");
    return file;
}

bool PowerCutSystem::ReplaceWith(const std::string& from, const std::string& to) {
    if (refuseReplace || m_cachedNames.count(from) == 0) {
        Cut("ReplaceWith");
        return false;
    }
    if (m_rules.platform == Platform::Windows && m_rules.replaceFileA &&
        m_cachedNames.count(to) != 0) {
        Change(NameChange{NameChange::Unlink, to, {}, 0});
        Cut("ReplaceFileA: the old file out of the way");
        Change(NameChange{NameChange::Rename, from, to, 0});
        Cut("ReplaceFileA: the new file in its place");
        return true;
    }
    // POSIX: rename(2), then fsync(2) of the directory. Windows: one
    // write-through move, on the disk when it returns.
    Change(NameChange{NameChange::Rename, from, to, 0});
    if (m_rules.platform == Platform::Posix) {
        Cut("ReplaceWith: rename");
    }
    MakeNamesDurable();
    Cut("ReplaceWith");
    return true;
}

void PowerCutSystem::Remove(const std::string& path) {
    if (m_cachedNames.count(path) != 0) {
        Change(NameChange{NameChange::Unlink, path, {}, 0});
    }
    Cut("Remove");
}

std::string PowerCutSystem::FileNameAt(const std::string& path) {
    return path.substr(path.rfind(kPathSeparator) + 1);
}

std::vector<std::string> PowerCutSystem::DataOutcomes(const Inode& inode) const {
    // The parts of the cached changes that land or not on their own: each
    // sector a write covers, and each change of length.
    struct Part {
        bool resize;
        std::size_t offset;  // or the new length
        std::string bytes;
    };
    std::vector<Part> parts;
    // The length the disk may record: the durable one or any one reached since.
    std::set<std::size_t> lengths{inode.durable.size()};
    std::string replay = inode.durable;
    for (const DataChange& change : inode.pending) {
        if (const auto* write = std::get_if<Write>(&change)) {
            for (std::size_t at = 0; at < write->bytes.size();) {
                const std::size_t offset = write->offset + at;
                const std::size_t size =
                    std::min(write->bytes.size() - at, kSectorSize - offset % kSectorSize);
                parts.push_back({false, offset, write->bytes.substr(at, size)});
                at += size;
            }
            ApplyWrite(replay, write->offset, write->bytes);
        } else {
            const std::size_t length = std::get<Resize>(change).length;
            parts.push_back({true, length, {}});
            replay.resize(length, '\0');
        }
        lengths.insert(replay.size());
    }

    // Each part lost (0) or landed; with torn sectors, landed as its first k bytes.
    const auto choices = [&](const Part& part) {
        return part.resize || m_rules.tearing == Tearing::Sectors ? 2 : part.bytes.size() + 1;
    };
    std::size_t combinations = lengths.size();
    for (const Part& part : parts) {
        combinations *= choices(part);
        if (combinations > (1u << 22)) {
            throw std::length_error("too many ways for one file to come back");
        }
    }
    std::set<std::string> outcomes;
    std::vector<std::size_t> choice(parts.size(), 0);
    for (;;) {
        std::string image = inode.durable;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            if (choice[i] == 0) {
                continue;
            }
            const Part& part = parts[i];
            if (part.resize) {
                image.resize(part.offset, '\0');
            } else {
                const std::size_t landed =
                    m_rules.tearing == Tearing::Sectors ? part.bytes.size() : choice[i];
                ApplyWrite(image, part.offset, std::string_view(part.bytes).substr(0, landed));
            }
        }
        for (const std::size_t length : lengths) {
            std::string outcome = image;
            outcome.resize(length, '\0');
            outcomes.insert(std::move(outcome));
        }
        std::size_t i = 0;
        for (; i < parts.size(); ++i) {
            if (++choice[i] < choices(parts[i])) {
                break;
            }
            choice[i] = 0;
        }
        if (i == parts.size()) {
            break;
        }
    }
    return {outcomes.begin(), outcomes.end()};
}

std::vector<Disk> PowerCutSystem::PowerCutOutcomes() const {
    // The directories the disk can hold: on POSIX any of the cached name
    // changes may have landed, on NTFS the ones up to some point.
    const std::size_t count = m_pendingNames.size();
    if (count > 16) {
        throw std::length_error("too many name changes in the cache");
    }
    std::vector<Names> directories;
    if (m_rules.platform == Platform::Posix) {
        for (std::size_t landed = 0; landed < (std::size_t{1} << count); ++landed) {
            Names names = m_durableNames;
            for (std::size_t i = 0; i < count; ++i) {
                if ((landed >> i & 1) != 0) {
                    Apply(names, m_pendingNames[i]);
                }
            }
            directories.push_back(std::move(names));
        }
    } else {
        Names names = m_durableNames;
        directories.push_back(names);
        for (const NameChange& change : m_pendingNames) {
            Apply(names, change);
            directories.push_back(names);
        }
    }

    std::map<std::size_t, std::vector<std::string>> contents;
    std::set<Disk> disks;
    for (const Names& names : directories) {
        std::vector<std::size_t> inodes;
        for (const auto& [path, inode] : names) {
            if (std::find(inodes.begin(), inodes.end(), inode) == inodes.end()) {
                inodes.push_back(inode);
            }
            if (contents.count(inode) == 0) {
                contents[inode] = DataOutcomes(m_inodes[inode]);
            }
        }
        // Every combination of the files' contents.
        std::vector<std::size_t> choice(inodes.size(), 0);
        for (;;) {
            Disk disk;
            for (const auto& [path, inode] : names) {
                const std::size_t at =
                    std::find(inodes.begin(), inodes.end(), inode) - inodes.begin();
                disk[path] = contents[inode][choice[at]];
            }
            disks.insert(std::move(disk));
            std::size_t i = 0;
            for (; i < inodes.size(); ++i) {
                if (++choice[i] < contents[inodes[i]].size()) {
                    break;
                }
                choice[i] = 0;
            }
            if (i == inodes.size()) {
                break;
            }
        }
    }
    return {disks.begin(), disks.end()};
}

}  // namespace quotamin::testing
