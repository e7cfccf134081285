#include "TestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "text/Encoding.h"
#include "text/NumberText.h"

namespace kvado::test {

void load(const ProblemData& d, LpProblem& p) {
    p.G = d.G;
    p.E = d.E;
    p.L = d.L;
    p.N = d.N;
    p.eps = d.eps;
    p.reset();
    for (int32_t i = 1; i <= d.M(); ++i)
        for (int32_t j = 1; j <= d.N; ++j)
            p.setCoefficient(i, j, d.A[static_cast<size_t>(i - 1)][static_cast<size_t>(j - 1)]);
    for (int32_t j = 1; j <= d.N; ++j)
        p.setObjective(j, d.C[static_cast<size_t>(j - 1)]);
    for (int32_t i = 1; i <= d.M(); ++i)
        p.setRightHandSide(i, d.B[static_cast<size_t>(i - 1)]);
    p.takeSnapshots();
}

std::string dataFileText(const ProblemData& d) {
    using text::formatRoundTrip;
    std::string s = std::to_string(d.G) + " " + std::to_string(d.E) + " " + std::to_string(d.L) +
                    " " + std::to_string(d.N) + " " + formatRoundTrip(d.eps) + "\r\n";
    for (const auto& row : d.A) {
        for (Real a : row)
            s += formatRoundTrip(a) + " ";
        s += "\r\n";
    }
    for (Real c : d.C)
        s += formatRoundTrip(c) + " ";
    s += "\r\n";
    for (Real b : d.B)
        s += formatRoundTrip(b) + " ";
    s += "\r\n";
    return s;
}

TempDir::TempDir() {
    std::string templ = (std::filesystem::temp_directory_path() / "kvado-test-XXXXXX").string();
    if (!mkdtemp(templ.data())) throw std::runtime_error("cannot create a temporary folder");
    m_path = templ;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string logBytes(const std::vector<std::string>& utf8Lines) {
    std::string s;
    for (const auto& line : utf8Lines) {
        const auto bytes = text::utf8ToCp1251(line);
        if (!bytes) throw std::invalid_argument("not in windows-1251: " + line);
        s += *bytes + "\r\n";
    }
    return s;
}

std::vector<std::string> logLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t at; (at = bytes.find("\r\n", start)) != std::string::npos; start = at + 2)
        lines.push_back(text::cp1251ToUtf8(bytes.substr(start, at - start)));
    if (start < bytes.size()) lines.push_back(text::cp1251ToUtf8(bytes.substr(start)));
    return lines;
}

void solveProblem(const ProblemData& d, Solved& out) {
    TempDir dir;
    load(d, out.problem);
    TraceLog log(dir.path());
    out.outcome = solve(out.problem, log, out.host);
    out.log = readBytes(log.path());
}

namespace {
// 0 under the C locale, 1 under a Russian one, -1 when the environment names none.
int localeParity() {
    const char* all = std::getenv("LC_ALL");
    if (all == nullptr || *all == 0) return -1;
    return std::string(all).rfind("ru", 0) == 0 ? 1 : 0;
}
} // namespace

bool caseOfThisLocale(int64_t k) {
    const int parity = localeParity();
    return parity < 0 || k % 2 == parity;
}

int64_t casesOfThisLocale(int64_t total) {
    const int parity = localeParity();
    return parity < 0 ? total : (total + (parity == 0 ? 1 : 0)) / 2;
}

} // namespace kvado::test
