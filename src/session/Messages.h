#pragma once
// Every text the session shows for a problem's input and solve, in one place. The solver's own
// message of a problem without a feasible solution is kNoFeasibleSolutionMessage
// (solver/Simplex.h); the messages of the data and name files are datafile's.

#include <cstdint>
#include <string>

#include "grid/StringGridModel.h"
#include "solver/LpProblem.h"

namespace kvado::session {

// A count or the tolerance that does not convert (or is refused).
inline constexpr const char* kBadG = "Ошибка огр >=";
inline constexpr const char* kBadE = "Ошибка огр =";
inline constexpr const char* kBadL = "Ошибка огр <=";
inline constexpr const char* kBadN = "Ошибка числа неизв";
inline constexpr const char* kBadEps = "Ошибка Eps";
// Counts whose grid or problem the machine could not hold.
inline constexpr const char* kTooLarge = "Ошибка: задача слишком велика для этого компьютера";
// The input grid's shape does not match the counts.
inline constexpr const char* kRowsMismatch =
    "Ошибка: число строк таблицы\r\nне соответствует числу ограничений.\r\nИсправьте";
inline constexpr const char* kColsMismatch =
    "Ошибка: число столбцов таблицы\r\nне соответствует числу неизвестных.\r\nИсправьте";
// The open command's data file is not there.
inline constexpr const char* kFileNotFound = "Файл не найден...";

// The open command's data file holds no number.
inline constexpr const char* kEmptyDataFile = "Файл данных пуст: в нем нет ни одного числа";
// The question before a pasted block larger than the grid grows it by `rows` "<=" rows and
// `cols` unknowns (either may be 0 and is then not named).
std::string growQuestion(int64_t rows, int64_t cols);

// Before a data file is written for a grid whose unknowns are marked integer or binary: the
// format has no place for the marks, so an LP file (`lpName`) is offered instead.
inline std::string marksNotKeptQuestion(const std::string& lpName) {
    return "В файле данных нет места для отметок неизвестных «целое» и «0/1»: они не будут "
           "записаны.\r\nЗаписать задачу вместо него в файл LP «" +
           lpName + "», где отметки сохранятся?";
}

// The last line of the error report of an open command that could not read its file.
std::string notReadMessage(const std::string& fileName);

// A negative right-hand side B[i], refused before the solve.
std::string negativeRightHandSideMessage(int32_t i);
// The objective falls without end along column `column`: "X[column]" in the trace log's terms.
std::string unboundedMessage(int32_t column);
// The same, naming the column as the user knows it: an unknown by its name in the grid, a
// surplus or slack column by its constraint's name (the column numbers count those columns
// too, so "X[3]" of a problem with two unknowns named nothing the user had).
std::string unboundedMessage(const LpProblem& p, const StringGridModel& grid, int32_t column);

} // namespace kvado::session
