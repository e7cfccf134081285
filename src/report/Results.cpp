#include "report/Results.h"

#include <algorithm>
#include <cmath>

#include "text/NumberText.h"

namespace kvado::report {

using text::formatFixed;
using text::formatGeneral;
using text::formatShortGeneral;
using text::intText;

ResultsModel::ResultsModel() : SG3(2, 3), SG2(6, 4) {
    SG3.setFixedCols(1);
    SG3.setFixedRows(2);
    SG2.setFixedCols(1);
    SG2.setFixedRows(3);
}

namespace {

size_t utf8Length(const std::string& s) {
    size_t n = 0;
    for (char c : s)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

// The byte offset where the last `count` characters of `s` begin.
size_t utf8TailOffset(const std::string& s, size_t count) {
    size_t seen = 0;
    for (size_t k = s.size(); k > 0; --k) {
        if ((static_cast<unsigned char>(s[k - 1]) & 0xC0) != 0x80 && ++seen == count) return k - 1;
    }
    return 0;
}

const char* relation(const LpProblem& p, int32_t i) {
    if (p.isGreaterRow(i)) return ">=";
    if (p.isEqualRow(i)) return "=";
    return "<=";
}

} // namespace

std::string nameField(const std::string& name, int width) {
    const std::string padded = std::string(20, ' ') + name;
    const size_t w = static_cast<size_t>(width);
    if (utf8Length(padded) <= w) return padded;
    return padded.substr(utf8TailOffset(padded, w));
}

std::string reportDateTime(const std::string& shortDate, const std::string& longTime,
                           bool midnight) {
    return midnight ? shortDate : shortDate + " " + longTime;
}

void SetUpResultGrids(const LpProblem& p, const StringGridModel& in, ResultsModel& r) {
    auto& sg3 = r.SG3;
    auto& sg2 = r.SG2;
    StringGridModel::UpdateScope s3(sg3), s2(sg2);
    const int inCols = in.colCount(), inRows = in.rowCount();
    sg3.setColCount(inCols - 1);
    sg3.setRowCount(3);
    for (int k = 0; k < sg3.colCount(); ++k)
        sg3.setColWidth(k, in.colWidth(k));
    for (int32_t j = 1; j <= p.N; ++j) {
        sg3.setCell(j, 0, " X" + intText(j));
        sg3.setCell(j, 1, in.cell(j + 1, 1));
    }
    sg3.setCell(0, 0, in.cell(0, 1));
    sg3.setCell(0, 2, " Решение:");
    if (!r.fillAnalysisGrid) return;

    sg2.setColCount(inCols + 3);
    sg2.setRowCount(inRows);
    const int n = p.N;
    for (int k = 0; k <= n + 1 && k < sg2.colCount(); ++k)
        sg2.setColWidth(k, in.colWidth(k));
    const int w = sg2.colWidth(n + 1);
    sg2.setColWidth(n + 2, w);
    sg2.setColWidth(n + 3, w);
    sg2.setColWidth(n + 4, w + 6);
    for (int32_t i = 1; i <= p.M; ++i)
        sg2.setCell(0, i + 2, in.cell(0, i + 1));
    sg2.setCell(0, 0, " Неизвестные -->");
    sg2.setCell(0, 2, in.cell(0, 0));
    for (int32_t j = 1; j <= n; ++j) {
        sg2.setCell(j, 0, " X" + intText(j));
        sg2.setCell(j, 2, " A*X" + intText(j));
    }
    for (int32_t j = 1; j <= n; ++j)
        sg2.setCell(j, 1, in.cell(j + 1, 1));
    // Columns N+1..N+4 have no heading in rows 0 and 2; an earlier solve with more unknowns
    // left its X and A*X headings there.
    for (int32_t k = n + 1; k <= n + 4; ++k) {
        sg2.setCell(k, 0, "");
        sg2.setCell(k, 2, "");
    }
    sg2.setCell(n + 1, 1, " Расход");
    sg2.setCell(n + 2, 1, " Сравнен.");
    sg2.setCell(n + 3, 1, " Наличие");
    sg2.setCell(n + 4, 1, " Тен.цена");
    for (int32_t i = 1; i <= p.M; ++i)
        sg2.setCell(n + 2, i + 2, relation(p, i));
}

void WriteSolutionReport(const LpProblem& p, const ReportContext& ctx, ReportDocument& doc,
                         ResultsModel& r) {
    const StringGridModel empty(0, 0);
    const StringGridModel& in = ctx.inputGrid ? *ctx.inputGrid : empty;
    doc.setDefaultFormat(ReportDocument::baseFormat());
    doc.setCurrentFormat(ReportDocument::headingFormat());
    doc.append("     РЕШЕНИЕ");
    doc.append("Файл данных: " + p.dataFileName + "  " + ctx.dateTime);
    doc.append(" ");
    doc.setCurrentFormat(ReportDocument::headingFormat());
    doc.append(ctx.optimal ? "   Оптимальный план" : kLastBasisHeading);
    doc.append(" ");
    StringGridModel::UpdateScope scope(r.SG3);
    for (int32_t i = 1; i <= p.M; ++i) {
        const int32_t j = p.basis[static_cast<size_t>(i)];
        if (j > p.N) continue;
        const std::string value = formatFixed(p.inverse(i, 0), 8, 3);
        doc.append("X[" + intText(j, 3) + "] ( " + nameField(r.SG3.cell(j, 1), 25) +
                   " ) = " + value);
        r.SG3.setCell(j, 2, value);
    }
    for (int32_t j = 1; j <= p.phase1Columns && j <= p.N; ++j)
        if (p.basic[static_cast<size_t>(j)] == 0) r.SG3.setCell(j, 2, "0");
    doc.append(" ");
    doc.setCurrentFormat(ReportDocument::headingFormat());
    doc.append("   " + in.cell(0, p.M + 2));
    doc.append(" ");
    // Z with its sign, as the results window shows it (the magnitude alone read a minimum of
    // -36 as 36).
    doc.append("Значение = " + formatFixed(-p.inverse(p.M + 1, 0), 0, 2));
    doc.append(" ");
}

void WriteShadowPrices(const LpProblem& p, const ReportContext& ctx, ReportDocument& doc,
                       ResultsModel& r) {
    const StringGridModel empty(0, 0);
    const StringGridModel& in = ctx.inputGrid ? *ctx.inputGrid : empty;
    doc.setCurrentFormat(ReportDocument::headingFormat());
    doc.append(" Теневые цены ресурсов (Pi)");
    doc.append(" ");
    StringGridModel::UpdateScope scope(r.SG2);
    for (int32_t i = 1; i <= p.M; ++i) {
        const Real pi = p.inverse(p.M + 1, i);
        doc.append("Pi[" + intText(i, 3) + "] ( " + nameField(in.cell(0, i + 1), 35) +
                   " ) = " + formatFixed(pi, 8, 3));
        if (r.fillAnalysisGrid)
            r.SG2.setCell(p.N + 4, i + 2, formatShortGeneral(pi, ctx.decimalSeparator));
    }
    r.edTarget = formatFixed(-p.inverse(p.M + 1, 0), 0, 2);
}

void SolutionCheck::resize(int32_t M) {
    rowActivity.resize(static_cast<size_t>(M) + 1, 0);
    slackFlags.resize(static_cast<size_t>(M) + 1, 0);
}

void ComputeResourceUse(const LpProblem& p, char sep, ResultsModel& r, SolutionCheck& check) {
    check.resize(p.M);
    std::vector<Real> x(static_cast<size_t>(p.N) + 1, 0);
    for (int32_t i = 1; i <= p.M; ++i) {
        const int32_t j = p.basis[static_cast<size_t>(i)];
        if (j <= p.N) x[static_cast<size_t>(j)] = p.inverse(i, 0);
    }
    auto& sg2 = r.SG2;
    const bool cells = r.fillAnalysisGrid;
    StringGridModel::UpdateScope scope(sg2);
    const std::string zero = formatShortGeneral(0, sep);
    for (int32_t i = 1; i <= p.M; ++i) {
        // The products are added in the order of j; the zero coefficients are not stored, and
        // their products (zero) would leave the sum as it is.
        if (cells)
            for (int32_t j = 1; j <= p.N; ++j)
                sg2.setCell(j, i + 2, zero);
        Real sum = 0;
        const auto row = p.row(i);
        for (int32_t t = 0; t < row.count; ++t) {
            const int32_t j = row.columns[t];
            const Real a = row.valuesD ? Real(row.valuesD[t]) : row.values[t];
            const Real product = a * x[static_cast<size_t>(j)];
            if (cells) sg2.setCell(j, i + 2, formatShortGeneral(product, sep));
            sum = sum + product;
        }
        check.rowActivity[static_cast<size_t>(i)] = sum;
        if (cells) {
            sg2.setCell(p.N + 1, i + 2, formatShortGeneral(sum, sep));
            sg2.setCell(p.N + 3, i + 2,
                        formatShortGeneral(p.initialRhs[static_cast<size_t>(i)], sep));
        }
    }
}

namespace {

// The row in which column j is basic, 0 when it is not.
int32_t basisRowOf(const LpProblem& p, int32_t j) {
    for (int32_t i = 1; i <= p.M; ++i)
        if (p.basis[static_cast<size_t>(i)] == j) return i;
    return 0;
}

// The first unknown whose value is below 0 by more than the check's tolerance, 0 for none.
int32_t firstNegativeUnknown(const LpProblem& p) {
    int32_t first = 0;
    for (int32_t i = 1; i <= p.M; ++i) {
        const int32_t j = p.basis[static_cast<size_t>(i)];
        if (j >= 1 && j <= p.N && p.inverse(i, 0) < -kMetTolerance && (first == 0 || j < first))
            first = j;
    }
    return first;
}

// The first unknown that is not basic and whose reduced cost against the final multipliers is
// below the check's tolerance; 0 for none. The surplus and slack columns' costs are their
// rows' shadow prices, which the control number weighs.
int32_t firstImprovingUnknown(const LpProblem& p, Real& reducedCost) {
    std::vector<char> basic(static_cast<size_t>(p.N) + 1, 0);
    for (int32_t i = 1; i <= p.M; ++i) {
        const int32_t j = p.basis[static_cast<size_t>(i)];
        if (j >= 1 && j <= p.N) basic[static_cast<size_t>(j)] = 1;
    }
    for (int32_t j = 1; j <= p.N; ++j) {
        if (basic[static_cast<size_t>(j)]) continue;
        Real d = 0;
        const auto col = p.column(j);
        for (int32_t t = 0; t < col.count; ++t)
            d = d + p.inverse(p.M + 1, col.rows[t]) * col.value(t);
        d = d + p.objectiveCoefficient(j);
        if (d < -kControlTolerance) {
            reducedCost = d;
            return j;
        }
    }
    return 0;
}

} // namespace

bool CheckSolution(const LpProblem& p, char sep, ReportDocument& doc, ResultsModel& r,
                   SolutionCheck& check, bool solveOptimal) {
    ComputeResourceUse(p, sep, r, check);
    std::vector<Real>& rowActivity = check.rowActivity;
    std::vector<int32_t>& slackFlags = check.slackFlags;
    doc.append("");
    doc.append("");
    bool feasible = true;
    auto message = [&](int32_t i, const char* middle, const char* rel) {
        doc.append("Ограничение №" + intText(i) + middle +
                   formatGeneral(rowActivity[static_cast<size_t>(i)], sep) + rel +
                   formatGeneral(p.initialRhs[static_cast<size_t>(i)], sep));
    };
    for (int32_t i = 1; i <= p.M; ++i) {
        const auto ui = static_cast<size_t>(i);
        const Real activity = rowActivity[ui], b = p.initialRhs[ui];
        if (p.isGreaterRow(i)) {
            if (activity < b - kMetTolerance) {
                message(i, " НЕ выполнено: ", " >= ");
                feasible = false;
            } else {
                slackFlags[ui] = std::fabs(activity - b) < kBindingTolerance ? 0 : 1;
            }
        }
    }
    for (int32_t i = p.G + 1; i <= p.G + p.E; ++i) {
        const auto ui = static_cast<size_t>(i);
        const Real activity = rowActivity[ui], b = p.initialRhs[ui];
        // Relative to the activity, but never tighter than the absolute tolerance of the
        // other rows: a row with B = 0 whose activity is a rounding residue is met.
        const Real d = std::fabs(activity - b);
        if (d > kMetTolerance * std::max<Real>(1, std::fabs(activity))) {
            feasible = false;
            message(i, " НЕ выполнено ", " = ");
            slackFlags[ui] = 1;
        } else {
            slackFlags[ui] = 0;
        }
    }
    for (int32_t i = p.G + p.E + 1; i <= p.M; ++i) {
        const auto ui = static_cast<size_t>(i);
        const Real activity = rowActivity[ui], b = p.initialRhs[ui];
        if (activity > b + kMetTolerance) {
            feasible = false;
            message(i, " НЕ выполнено ", " <= ");
        } else {
            slackFlags[ui] = std::fabs(activity - b) < kBindingTolerance ? 0 : 1;
        }
    }
    // Rows that hold say nothing of the unknowns' signs: a step over an entry below Eps can
    // leave a basic unknown negative at a point whose rows all hold.
    const int32_t negative = firstNegativeUnknown(p);
    if (negative != 0) feasible = false;
    doc.append("");
    if (solveOptimal)
        doc.append(feasible ? "Полученное решение является допустимым. (ограничения выполнены)"
                            : "Полученное решение является НЕДОПУСТИМЫМ");
    else
        doc.append(feasible ? kLastBasisFeasible : kLastBasisInfeasible);
    if (negative != 0)
        doc.append("Неизвестная X[" + intText(negative) +
                   "] = " + formatGeneral(p.inverse(basisRowOf(p, negative), 0), sep) + " < 0");
    Real control = 0;
    for (int32_t i = 1; i <= p.M; ++i)
        control =
            control + static_cast<Real>(slackFlags[static_cast<size_t>(i)]) * p.inverse(p.M + 1, i);
    check.feasible = feasible;
    check.controlNumber = control;
    // The control number only weighs the rows with slack; a column that would still lower
    // the objective shows a point that is not the optimum whatever that number says.
    Real reducedCost = 0;
    const int32_t improving = feasible ? firstImprovingUnknown(p, reducedCost) : 0;
    check.optimal =
        solveOptimal && feasible && improving == 0 && std::fabs(control) < kControlTolerance;
    // The last basis of a solve that found no optimum is no answer to weigh further.
    if (feasible && solveOptimal) {
        doc.append(" ");
        if (check.optimal) {
            doc.append("Полученное решение является оптимальным.");
            doc.append("Контрольное число = " + formatGeneral(control, sep) +
                       " - ( должно быть близко к нулю )");
        } else if (improving != 0) {
            doc.append("Решение не оптимально: оценка столбца X[" + intText(improving) +
                       "] = " + formatGeneral(reducedCost, sep) + " < 0");
        }
    }
    return feasible;
}

} // namespace kvado::report
