#include "model/StandardForm.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "solver/LpProblem.h"
#include "text/ExactValue.h"

namespace kvado::model {

std::string summaryText(const TransformSummary& s) {
    std::string parts;
    auto add = [&parts](const std::string& part) { parts += (parts.empty() ? "" : "; ") + part; };
    auto count = [&add](const char* what, int64_t n) {
        if (n > 0) add(std::string(what) + ": " + std::to_string(n));
    };
    if (s.maximised) add("максимум заменен минимумом (коэффициенты цели умножены на -1)");
    count("ограничений умножено на -1", s.rowsNegated);
    count("двусторонних ограничений разбито на два", s.rangesSplit);
    count("двусторонних ограничений с равными границами стало равенствами", s.rangesEqual);
    count("неизвестных сдвинуто (x = l + x')", s.shifted);
    count("неизвестных отражено (x = u - x')", s.mirrored);
    count("свободных неизвестных разбито на две (x = x+ - x-)", s.split);
    count("фиксированных неизвестных подставлено", s.fixed);
    count("верхних границ стало ограничениями", s.boundRows);
    count("пустых ограничений опущено", s.emptyRows);
    if (parts.empty()) parts = "изменений не потребовалось";
    return "Задача приведена к стандартному виду: " + parts + ".";
}

namespace {

using MapKind = StandardForm::ColumnKind;

// The model's coefficients by rows, columns ascending within a row: two counting sorts, first
// by column, then (stably) by row.
struct RowWise {
    std::vector<int64_t> start;
    std::vector<int32_t> column;
    std::vector<Real> value;
    std::vector<text::ExactNumber> exact;
};

RowWise byRows(const Model& m) {
    const size_t nnz = m.entries.size();
    std::vector<int64_t> colStart(m.columns.size() + 1, 0);
    for (const auto& e : m.entries)
        ++colStart[static_cast<size_t>(e.column) + 1];
    for (size_t j = 1; j < colStart.size(); ++j)
        colStart[j] += colStart[j - 1];
    std::vector<size_t> byColumn(nnz);
    for (size_t k = 0; k < nnz; ++k)
        byColumn[static_cast<size_t>(colStart[static_cast<size_t>(m.entries[k].column)]++)] = k;

    RowWise r;
    r.start.assign(m.rows.size() + 1, 0);
    for (const auto& e : m.entries)
        ++r.start[static_cast<size_t>(e.row) + 1];
    for (size_t i = 1; i < r.start.size(); ++i)
        r.start[i] += r.start[i - 1];
    std::vector<int64_t> next(r.start.begin(), r.start.end() - 1);
    r.column.resize(nnz);
    r.value.resize(nnz);
    r.exact.resize(nnz);
    for (const size_t k : byColumn) {
        const auto& e = m.entries[k];
        const auto at = static_cast<size_t>(next[static_cast<size_t>(e.row)]++);
        r.column[at] = e.column;
        r.value[at] = e.value;
        r.exact[at] = e.exact;
    }
    return r;
}

std::string shiftedName(const std::string& name, Real l) {
    if (l == 0) return name;
    return l > 0 ? name + "-" + numberText(l) : name + "+" + numberText(-l);
}

// One row of the standard form before it has its place.
struct Half {
    int32_t userRow; // -1: the bound row of column `boundColumn`
    int32_t boundColumn;
    RowKind kind; // Greater, Equal or Less
    text::ExactReal rhs;
    int sign;
    std::string name;
};

using text::ExactReal;

// The problem's exact value at a tableau position, as a number beside the extended one.
text::ExactNumber exactAt(const LpProblem& p, int32_t i, int32_t j) {
    const text::ExactValue* x = p.exact(i, j);
    return x ? text::ExactNumber::of(*x, p.tableau(i, j)) : text::ExactNumber();
}

ExactReal shiftOf(const StandardForm::ColumnMap& map) {
    return {map.shift, map.shiftExact};
}
void noteInfeasible(StandardForm& sf, const std::string& why) {
    if (sf.infeasible.empty()) sf.infeasible = "Задача не имеет допустимого решения: " + why;
}

// Columns: their kind, shift and place; the objective's constant gathers the shifts' costs.
// Returns the number of columns of the standard form.
int64_t mapColumns(const Model& m, StandardForm& sf) {
    const auto nCols = m.columns.size();
    sf.columnMap.resize(nCols);
    ExactReal constant{m.objectiveConstant, m.objectiveConstantExact};
    int64_t nStd = 0, nBound = 0;
    for (size_t j = 0; j < nCols; ++j) {
        const Column& c = m.columns[j];
        auto& map = sf.columnMap[j];
        const Real l = c.lower, u = c.upper;
        if (!(l <= u) || l == kInfinity || u == -kInfinity) {
            if (sf.infeasible.empty()) sf.infeasibleColumn = static_cast<int32_t>(j);
            noteInfeasible(sf, "у неизвестной «" + c.name + "» нижняя граница " + numberText(l) +
                                   " больше верхней " + numberText(u));
            map.kind = MapKind::Fixed;
            map.shift = std::isfinite(l) ? l : std::isfinite(u) ? u : 0;
            map.shiftExact = std::isfinite(l)   ? c.lowerExact
                             : std::isfinite(u) ? c.upperExact
                                                : text::ExactNumber();
        } else if (l == u) {
            map.kind = MapKind::Fixed;
            map.shift = l;
            map.shiftExact = c.lowerExact;
            ++sf.summary.fixed;
        } else if (std::isfinite(l)) {
            map.kind = MapKind::Shifted;
            map.shift = l;
            map.shiftExact = c.lowerExact;
            map.column = static_cast<int32_t>(nStd++);
            if (l != 0) ++sf.summary.shifted;
            if (std::isfinite(u)) ++nBound;
        } else if (std::isfinite(u)) {
            map.kind = MapKind::Mirrored;
            map.shift = u;
            map.shiftExact = c.upperExact;
            map.column = static_cast<int32_t>(nStd++);
            ++sf.summary.mirrored;
        } else {
            map.kind = MapKind::Free;
            map.column = static_cast<int32_t>(nStd);
            nStd += 2;
            ++sf.summary.split;
        }
        if (map.kind != MapKind::Free) constant = constant + exactCost(c) * shiftOf(map);
    }
    sf.summary.boundRows = nBound;
    sf.offset = constant.value;

    return nStd;
}

// Rows: the halves each user row becomes, after the shifts, with their right-hand sides made
// non-negative, and the bound rows of the columns with both bounds. `nnz` counts the
// coefficients they will hold.
std::vector<Half> rowHalves(const Model& m, const RowWise& rw, StandardForm& sf, int64_t& nnz) {
    std::vector<Half> halves;
    halves.reserve(m.rows.size() + static_cast<size_t>(sf.summary.boundRows));
    for (size_t r = 0; r < m.rows.size(); ++r) {
        const Row& row = m.rows[r];
        ExactReal adjust;
        int64_t count = 0;
        for (auto k = rw.start[r]; k < rw.start[r + 1]; ++k) {
            const auto& map = sf.columnMap[static_cast<size_t>(rw.column[static_cast<size_t>(k)])];
            const ExactReal a{rw.value[static_cast<size_t>(k)], rw.exact[static_cast<size_t>(k)]};
            if (map.kind != MapKind::Free) adjust = adjust + a * shiftOf(map);
            if (map.kind != MapKind::Fixed && a.value != 0)
                count += map.kind == MapKind::Free ? 2 : 1;
        }
        const ExactReal loExact = exactLower(row) - adjust, upExact = exactUpper(row) - adjust;
        const Real lo = loExact.value, up = upExact.value;
        if (row.kind == RowKind::Range && row.lower > row.upper) {
            // Both halves of the row are the proof: its lower bound above its upper one.
            if (sf.infeasible.empty()) {
                sf.infeasibleRow = static_cast<int32_t>(r);
                sf.infeasibleSide = 2;
            }
            noteInfeasible(sf, "у ограничения «" + row.name + "» нижняя граница " +
                                   numberText(row.lower) + " больше верхней " +
                                   numberText(row.upper));
        }
        if (count == 0) {
            ++sf.summary.emptyRows;
            const Real tol = 1e-9L;
            const bool meets =
                (!std::isfinite(lo) || lo <= tol * std::max<Real>(1, std::fabs(lo))) &&
                (!std::isfinite(up) || up >= -tol * std::max<Real>(1, std::fabs(up)));
            if (!meets) {
                if (sf.infeasible.empty()) {
                    sf.infeasibleRow = static_cast<int32_t>(r);
                    sf.infeasibleSide =
                        std::isfinite(lo) && lo > tol * std::max<Real>(1, std::fabs(lo)) ? 1 : -1;
                }
                std::string need = row.kind == RowKind::Range
                                       ? numberText(lo) + " <= 0 <= " + numberText(up)
                                       : "0 " + std::string(relationText(row.kind)) + " " +
                                             numberText(row.kind == RowKind::Less ? up : lo);
                noteInfeasible(sf, "ограничение «" + row.name +
                                       "» не содержит неизвестных и требует " + need);
            }
            continue;
        }
        nnz += count * (row.kind == RowKind::Range && row.lower != row.upper ? 2 : 1);
        const auto ri = static_cast<int32_t>(r);
        switch (row.kind) {
        case RowKind::Less:
            halves.push_back({ri, -1, RowKind::Less, upExact, 1, row.name});
            break;
        case RowKind::Greater:
            halves.push_back({ri, -1, RowKind::Greater, loExact, 1, row.name});
            break;
        case RowKind::Equal:
            halves.push_back({ri, -1, RowKind::Equal, loExact, 1, row.name});
            break;
        case RowKind::Range:
            if (row.lower == row.upper) {
                ++sf.summary.rangesEqual;
                halves.push_back({ri, -1, RowKind::Equal, loExact, 1, row.name});
            } else {
                ++sf.summary.rangesSplit;
                halves.push_back({ri, -1, RowKind::Greater, loExact, 1, row.name + ":lo"});
                halves.push_back({ri, -1, RowKind::Less, upExact, 1, row.name + ":up"});
            }
            break;
        }
    }
    for (auto& h : halves) {
        if (h.rhs.value < 0) {
            h.rhs = -h.rhs;
            h.sign = -1;
            h.kind = h.kind == RowKind::Greater ? RowKind::Less
                     : h.kind == RowKind::Less  ? RowKind::Greater
                                                : RowKind::Equal;
            h.name = "-" + h.name;
            ++sf.summary.rowsNegated;
        } else if (h.rhs.value == 0) {
            h.rhs.value = 0; // never -0 (the exact value, where it is not 0, stays)
        }
    }
    for (size_t j = 0; j < m.columns.size(); ++j) {
        const Column& c = m.columns[j];
        const auto& map = sf.columnMap[j];
        if (map.kind == MapKind::Shifted && std::isfinite(c.upper)) {
            halves.push_back({-1, static_cast<int32_t>(j), RowKind::Less,
                              exactUpper(c) - exactLower(c), 1,
                              c.name + "<=" + numberText(c.upper)});
            ++nnz;
        }
    }
    return halves;
}

// The counts of the three kinds of rows, within the method's limits.
std::array<int64_t, 3> checkedCounts(const Model& m, const std::vector<Half>& halves,
                                     int64_t nStd) {
    int64_t G = 0, E = 0, L = 0;
    for (const auto& h : halves)
        (h.kind == RowKind::Greater ? G : h.kind == RowKind::Equal ? E : L)++;
    try {
        checkCounts(G, E, L, nStd);
    } catch (const ProblemSizeError&) {
        throw ProblemSizeError(standardFormTooLargeMessage(static_cast<int64_t>(m.rows.size()),
                                                           static_cast<int64_t>(m.columns.size()),
                                                           G + E + L, nStd));
    }
    return {G, E, L};
}

// Columns of the standard form: their names and costs, in the objective's sense.
void nameAndPriceColumns(const Model& m, StandardForm& sf) {
    const Real sigma = sf.sign;
    sf.columnNames.resize(static_cast<size_t>(sf.N));
    sf.cost.assign(static_cast<size_t>(sf.N), 0);
    sf.costExact.assign(static_cast<size_t>(sf.N), {});
    const ExactReal sigmaExact{sigma, {}};
    for (size_t j = 0; j < m.columns.size(); ++j) {
        const Column& c = m.columns[j];
        const auto& map = sf.columnMap[j];
        if (map.column < 0) continue;
        const auto s = static_cast<size_t>(map.column);
        switch (map.kind) {
        case MapKind::Shifted:
            sf.columnNames[s] = shiftedName(c.name, c.lower);
            sf.cost[s] = sigma * c.cost;
            sf.costExact[s] = (sigmaExact * exactCost(c)).exact;
            break;
        case MapKind::Mirrored:
            sf.columnNames[s] = numberText(c.upper) + "-" + c.name;
            sf.cost[s] = -sigma * c.cost;
            sf.costExact[s] = (-sigmaExact * exactCost(c)).exact;
            break;
        case MapKind::Free:
            sf.columnNames[s] = c.name + "+";
            sf.columnNames[s + 1] = c.name + "-";
            sf.cost[s] = sigma * c.cost;
            sf.cost[s + 1] = -sigma * c.cost;
            sf.costExact[s] = (sigmaExact * exactCost(c)).exact;
            sf.costExact[s + 1] = (-sigmaExact * exactCost(c)).exact;
            break;
        case MapKind::Fixed:
            break;
        }
    }
}

// Rows of the standard form, group by group in the user's order.
void layRows(const Model& m, const RowWise& rw, const std::vector<Half>& halves, int64_t nnz,
             StandardForm& sf) {
    const auto M = static_cast<size_t>(sf.G + sf.E + sf.L);
    sf.rowNames.reserve(M);
    sf.rhs.reserve(M);
    sf.rowStart.reserve(M + 1);
    sf.columnIndex.reserve(static_cast<size_t>(nnz));
    sf.values.reserve(static_cast<size_t>(nnz));
    sf.valuesExact.reserve(static_cast<size_t>(nnz));
    sf.rhsExact.reserve(M);
    sf.rowMap.resize(m.rows.size());
    sf.rowStart.push_back(0);
    for (const RowKind group : {RowKind::Greater, RowKind::Equal, RowKind::Less}) {
        for (const auto& h : halves) {
            if (h.kind != group) continue;
            const auto i = static_cast<int32_t>(sf.rowNames.size());
            sf.rowNames.push_back(h.name);
            sf.rhs.push_back(h.rhs.value);
            sf.rhsExact.push_back(h.rhs.exact);
            if (h.userRow < 0) {
                auto& map = sf.columnMap[static_cast<size_t>(h.boundColumn)];
                map.boundRow = i;
                sf.columnIndex.push_back(map.column);
                sf.values.push_back(1);
                sf.valuesExact.emplace_back();
            } else {
                auto& rm = sf.rowMap[static_cast<size_t>(h.userRow)];
                const int slot = rm.row[0] < 0 ? 0 : 1;
                rm.row[slot] = i;
                rm.sign[slot] = h.sign;
                const auto r = static_cast<size_t>(h.userRow);
                for (auto k = rw.start[r]; k < rw.start[r + 1]; ++k) {
                    const Real a = h.sign * rw.value[static_cast<size_t>(k)];
                    const auto& map =
                        sf.columnMap[static_cast<size_t>(rw.column[static_cast<size_t>(k)])];
                    if (a == 0 || map.kind == MapKind::Fixed) continue;
                    // The signs change nothing but the sign of the exact value.
                    const ExactReal x{rw.value[static_cast<size_t>(k)],
                                      rw.exact[static_cast<size_t>(k)]};
                    const ExactReal ax = h.sign < 0 ? -x : x;
                    const text::ExactNumber minus = (-ax).exact;
                    sf.columnIndex.push_back(map.column);
                    sf.values.push_back(map.kind == MapKind::Mirrored ? -a : a);
                    sf.valuesExact.push_back(map.kind == MapKind::Mirrored ? minus : ax.exact);
                    if (map.kind == MapKind::Free) {
                        sf.columnIndex.push_back(map.column + 1);
                        sf.values.push_back(-a);
                        sf.valuesExact.push_back(minus);
                    }
                }
            }
            sf.rowStart.push_back(static_cast<int64_t>(sf.columnIndex.size()));
        }
    }
}

} // namespace

bool transformMayRuleOut(const Model& m) {
    for (const Column& c : m.columns)
        if (!(c.lower <= c.upper) || c.lower == kInfinity || c.upper == -kInfinity) return true;
    // Per row: 1 when a coefficient sits on a column that may move, 2 when only on fixed ones.
    std::vector<char> kind(m.rows.size(), 0);
    for (const Entry& e : m.entries) {
        if (e.value == 0) continue;
        const Column& c = m.columns[static_cast<size_t>(e.column)];
        char& k = kind[static_cast<size_t>(e.row)];
        if (c.lower != c.upper)
            k = 1;
        else if (k == 0)
            k = 2;
    }
    for (size_t r = 0; r < m.rows.size(); ++r) {
        const Row& row = m.rows[r];
        if (row.kind == RowKind::Range && row.lower > row.upper) return true;
        if (kind[r] == 2) return true;
        // An empty row holds when 0 meets it, as the transformation's own test reads.
        const Real tol = 1e-9L;
        if (kind[r] == 0 && !((!std::isfinite(row.lower) ||
                               row.lower <= tol * std::max<Real>(1, std::fabs(row.lower))) &&
                              (!std::isfinite(row.upper) ||
                               row.upper >= -tol * std::max<Real>(1, std::fabs(row.upper)))))
            return true;
    }
    return false;
}

StandardForm toStandardForm(const Model& m) {
    StandardForm sf;
    const Real sigma = m.sense == Sense::Maximize ? -1 : 1;
    sf.sign = static_cast<int>(sigma);
    sf.summary.maximised = m.sense == Sense::Maximize;
    sf.objectiveName = m.objectiveName;
    const int64_t nStd = mapColumns(m, sf);
    const RowWise rw = byRows(m);
    int64_t nnz = 0;
    const std::vector<Half> halves = rowHalves(m, rw, sf, nnz);
    const auto [G, E, L] = checkedCounts(m, halves, nStd);
    sf.G = static_cast<int32_t>(G);
    sf.E = static_cast<int32_t>(E);
    sf.L = static_cast<int32_t>(L);
    sf.N = static_cast<int32_t>(nStd);
    nameAndPriceColumns(m, sf);
    layRows(m, rw, halves, nnz, sf);
    return sf;
}

void loadProblem(const StandardForm& sf, Real eps, LpProblem& p, datafile::LoadObserver* observer) {
    p.G = sf.G;
    p.E = sf.E;
    p.L = sf.L;
    p.N = sf.N;
    p.eps = eps;
    p.reset();
    const int32_t M = sf.M();
    if (observer) {
        observer->header(p);
        observer->progressMaximum(M);
    }
    for (int32_t i = 0; i < M; ++i) {
        const auto b = sf.rowStart[static_cast<size_t>(i)];
        const auto e = sf.rowStart[static_cast<size_t>(i) + 1];
        for (auto k = b; k < e; ++k) {
            p.setCoefficient(i + 1, sf.columnIndex[static_cast<size_t>(k)] + 1,
                             sf.values[static_cast<size_t>(k)]);
            if (static_cast<size_t>(k) < sf.valuesExact.size())
                p.setExact(i + 1, sf.columnIndex[static_cast<size_t>(k)] + 1,
                           sf.valuesExact[static_cast<size_t>(k)]);
        }
        if (!observer) continue;
        if ((i + 1) % 10 == 0) observer->progress(i + 1);
        // Every cell of the row, zeros too, in column order (the row's columns ascend).
        auto k = b;
        for (int32_t j = 0; j < sf.N; ++j) {
            Real a = 0;
            while (k < e && sf.columnIndex[static_cast<size_t>(k)] == j)
                a += sf.values[static_cast<size_t>(k++)];
            observer->coefficient(i + 1, j + 1, a);
        }
    }
    for (int32_t j = 0; j < sf.N; ++j) {
        p.setObjective(j + 1, sf.cost[static_cast<size_t>(j)]);
        if (static_cast<size_t>(j) < sf.costExact.size())
            p.setExact(M + 1, j + 1, sf.costExact[static_cast<size_t>(j)]);
        if (observer) observer->objective(j + 1, sf.cost[static_cast<size_t>(j)]);
    }
    for (int32_t i = 0; i < M; ++i) {
        p.setRightHandSide(i + 1, sf.rhs[static_cast<size_t>(i)]);
        if (static_cast<size_t>(i) < sf.rhsExact.size())
            p.setExact(i + 1, 0, sf.rhsExact[static_cast<size_t>(i)]);
        if (observer) observer->rightHandSide(i + 1, sf.rhs[static_cast<size_t>(i)]);
    }
    p.takeSnapshots();
    if (observer) observer->progress(0);
}

void applyExactValues(const StandardForm& sf, LpProblem& p) {
    if (p.G != sf.G || p.E != sf.E || p.L != sf.L || p.N != sf.N) return;
    auto set = [&p](int32_t i, int32_t j, Real v, const text::ExactNumber& x) {
        const Real now = p.tableau(i, j);
        if (x.empty() && now == v) {
            p.setExact(i, j, {});
            return;
        }
        p.setExact(i, j, text::ExactNumber::of(x.valueOr(v), now));
    };
    const int32_t M = sf.M();
    for (int32_t i = 0; i < M; ++i) {
        // Every cell: a coefficient the grid holds that the standard form does not is 0.
        std::vector<Real> row(static_cast<size_t>(sf.N), 0);
        std::vector<text::ExactNumber> exact(static_cast<size_t>(sf.N));
        for (auto k = sf.rowStart[static_cast<size_t>(i)];
             k < sf.rowStart[static_cast<size_t>(i) + 1]; ++k) {
            const auto j = static_cast<size_t>(sf.columnIndex[static_cast<size_t>(k)]);
            row[j] = sf.values[static_cast<size_t>(k)];
            if (static_cast<size_t>(k) < sf.valuesExact.size())
                exact[j] = sf.valuesExact[static_cast<size_t>(k)];
        }
        for (int32_t j = 0; j < sf.N; ++j)
            if (row[static_cast<size_t>(j)] != 0 || p.tableau(i + 1, j + 1) != 0)
                set(i + 1, j + 1, row[static_cast<size_t>(j)], exact[static_cast<size_t>(j)]);
        set(i + 1, 0, sf.rhs[static_cast<size_t>(i)],
            static_cast<size_t>(i) < sf.rhsExact.size() ? sf.rhsExact[static_cast<size_t>(i)]
                                                        : text::ExactNumber());
    }
    for (int32_t j = 0; j < sf.N; ++j)
        set(M + 1, j + 1, sf.cost[static_cast<size_t>(j)],
            static_cast<size_t>(j) < sf.costExact.size() ? sf.costExact[static_cast<size_t>(j)]
                                                         : text::ExactNumber());
}

UserSolution mapBack(const Model& m, const StandardForm& sf, const LpProblem& p) {
    // The inverse table's objective row holds -Z and the multipliers Pi = -cB·B⁻¹, so the
    // standard form's dual value (dZ/db) of row i is -Pi[i].
    const Real sigma = sf.sign;
    auto y = [&](int32_t i) { return -p.shadowPrice(i + 1); };
    auto x = [&](int32_t j) { return p.value(j + 1); };
    auto basic = [&](int32_t j) { return p.basic[static_cast<size_t>(j) + 1] != 0; };
    auto reduced = [&](int32_t j) {
        return basic(j) ? Real(0) : p.pricing[static_cast<size_t>(j) + 1];
    };

    UserSolution u;
    u.objective = sigma * p.objectiveValue() + sf.offset;
    const size_t nCols = m.columns.size(), nRows = m.rows.size();
    u.columnValue.resize(nCols);
    u.columnMarginal.assign(nCols, 0);
    u.rowActivity.assign(nRows, 0);
    u.rowMarginal.assign(nRows, 0);

    for (size_t r = 0; r < nRows; ++r) {
        const auto& rm = sf.rowMap[r];
        Real v = 0;
        for (int h = 0; h < 2; ++h)
            if (rm.row[h] >= 0) v += rm.sign[h] * y(rm.row[h]);
        u.rowMarginal[r] = sigma * v;
    }
    bool anyFixed = false;
    for (size_t j = 0; j < nCols; ++j) {
        const auto& map = sf.columnMap[j];
        switch (map.kind) {
        case MapKind::Shifted: {
            u.columnValue[j] = map.shift + x(map.column);
            // The bound row's multiplier belongs to the column's reduced cost in the user's
            // terms, where the bound is not a row.
            const Real yb = map.boundRow >= 0 ? y(map.boundRow) : Real(0);
            u.columnMarginal[j] = sigma * (reduced(map.column) + yb);
            break;
        }
        case MapKind::Mirrored:
            u.columnValue[j] = map.shift - x(map.column);
            u.columnMarginal[j] = -sigma * reduced(map.column);
            break;
        case MapKind::Free:
            u.columnValue[j] = x(map.column) - x(map.column + 1);
            u.columnMarginal[j] =
                basic(map.column) || basic(map.column + 1) ? Real(0) : sigma * reduced(map.column);
            break;
        case MapKind::Fixed:
            u.columnValue[j] = map.shift;
            u.columnMarginal[j] = m.columns[j].cost;
            anyFixed = true;
            break;
        }
    }
    for (const auto& e : m.entries) {
        const auto r = static_cast<size_t>(e.row), j = static_cast<size_t>(e.column);
        u.rowActivity[r] += e.value * u.columnValue[j];
        if (anyFixed && sf.columnMap[j].kind == MapKind::Fixed)
            u.columnMarginal[j] -= e.value * u.rowMarginal[r];
    }
    return u;
}

UserSolution mapBackLoaded(const Model& m, const LpProblem& p) {
    // The identity map: every row and column as it stands.
    StandardForm sf;
    sf.G = p.G;
    sf.E = p.E;
    sf.L = p.L;
    sf.N = p.N;
    sf.columnMap.resize(m.columns.size());
    for (size_t j = 0; j < sf.columnMap.size(); ++j)
        sf.columnMap[j].column = static_cast<int32_t>(j);
    sf.rowMap.resize(m.rows.size());
    for (size_t r = 0; r < sf.rowMap.size(); ++r)
        sf.rowMap[r].row[0] = static_cast<int32_t>(r);
    return mapBack(m, sf, p);
}

Model modelOfProblem(const LpProblem& p, const std::vector<std::string>& rowNames,
                     const std::vector<std::string>& columnNames,
                     const std::string& objectiveName) {
    Model m;
    m.objectiveName = objectiveName;
    auto nameOr = [](const std::vector<std::string>& names, int32_t k, std::string fallback) {
        const auto at = static_cast<size_t>(k - 1);
        return at < names.size() && !names[at].empty() ? names[at] : fallback;
    };
    m.columns.reserve(static_cast<size_t>(p.N));
    for (int32_t j = 1; j <= p.N; ++j) {
        m.columns.push_back(
            {nameOr(columnNames, j, "X[" + std::to_string(j) + "]"), p.objectiveCoefficient(j)});
        m.columns.back().costExact = exactAt(p, p.M + 1, j);
    }
    m.rows.reserve(static_cast<size_t>(p.M));
    for (int32_t i = 1; i <= p.M; ++i) {
        std::string name = nameOr(rowNames, i, std::to_string(i));
        const ExactReal b{p.tableau(i, 0), exactAt(p, i, 0)};
        m.rows.push_back(p.isGreaterRow(i) ? greaterRow(std::move(name), b)
                         : p.isEqualRow(i) ? equalRow(std::move(name), b)
                                           : lessRow(std::move(name), b));
        const auto row = p.row(i);
        for (int32_t t = 0; t < row.count; ++t)
            m.entries.push_back({i - 1, row.columns[t] - 1,
                                 row.valuesD ? Real(row.valuesD[t]) : row.values[t],
                                 exactAt(p, i, row.columns[t])});
    }
    return m;
}

} // namespace kvado::model
