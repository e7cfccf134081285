#pragma once
// Whole files in and out: the data file, the name files, the help text and the saved report
// are each read or written in one piece.
//
// No write destroys the file it replaces: the new bytes go to a temporary file in the same
// folder, which is flushed and synced to the disk and only then renamed over the old one. A
// full disk, a killed process or a failed write leaves the old file as it was (and removes the
// temporary one); the message names the file and the system's reason.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "base/FileError.h"

namespace kvado {

// A whole file's bytes; throws FileError naming the path and the system's reason, and for
// anything but a regular file (a folder, a pipe, a device).
std::string readFileBytes(const std::string& path);
// Creates or replaces a file; throws FileError("Cannot create file \"path\". reason") when the
// file cannot be made and "Cannot write file ..." when its bytes do not reach the disk. A
// device (/dev/null, /dev/stdout) is written in place: it has nothing to lose.
void writeFileBytes(const std::string& path, std::string_view bytes);

// One file of a save that writes several.
struct FileToWrite {
    std::string path;
    std::string_view bytes;
};
// Replaces every file or none: a data file and its two name files are one save. Every new
// file is complete on the disk before the first is renamed; when a rename still fails, the
// files already replaced get their old bytes back.
void writeFilesTogether(const std::vector<FileToWrite>& files);

// A file written piece by piece (the trace log) that replaces the old one only at commit():
// until then the old file stays whole. Destroyed uncommitted, it removes its temporary file.
// Its operations return 0 or the errno of the failure, so the caller words its own message.
class ReplacingFile {
public:
    ReplacingFile() = default;
    ~ReplacingFile() { discard(); }
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    int open(const std::string& path);
    int write(std::string_view bytes);
    int flush();  // to the temporary file, for a reader of the folder to see nothing yet
    int commit(); // prepare(), then rename()
    void discard();
    bool isOpen() const { return m_file != nullptr; }

    // The two halves of commit(), for a save of several files: the bytes flushed and synced
    // to the disk and the file closed; then the new file put in the old one's place.
    int prepare();
    int rename();
    // The file replaced: the path opened, through a symbolic link to the file it names.
    const std::string& target() const { return m_resolved; }

private:
    std::string m_path;     // as the caller named it
    std::string m_resolved; // the file replaced
    std::string m_temp;     // empty when writing a device in place
    std::FILE* m_file = nullptr;
};

// Whether `path` names a regular file (after symbolic links), as an open command asks before
// it reads one.
bool isRegularFile(const std::string& path);
// Whether anything exists at `path`.
bool pathExists(const std::string& path);

// A file system that fails on demand, for the tests: a full disk, a folder without write
// permission or a rename refused, also under root, which permissions do not bind.
namespace failing_files {
enum class Step {
    Open,   // reading a file, or creating the temporary file of a write
    Write,  // writing the bytes
    Sync,   // flushing them to the disk
    Rename, // putting the new file in the old one's place
};
// The next `step` on `path` (the target's path as the caller names it) fails with `error`.
void failNext(Step step, const std::string& path, int error);
// Forgets the failures not yet met.
void clear();
} // namespace failing_files

} // namespace kvado
