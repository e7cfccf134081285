#pragma once
// The open command's sequence: the data file into the problem and the input grid, then the
// name files beside it into the grid, the objective's name, and the hints for a name file
// that is missing. The main window and kvado-cli both open a file this way.

#include <optional>
#include <string>
#include <vector>

#include "datafile/DataFile.h"
#include "grid/StringGridModel.h"
#include "session/ProblemInput.h"
#include "solver/LpProblem.h"

namespace kvado::session {

enum class OpenStatus {
    Opened,   // the data file and whatever name files there are were read
    NotFound, // no file at the path: nothing changed but the problem's data file name
    Refused,  // counts the machine cannot hold: refused before anything changed
    Stopped,  // a number that does not read, or a file that cannot be read
    Kept,     // read whole, but the user kept the typed work it would have replaced
};

struct OpenResult {
    OpenStatus status = OpenStatus::Opened;
    // The counts and tolerance of the file, once its header was read.
    std::optional<EditTexts> edits;
    // The objective's name from the constraint names file; empty when it names none.
    std::string objectiveName;
    // Message boxes to show, in order: the hints of missing name files, or the missing file.
    std::vector<std::string> messages;
    // NotFound, Refused, Stopped: the error report's text (NotFound: empty).
    std::string error;
    // NotFound, Refused, Stopped: the reason in the library's own words, for programs.
    std::string reason;
    // Stopped by a number that does not convert, and where it stands: «строка 3, число 7:
    // «abc»».
    bool badNumber = false;
    std::string badNumberPlace;
    // «Файл закончился раньше: K чисел прочитаны как 0» for a file that ended early, which
    // is read as the format says (its missing numbers as 0) but not in silence.
    std::string shortFileNote;
    // The data file was read whole: the name files were reached, and the objective's name
    // above is the one to show.
    bool dataRead = false;
};

struct OpenOptions {
    char decimalSeparator = ',';
    // Write the opened numbers into the grid's cells (the CLI only needs the names).
    bool writeNumbers = true;
    // A name file that exists but cannot be read stops the command (the windows); otherwise
    // it is taken for a missing one (the CLI).
    bool nameFileErrorsStop = true;
    // The progress bar and the edits while the file is read; may be null.
    datafile::LoadObserver* observer = nullptr;
};

// Opens the data file at `path` into the problem and the grid. The problem's data file name is
// set first, whatever follows.
OpenResult openProblem(const std::string& path, LpProblem& p, StringGridModel& grid,
                       const OpenOptions& options);

} // namespace kvado::session
