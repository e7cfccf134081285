#include "datafile/DataFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "solver/TraceLog.h"

namespace kvado::datafile {

void readDataFile(std::string_view bytes, LpProblem& p, LoadObserver* observer) {
    LoadObserver none;
    LoadObserver& obs = observer ? *observer : none;
    text::NumberReader in(bytes);
    const int32_t G = in.readInteger();
    const int32_t E = in.readInteger();
    const int32_t L = in.readInteger();
    const int32_t N = in.readInteger();
    const Real eps = in.readReal();
    checkCounts(G, E, L, N);
    p.G = G;
    p.E = E;
    p.L = L;
    p.N = N;
    p.eps = eps;
    p.reset();
    obs.header(p);
    const int32_t M = p.M;
    obs.progressMaximum(M);
    for (int32_t i = 1; i <= M; ++i) {
        if (i % 10 == 0) obs.progress(i);
        for (int32_t j = 1; j <= N; ++j) {
            const Real a = in.readReal();
            p.setCoefficient(i, j, a);
            obs.coefficient(i, j, a);
        }
    }
    for (int32_t j = 1; j <= N; ++j) {
        const Real c = in.readReal();
        p.setObjective(j, c);
        obs.objective(j, c);
    }
    for (int32_t i = 1; i <= M; ++i) {
        const Real b = in.readReal();
        p.setRightHandSide(i, b);
        obs.rightHandSide(i, b);
    }
    obs.progress(0);
    p.takeSnapshots();
}

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

} // namespace kvado::datafile
