#include "datafile/NameFiles.h"

#include "text/Encoding.h"

namespace kvado::datafile {

std::string baseName(std::string_view path) {
    const auto slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string sideFileName(std::string_view dataPath, std::string_view extension) {
    const auto slash = dataPath.find_last_of('/');
    const size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const auto dot = dataPath.find_last_of('.');
    // A dot that starts the name (".hidden") is not an extension.
    std::string_view stem = dataPath;
    if (dot != std::string_view::npos && dot > nameStart) stem = dataPath.substr(0, dot);
    return std::string(stem) + "." + std::string(extension);
}

std::vector<std::string> splitNameLines(std::string_view bytes, size_t maxLines) {
    const std::string text = text::decodeTextFile(bytes);
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size() && lines.size() < maxLines) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.emplace_back(text, start);
            break;
        }
        lines.emplace_back(text, start, end - start);
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
    return lines;
}

namespace {
// A blank or an ASCII control character, DEL included.
bool isBlankOrControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u <= ' ' || u == 0x7F;
}
} // namespace

std::string trimName(std::string_view name) {
    size_t b = 0, e = name.size();
    while (b < e && isBlankOrControl(name[b]))
        ++b;
    while (e > b && isBlankOrControl(name[e - 1]))
        --e;
    return std::string(name.substr(b, e - b));
}

std::string joinNameLines(const std::vector<std::string>& lines) {
    std::string utf8;
    for (const auto& l : lines) {
        utf8 += l;
        utf8 += "\r\n";
    }
    return text::encodeTextFile(utf8);
}

std::string controlCharacterMessage(const std::string& path,
                                    const std::vector<std::string>& lines) {
    for (size_t k = 0; k < lines.size(); ++k)
        for (const char c : lines[k])
            if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F)
                return "Ошибка: управляющий символ в имени\r\nфайл " + path + ", строка " +
                       std::to_string(k + 1);
    return {};
}

} // namespace kvado::datafile
