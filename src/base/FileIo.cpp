#include "base/FileIo.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace kvado {

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
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) throw FileError("Cannot open file \"" + path + "\". " + std::strerror(errno));
    std::string data;
    char buf[1 << 16];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        data.append(buf, n);
    const bool bad = std::ferror(f);
    const int err = errno;
    std::fclose(f);
    if (bad) throw FileError("Cannot read file \"" + path + "\". " + std::strerror(err));
    return data;
}

void writeFileBytes(const std::string& path, std::string_view bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw FileError("Cannot create file \"" + path + "\". " + std::strerror(errno));
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const int err = errno;
    if (std::fclose(f) != 0 || !ok)
        throw FileError("Cannot write file \"" + path + "\". " + std::strerror(ok ? errno : err));
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
