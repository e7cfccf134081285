#include "model/ModelIo.h"

#include <filesystem>

#include "base/FileIo.h"
#include "base/FileName.h"
#include "datafile/DataFile.h"
#include "datafile/NameFiles.h"
#include "model/FileSupport.h"
#include "model/ModelFiles.h"
#include "text/Json.h"

namespace kvado::model {

std::optional<FileFormat> formatOfPath(std::string_view path) {
    const auto dot = path.rfind('.');
    const auto slash = path.find_last_of("/\\");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return std::nullopt;
    return formatNamed(path.substr(dot + 1));
}

std::optional<FileFormat> formatNamed(std::string_view name) {
    if (detail::sameWord(name, "dat")) return FileFormat::Data;
    if (detail::sameWord(name, "lp")) return FileFormat::Lp;
    if (detail::sameWord(name, "mps")) return FileFormat::Mps;
    return std::nullopt;
}

Model readModelFile(const std::string& path, FileFormat format, std::vector<std::string>* notes,
                    Real* eps) {
    const std::string bytes = readFileBytes(path);
    const std::string name = baseName(path);
    if (format == FileFormat::Lp || format == FileFormat::Mps) {
        if (eps) *eps = kModelEps;
        return format == FileFormat::Lp ? readLp(bytes, name, notes) : readMps(bytes, name, notes);
    }
    LpProblem p;
    const std::string shortNote = datafile::shortFileNote(datafile::readDataFile(bytes, p));
    if (notes && !shortNote.empty()) notes->push_back(shortNote);
    if (eps) *eps = p.eps;
    auto lines = [](const std::string& file, size_t most) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(file, ec)) return std::vector<std::string>();
        auto v = datafile::splitNameLines(readFileBytes(file), most);
        // A control character in a name is refused as the open command refuses it.
        if (const std::string bad = datafile::controlCharacterMessage(file, v); !bad.empty())
            throw FileError(bad);
        for (auto& s : v)
            s = datafile::trimName(s);
        return v;
    };
    const auto M = static_cast<size_t>(p.M);
    auto rows = lines(datafile::sideFileName(path, "ogran"), M + 2);
    // Line M+1 names the objective when it is the file's last line.
    std::string objective = rows.size() == M + 1 ? rows[M] : std::string();
    if (rows.size() > M) rows.resize(M);
    const auto cols = lines(datafile::sideFileName(path, "neizv"), static_cast<size_t>(p.N));
    Model m = modelOfProblem(p, rows, cols, objective);
    m.name = name;
    return m;
}

std::string writeModelFile(const std::string& path, const Model& model, FileFormat format,
                           Real eps) {
    if (format == FileFormat::Lp) {
        writeFileBytes(path, writeLp(model));
        return {};
    }
    if (format == FileFormat::Mps) {
        writeFileBytes(path, writeMps(model));
        return {};
    }
    const StandardForm sf = toStandardForm(model);
    writeDataFile(path, sf, eps);
    return summaryText(sf.summary);
}

void userTermsJson(text::JsonWriter& w, const Model& m, const UserSolution& u) {
    constexpr auto plain = text::JsonWriter::Zero::Plain;
    w.beginObject().key("sense").string(m.sense == Sense::Maximize ? "max" : "min");
    w.key("objective").number(u.objective, plain).key("columns").beginArray();
    for (size_t j = 0; j < m.columns.size(); ++j)
        w.beginObject()
            .key("name")
            .string(m.columns[j].name)
            .key("value")
            .number(u.columnValue[j], plain)
            .key("marginal")
            .number(u.columnMarginal[j], plain)
            .endObject();
    w.endArray().key("rows").beginArray();
    for (size_t r = 0; r < m.rows.size(); ++r)
        w.beginObject()
            .key("name")
            .string(m.rows[r].name)
            .key("activity")
            .number(u.rowActivity[r], plain)
            .key("marginal")
            .number(u.rowMarginal[r], plain)
            .endObject();
    w.endArray().endObject();
}

std::vector<std::string> userTermsLines(const Model& m, const UserSolution& u, char sep) {
    auto g = [sep](Real v) { return text::formatGeneral(v == 0 ? Real(0) : v, sep); };
    std::vector<std::string> lines;
    lines.push_back("   Решение исходной задачи");
    lines.push_back(" ");
    std::string objective = m.sense == Sense::Maximize ? "Максимум" : "Минимум";
    if (!m.objectiveName.empty()) objective += " «" + m.objectiveName + "»";
    lines.push_back(objective + " = " + g(u.objective));
    lines.push_back(" ");
    lines.push_back("Неизвестные: значение, маргинальное значение (приведенная стоимость)");
    for (size_t j = 0; j < m.columns.size(); ++j)
        lines.push_back(m.columns[j].name + " = " + g(u.columnValue[j]) + "   " +
                        g(u.columnMarginal[j]));
    lines.push_back(" ");
    lines.push_back("Ограничения: левая часть, маргинальное значение (теневая цена)");
    for (size_t r = 0; r < m.rows.size(); ++r)
        lines.push_back(m.rows[r].name + " = " + g(u.rowActivity[r]) + "   " + g(u.rowMarginal[r]));
    return lines;
}

} // namespace kvado::model
