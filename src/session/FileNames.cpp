#include "session/FileNames.h"

#include <algorithm>

#include "datafile/NameFiles.h"

namespace kvado::session {

namespace {

// The patterns of a filter's pairs, in order.
std::vector<std::string_view> patterns(std::string_view filter) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        const size_t bar = filter.find('|', start);
        parts.push_back(filter.substr(start, bar == std::string_view::npos ? bar : bar - start));
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    std::vector<std::string_view> result;
    for (size_t k = 1; k < parts.size(); k += 2)
        result.push_back(parts[k]);
    return result;
}

bool hasExtension(const std::string& path) {
    const std::string name = datafile::baseName(path);
    const size_t dot = name.find_last_of('.');
    // A dot that starts the name (".hidden") or ends it names no extension.
    return dot != std::string::npos && dot > 0 && dot + 1 < name.size();
}

} // namespace

std::string withFilterExtension(const std::string& path, std::string_view filter, int chosen) {
    const std::vector<std::string_view> list = patterns(filter);
    const size_t k = chosen < 0 ? 0 : static_cast<size_t>(chosen);
    if (path.empty() || k >= list.size() || hasExtension(path)) return path;
    // The first pattern of the pair ("*.dat;*.txt" gives .dat).
    std::string_view pattern = list[k].substr(0, list[k].find(';'));
    while (!pattern.empty() && pattern.front() == ' ')
        pattern.remove_prefix(1);
    if (pattern.size() < 3 || pattern.substr(0, 2) != "*.") return path;
    const std::string_view ext = pattern.substr(2);
    if (ext.find_first_of("*?") != std::string_view::npos) return path;
    return path + "." + std::string(ext);
}

std::string proposedReportName(const std::string& dataFileName) {
    if (dataFileName.empty()) return "Отчет.rtf";
    return datafile::sideFileName(dataFileName, "rtf");
}

std::vector<std::string> withRecentFile(std::vector<std::string> recent, const std::string& path) {
    recent.erase(std::remove(recent.begin(), recent.end(), path), recent.end());
    recent.insert(recent.begin(), path);
    if (recent.size() > kRecentFiles) recent.resize(kRecentFiles);
    return recent;
}

} // namespace kvado::session
