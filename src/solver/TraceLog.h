#pragma once
// The trace log "Kvaq.log": what the results cannot show (degenerate rounds, an unbounded
// column, the end of phase 1 or the missing feasible solution) and, at the end of a solve,
// the state of every constraint's extra variable, the non-basic columns and the pricing row.
// windows-1251, CR LF. It is written beside the old log and replaces it when the solve closes
// it, so a solve that fails or is killed on the way leaves the previous log whole.

#include <string>
#include <string_view>

#include "base/FileIo.h"
#include "text/NumberText.h"

namespace kvado {

class LpProblem;

inline constexpr const char* kTraceLogName = "Kvaq.log";

class TraceLog {
public:
    // `folder` empty: the current folder.
    explicit TraceLog(std::string folder = {}) : m_folder(std::move(folder)) {}
    // A log that keeps nothing: for the solves an analysis makes of problems of its own, which
    // must not replace the user's Kvaq.log.
    struct Discard {};
    explicit TraceLog(Discard) : m_discard(true) {}
    ~TraceLog();
    TraceLog(const TraceLog&) = delete;
    TraceLog& operator=(const TraceLog&) = delete;

    std::string path() const;
    void open();  // create or truncate; throws FileError
    void close(); // flushes; throws FileError
    bool isOpen() const { return m_discard ? m_discardOpen : m_file.isOpen(); }

    void writeLine(std::string_view utf8 = {});
    void writeItem(std::string_view utf8);
    void endLine() { writeLine(); }
    void flush();
    void writeLogNumber(Real v); // fixed format 10.4

    // The events, with their exact lines.
    void degenerateRound(const int32_t* rows, int32_t count);
    void unboundedColumn(int32_t column);
    void phase1Finished();
    void noFeasibleSolutionHeader();
    void noFeasibleSolutionSum(Real w, char decimalSeparator);
    // The basis at the start of pass `pass` is that of pass `earlierPass`: from here the
    // phase chooses by the smallest number.
    void cyclingDetected(int32_t pass, int32_t earlierPass);
    void passLimitReached(int32_t limit);
    void solveStopped();
    void overflow(const std::string& where);
    void constraintStateListing(const LpProblem& p);
    void nonBasicColumnList(const LpProblem& p); // part of WriteSolutionReport
    void planHeading(const LpProblem& p);        // WritePlanHeading
    void pricingList(const LpProblem& p);        // part of WriteShadowPrices

private:
    void put(std::string_view utf8);
    [[noreturn]] void fail(const char* what, int err);
    std::string m_folder;
    ReplacingFile m_file;
    bool m_flushEachLine = true;
    bool m_discard = false;
    bool m_discardOpen = false;
};

} // namespace kvado
