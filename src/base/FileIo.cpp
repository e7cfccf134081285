#include "base/FileIo.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kvado {

namespace failing_files {
namespace {

std::mutex& failuresMutex() {
    static std::mutex m;
    return m;
}
std::map<std::pair<Step, std::string>, int>& failures() {
    static std::map<std::pair<Step, std::string>, int> f;
    return f;
}

} // namespace

void failNext(Step step, const std::string& path, int error) {
    std::lock_guard lock(failuresMutex());
    failures()[{step, path}] = error;
}

void clear() {
    std::lock_guard lock(failuresMutex());
    failures().clear();
}

// 0, or the errno a test asked for at this step of this file (once).
int injected(Step step, const std::string& path) {
    std::lock_guard lock(failuresMutex());
    auto& f = failures();
    if (f.empty()) return 0;
    const auto it = f.find({step, path});
    if (it == f.end()) return 0;
    const int e = it->second;
    f.erase(it);
    return e;
}

} // namespace failing_files

namespace {

using failing_files::injected;
using failing_files::Step;

std::string reasonOf(int err) {
    return std::strerror(err);
}

[[noreturn]] void fail(const char* what, const std::string& path, int err) {
    throw FileError(std::string("Cannot ") + what + " file \"" + path + "\". " + reasonOf(err));
}

mode_t processUmask() {
    static const mode_t mask = [] {
        const mode_t m = ::umask(022);
        ::umask(m);
        return m;
    }();
    return mask;
}

// The file a write replaces: through a symbolic link to the file it names, so the link stays.
std::string resolvedTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char buf[PATH_MAX];
        if (::realpath(path.c_str(), buf)) return buf;
    }
    return path;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

void syncFolder(const std::string& path) {
    const int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd); // a file system that cannot sync a folder has still renamed the file
    ::close(fd);
}

// A free name beside `target` made from `tag`: the caller creates it.
std::string besideName(const std::string& target, const char* tag) {
    const auto slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    return folder + "." + name + tag + "XXXXXX";
}

} // namespace

std::string readFileBytes(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            throw FileError("Cannot open file \"" + path + "\". Is a directory");
        // A pipe would hold the command until something writes into it, and a device such as
        // /dev/zero never ends: only a file is read whole.
        if (!S_ISREG(st.st_mode))
            throw FileError("Cannot open file \"" + path + "\". Not a regular file");
    }
    if (const int e = injected(Step::Open, path)) fail("open", path, e);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) fail("open", path, errno);
    std::string data;
    char buf[1 << 16];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        data.append(buf, n);
    const bool bad = std::ferror(f);
    const int err = errno;
    std::fclose(f);
    if (bad) fail("read", path, err);
    return data;
}

int ReplacingFile::open(const std::string& path) {
    discard();
    m_path = path;
    if (const int e = injected(Step::Open, path)) return e;
    const std::string target = resolvedTarget(path);
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) return EISDIR;
    if (exists && !S_ISREG(st.st_mode)) {
        // A device or a pipe has no bytes to keep and no folder to put a file beside it.
        m_file = std::fopen(target.c_str(), "wb");
        m_resolved = target;
        return m_file ? 0 : errno;
    }
    // A file the user may not write is not replaced behind his back by a rename, which only
    // asks the folder.
    if (exists && ::access(target.c_str(), W_OK) != 0) return errno;
    std::string temp = besideName(target, ".new");
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return errno;
    // The new file gets the old one's permissions, or those a plain create would give.
    ::fchmod(fd, exists ? (st.st_mode & 07777) : (0666 & ~processUmask()));
    m_file = ::fdopen(fd, "wb");
    if (!m_file) {
        const int e = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        return e;
    }
    m_temp = std::move(temp);
    m_resolved = target;
    return 0;
}

int ReplacingFile::write(std::string_view bytes) {
    if (!m_file) return EBADF;
    if (const int e = injected(Step::Write, m_path)) return e;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size())
        return errno ? errno : EIO;
    return 0;
}

