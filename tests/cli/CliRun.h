#pragma once
// Runs the real kvado-cli in a shell and collects its exit code, standard output and error,
// and reads the few fields of its JSON answer that the tests need.

#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "../solver/TestSupport.h"
#include "text/NumberText.h"

namespace kvado::test {

struct CliRun {
    int exitCode = -1;
    std::string out, err;
};

inline std::string shellQuoted(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// `workDir`: the current folder of the run; `prefix`: shell text put before the command.
inline CliRun runCli(const std::vector<std::string>& args, const std::string& workDir,
                     const std::string& prefix = {}) {
    TempDir capture;
    std::string command =
        "cd " + shellQuoted(workDir) + " && " + prefix + " " + shellQuoted(KVADO_CLI);
    for (const auto& a : args)
        command += " " + shellQuoted(a);
    command += " >" + shellQuoted(capture.file("out")) + " 2>" + shellQuoted(capture.file("err"));
    const int status = std::system(command.c_str());
    CliRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = readBytes(capture.file("out"));
    run.err = readBytes(capture.file("err"));
    return run;
}

// The text of a JSON field's value: a number, a quoted string (without its quotes) or an
// array (with its brackets). Enough for flat objects whose keys are unique.
inline std::optional<std::string> jsonField(const std::string& json, const std::string& key) {
    const auto at = json.find("\"" + key + "\"");
    if (at == std::string::npos) return std::nullopt;
    size_t p = json.find(':', at);
    if (p == std::string::npos) return std::nullopt;
    p = json.find_first_not_of(" \t\r\n", p + 1);
    if (p == std::string::npos) return std::nullopt;
    if (json[p] == '"') {
        const auto end = json.find('"', p + 1);
        return json.substr(p + 1, end - p - 1);
    }
    if (json[p] == '[') return json.substr(p, json.find(']', p) - p + 1);
    const auto end = json.find_first_of(",}\r\n", p);
    return json.substr(p, end - p);
}

inline std::optional<Real> jsonNumber(const std::string& json, const std::string& key) {
    const auto text = jsonField(json, key);
    if (!text) return std::nullopt;
    return text::toPointReal(*text);
}

inline std::vector<Real> jsonNumbers(const std::string& json, const std::string& key) {
    std::vector<Real> values;
    auto text = jsonField(json, key);
    if (!text || text->size() < 2) return values;
    const std::string inner = text->substr(1, text->size() - 2);
    size_t start = 0;
    while (start < inner.size()) {
        size_t end = inner.find(',', start);
        if (end == std::string::npos) end = inner.size();
        std::string item = inner.substr(start, end - start);
        item.erase(0, item.find_first_not_of(' '));
        const auto v = text::toPointReal(item);
        values.push_back(v ? *v : Real(NAN));
        start = end + 1;
    }
    return values;
}

} // namespace kvado::test
