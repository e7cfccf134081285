#include "solver/TraceLog.h"

#include <cerrno>
#include <cstring>

#include "solver/LpProblem.h"
#include "text/Encoding.h"

namespace kvado {

using text::formatFixed;
using text::intText;

TraceLog::~TraceLog() = default;

std::string TraceLog::path() const {
    if (m_folder.empty()) return kTraceLogName;
    std::string p = m_folder;
    if (p.back() != '/') p += '/';
    return p + kTraceLogName;
}

void TraceLog::fail(const char* what, int err) {
    m_file.discard();
    throw FileError(std::string("I/O error: cannot ") + what + " \"" + path() + "\". " +
                    std::strerror(err));
}

// The log is written beside the old one and replaces it when the solve closes it: a solve
// that fails on the way (a full disk) or is killed leaves the previous log whole.
void TraceLog::open() {
    m_flushEachLine = true;
    // A log that keeps nothing touches no file: not even /dev/null, which a root process that
    // found it missing would otherwise create as a plain file for every program after it.
    if (m_discard) {
        m_discardOpen = true;
        return;
    }
    if (const int e = m_file.open(path())) fail("create", e);
}

void TraceLog::close() {
    m_discardOpen = false;
    if (!m_file.isOpen()) return;
    if (const int e = m_file.commit()) fail("write", e);
}

void TraceLog::put(std::string_view utf8) {
    if (!isOpen()) fail("write", EBADF);
    if (m_discard) return;
    // Every text of the log exists in windows-1251; a character that does not (none of ours)
    // is written as "?" rather than losing the line.
    std::string bytes;
    if (text::hasNonAscii(utf8)) {
        if (auto cp = text::utf8ToCp1251(utf8))
            bytes = std::move(*cp);
        else
            bytes.assign(utf8.size(), '?');
        utf8 = bytes;
    }
    if (const int e = m_file.write(utf8)) fail("write", e);
}

void TraceLog::flush() {
    if (!m_file.isOpen()) return;
    if (const int e = m_file.flush()) fail("write", e);
}

void TraceLog::writeItem(std::string_view utf8) {
    put(utf8);
}

void TraceLog::writeLine(std::string_view utf8) {
    put(utf8);
    put("\r\n");
    if (m_flushEachLine) flush();
}

void TraceLog::writeLogNumber(Real v) {
    writeItem(formatFixed(v, 10, 4));
}

void TraceLog::degenerateRound(const int32_t* rows, int32_t count) {
    writeLine("---------- Вырождение: ------------");
    std::string line;
    for (int32_t k = 0; k < count; ++k)
        line += intText(rows[k], 4);
    line += " ---------------------------------------------------------";
    writeLine(line);
}

void TraceLog::unboundedColumn(int32_t column) {
    writeLine("Переменная " + intText(column) + "не имеет ограничений");
}

void TraceLog::phase1Finished() {
    writeLine("Этап 1 успешно завершен");
}

void TraceLog::noFeasibleSolutionHeader() {
    writeLine("Ограничения не имеют допустимого решения");
}

void TraceLog::noFeasibleSolutionSum(Real w, char sep) {
    writeLine("Сумма искусственных переменных равна ");
    writeLine(text::formatGeneral(w, sep));
}

void TraceLog::cyclingDetected(int32_t pass, int32_t earlierPass) {
    writeLine("Зацикливание: " + intText(pass) + " -й план повторяет " + intText(earlierPass) +
              " -й, далее выбор по наименьшему номеру");
}

void TraceLog::passLimitReached(int32_t limit) {
    writeLine("Превышено предельное число планов " + intText(limit) + ", решение остановлено");
}

void TraceLog::overflow(const std::string& where) {
    writeLine("Переполнение: " + where + " вне диапазона чисел, решение остановлено");
}

void TraceLog::solveStopped() {
    writeLine("Решение прервано пользователем");
}

void TraceLog::constraintStateListing(const LpProblem& p) {
    writeLine("ОГРАНИЧЕНИЕ  СОСТОЯНИЕ    ДОПОЛНИТЕЛЬНЫЕ ПЕРЕМЕННЫЕ");
    for (int32_t i = 1; i <= p.M; ++i) {
        // Appended piece by piece: GCC 12's Release build takes " " + string for an
        // overlapping copy (-Wrestrict) and warns.
        std::string line = " ";
        line += intText(i);
        line += "  ";
        if (p.isEqualRow(i)) {
            line += "Уравнение не решено";
        } else {
            const auto col = static_cast<size_t>(p.ownExtraColumn(i));
            line += p.basic[col] == 1 ? "          Допол.перем.    " : "      ";
            line += formatFixed(p.solution[col], 10, 4);
        }
        writeLine(line);
    }
}

void TraceLog::nonBasicColumnList(const LpProblem& p) {
    writeLine(" X (небазисные, то есть равные нулю): ");
    std::string line;
    int counter = 0;
    for (int32_t j = 1; j <= p.phase1Columns; ++j) {
        if (p.basic[static_cast<size_t>(j)] != 1) line += "  X[" + intText(j, 3) + "] = 0  ";
        if (++counter == 4) {
            writeLine(line);
            line.clear();
            counter = 0;
        }
    }
    writeLine(line);
}

void TraceLog::planHeading(const LpProblem& p) {
    writeLine();
    writeLine();
    if (p.entering != 0)
        writeLine("================ " + intText(p.pass) + " -й план : ============");
}

void TraceLog::pricingList(const LpProblem& p) {
    writeLine(" Коэффициенты при неизвестных в целевой функции: ");
    writeLine();
    // The items of this list go out without a flush per line; the list is flushed as a whole.
    m_flushEachLine = false;
    std::string line;
    int counter = 0;
    for (int32_t j = 1; j <= p.phase1Columns; ++j) {
        line += " C[" + intText(j, 3) +
                "] = " + formatFixed(p.pricing[static_cast<size_t>(j)], 8, 3) + "  ";
        if (++counter == 3) {
            writeLine(line);
            line.clear();
            counter = 0;
        }
    }
    m_flushEachLine = true;
    writeLine(line);
}

} // namespace kvado