int ReplacingFile::flush() {
    if (!m_file) return EBADF;
    if (std::fflush(m_file) != 0) return errno;
    return 0;
}

int ReplacingFile::prepare() {
    if (!m_file) return EBADF;
    int e = injected(Step::Sync, m_path);
    if (!e && std::fflush(m_file) != 0) e = errno;
    // A device cannot always be synced (a terminal, a pipe): only a file must reach the disk.
    if (!e && !m_temp.empty() && ::fsync(::fileno(m_file)) != 0) e = errno;
    std::FILE* f = m_file;
    m_file = nullptr;
    if (std::fclose(f) != 0 && !e) e = errno;
    if (e) discard();
    return e;
}

int ReplacingFile::rename() {
    if (m_temp.empty()) return 0;
    int e = injected(Step::Rename, m_path);
    if (!e && ::rename(m_temp.c_str(), m_resolved.c_str()) != 0) e = errno;
    if (e) {
        discard();
        return e;
    }
    m_temp.clear();
    syncFolder(m_resolved);
    return 0;
}

int ReplacingFile::commit() {
    if (const int e = prepare()) return e;
    return rename();
}

void ReplacingFile::discard() {
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_temp.empty()) {
        ::unlink(m_temp.c_str());
        m_temp.clear();
    }
}

void writeFileBytes(const std::string& path, std::string_view bytes) {
    writeFilesTogether({{path, bytes}});
}

namespace {

// The old bytes of a file a save replaces, kept until the whole save has succeeded: a second
// name for the same file where the file system allows it, else a copy in memory.
struct OldFile {
    std::string target;
    bool existed = false; // a regular file
    bool other = false;   // something else: a device is never touched
    std::string link;
    std::optional<std::string> bytes;

    void keep(const std::string& t) {
        target = t;
        struct stat st {};
        const bool any = ::stat(t.c_str(), &st) == 0;
        existed = any && S_ISREG(st.st_mode);
        other = any && !existed;
        if (!existed) return;
        // mkstemp reserves a free name; link() needs it absent again.
        std::string name = besideName(t, ".old");
        const int fd = ::mkstemp(name.data());
        if (fd >= 0) {
            ::close(fd);
            ::unlink(name.c_str());
            if (::link(t.c_str(), name.c_str()) == 0) {
                link = std::move(name);
                return;
            }
        }
        try {
            bytes = readFileBytes(t);
        } catch (const FileError&) {
        }
    }
    void restore() {
        if (!link.empty()) {
            if (::rename(link.c_str(), target.c_str()) == 0) link.clear();
        } else if (bytes) {
            ReplacingFile f;
            if (f.open(target) == 0 && f.write(*bytes) == 0) f.commit();
        } else if (!existed && !other) {
            ::unlink(target.c_str());
        }
    }
    ~OldFile() {
        if (!link.empty()) ::unlink(link.c_str());
    }
};

} // namespace

void writeFilesTogether(const std::vector<FileToWrite>& files) {
    std::vector<ReplacingFile> news(files.size());
    // Every new file whole on the disk first: a failure here replaces nothing.
    for (size_t k = 0; k < files.size(); ++k) {
        const std::string& path = files[k].path;
        if (const int e = news[k].open(path)) {
            news.clear();
            fail("create", path, e);
        }
        int e = news[k].write(files[k].bytes);
        if (!e) e = news[k].prepare();
        if (e) {
            news.clear();
            fail("write", path, e);
        }
    }
    std::vector<OldFile> olds(files.size());
    for (size_t k = 0; k + 1 < files.size(); ++k)
        olds[k].keep(news[k].target());
    for (size_t k = 0; k < files.size(); ++k) {
        if (const int e = news[k].rename()) {
            for (size_t r = 0; r < k; ++r)
                olds[r].restore();
            news.clear();
            fail("write", files[k].path, e);
        }
    }
}

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool pathExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

} // namespace kvado
