#pragma once
// How an opened data file and its name files appear in the input grid: the numbers in the
// general number format, the headers and placeholders of an opened file, one blank before
// every name. The open command of the main window and kvado-cli share it.

#include <string>
#include <string_view>
#include <vector>

#include "datafile/DataFile.h"
#include "grid/StringGridModel.h"

namespace kvado::datafile {

// Fills the grid while the data file is read: sized N+2 columns by M+3 rows once the header
// is read, every value written into its cell as it is read. Progress goes to `forward`.
class GridLoadObserver : public LoadObserver {
public:
    GridLoadObserver(StringGridModel& grid, char decimalSeparator, LoadObserver* forward = nullptr)
        : m_grid(grid), m_sep(decimalSeparator), m_forward(forward) {}
    // Size the grid but leave its number cells alone (nothing shows them in the CLI).
    void setWriteNumbers(bool on) { m_numbers = on; }
    void header(const LpProblem& p) override;
    void coefficient(int32_t i, int32_t j, Real a) override;
    void objective(int32_t j, Real c) override;
    void rightHandSide(int32_t i, Real b) override;
    void progressMaximum(int32_t m) override;
    void progress(int32_t i) override;

private:
    StringGridModel& m_grid;
    char m_sep;
    LoadObserver* m_forward;
    int32_t m_M = 0;
    bool m_numbers = true;
};

// The widths, headers and placeholders of an opened file.
void layOutOpenedGrid(StringGridModel& grid, int32_t M, int32_t N);

// The constraint names file's lines into column 0 (lines 1..M+1); returns the objective name,
// which is line M+1 when the file has exactly M+1 lines and empty otherwise. Read the file with
// at most M+2 lines: one more than M+1 is enough to know that it has more.
std::string applyConstraintNames(StringGridModel& grid, int32_t M,
                                 const std::vector<std::string>& lines);
// The unknown names file's lines into row 1 (lines 1..N).
void applyUnknownNames(StringGridModel& grid, int32_t N, const std::vector<std::string>& lines);

// The messages of a missing name file.
std::string missingConstraintNamesMessage(const std::string& path, int32_t M);
std::string missingUnknownNamesMessage(const std::string& path, int32_t N);

// What the user reads when readDataFile() refused a file's counts (ProblemSizeError): negative
// counts, or a problem larger than this machine holds, with the counts the file gives. The
// library's own text is for programs; this one says it in the program's language.
std::string problemSizeMessage(std::string_view dataBytes);
// The message for M constraints and N unknowns beyond what the machine holds, with the limits.
std::string tooLargeMessage(int64_t M, int64_t N);
// The same for a model file refused while it is read (more rows or columns than the limit so
// far), and for one whose standard form is too large: the file's sizes and the form's.
std::string fileTooLargeMessage(int64_t rows, int64_t columns);
std::string standardFormTooLargeMessage(int64_t fileRows, int64_t fileColumns, int64_t M,
                                        int64_t N);

} // namespace kvado::datafile
