#include "analysis/ExactSolution.h"

namespace kvado::analysis {

const char* exactStatusName(ExactStatus s) {
    switch (s) {
    case ExactStatus::Optimal:
        return "optimal";
    case ExactStatus::Infeasible:
        return "infeasible";
    case ExactStatus::Unbounded:
        return "unbounded";
    case ExactStatus::Stopped:
        return "stopped";
    case ExactStatus::Failed:
        return "failed";
    }
    return "failed";
}

std::string roundedDataText() {
    return "данные округлены до 80-битных чисел: у числа задачи показатель степени вне "
           "досягаемости, его точное значение не сохранено";
}

} // namespace kvado::analysis
