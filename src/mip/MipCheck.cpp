#include "mip/MipCheck.h"

#include <cmath>

#include "analysis/Rational.h"

namespace kvado::mip {

namespace {

using analysis::Dyadic;

Dyadic exactOf(const text::ExactReal& r) {
    return r.exactValue();
}

// |a - b| / max(1, |b|) in extended numbers, for the size of a violation.
double relative(const Dyadic& a, const Dyadic& b) {
    const Real x = analysis::toReal(analysis::toRational(a));
    const Real y = analysis::toReal(analysis::toRational(b));
    return static_cast<double>(std::fabs(x - y) / std::max<Real>(1, std::fabs(y)));
}

} // namespace

IntegerCheck checkIntegerPlan(const model::Model& m, const std::vector<Real>& plan) {
    IntegerCheck c;
    if (plan.size() != m.columns.size()) return c;
    c.ran = true;
    c.integral = true;
    c.feasible = true;
    std::vector<Dyadic> x;
    x.reserve(plan.size());
    try {
        for (const Real v : plan)
            x.push_back(analysis::toDyadic(v));
    } catch (const analysis::NonFiniteValue&) {
        c.ran = false;
        return c;
    }
    auto violated = [&](const Dyadic& value, const Dyadic& bound, const std::string& where) {
        c.feasible = false;
        const double r = relative(value, bound);
        if (r >= c.largestViolation) {
            c.largestViolation = r;
            c.where = where;
        }
    };
    Dyadic z = exactOf({m.objectiveConstant, m.objectiveConstantExact});
    for (size_t j = 0; j < m.columns.size(); ++j) {
        const model::Column& col = m.columns[j];
        if (model::isInteger(col) && plan[j] != std::floor(plan[j])) c.integral = false;
        if (std::isfinite(col.lower) &&
            analysis::compare(x[j], exactOf(model::exactLower(col))) < 0)
            violated(x[j], exactOf(model::exactLower(col)), "граница " + col.name);
        if (std::isfinite(col.upper) &&
            analysis::compare(x[j], exactOf(model::exactUpper(col))) > 0)
            violated(x[j], exactOf(model::exactUpper(col)), "граница " + col.name);
        analysis::addProduct(z, exactOf(model::exactCost(col)), x[j]);
    }
    std::vector<Dyadic> activity(m.rows.size());
    for (const model::Entry& e : m.entries)
        analysis::addProduct(activity[static_cast<size_t>(e.row)], exactOf(model::exactValue(e)),
                             x[static_cast<size_t>(e.column)]);
    for (size_t i = 0; i < m.rows.size(); ++i) {
        const model::Row& r = m.rows[i];
        if (std::isfinite(r.lower) &&
            analysis::compare(activity[i], exactOf(model::exactLower(r))) < 0)
            violated(activity[i], exactOf(model::exactLower(r)), "строка " + r.name);
        if (std::isfinite(r.upper) &&
            analysis::compare(activity[i], exactOf(model::exactUpper(r))) > 0)
            violated(activity[i], exactOf(model::exactUpper(r)), "строка " + r.name);
    }
    const mpq_class q = analysis::toRational(z);
    c.objectiveExact = analysis::fractionText(q);
    c.objective = analysis::toReal(q);
    return c;
}

std::vector<std::string> integerCheckLines(const IntegerCheck& c, const MipAnswer& a, char sep) {
    std::vector<std::string> lines{"Точная проверка целочисленного решения"};
    if (!c.ran) {
        lines.push_back("Точная проверка не выполнялась: целочисленного решения нет");
        return lines;
    }
    if (c.feasible && c.integral) {
        lines.push_back("Проверено точно: все ограничения и границы выполнены, целочисленные "
                        "неизвестные целые");
    } else {
        if (!c.integral) lines.push_back("Точная проверка: целочисленная неизвестная не целая");
        if (c.withinTolerance())
            lines.push_back("Проверено точно: целочисленные неизвестные целые; ограничения "
                            "выполнены с точностью округления непрерывных неизвестных "
                            "(наибольшее отклонение " +
                            text::formatGeneralWith(c.largestViolation, 3, 1, sep) + ", " +
                            c.where + ")");
        else if (!c.feasible)
            lines.push_back("Точная проверка: план нарушает ограничение (" + c.where +
                            ", отклонение " +
                            text::formatGeneralWith(c.largestViolation, 3, 1, sep) + ")");
    }
    lines.push_back("Точное значение целевой функции: " + c.objectiveExact + " = " +
                    text::formatGeneral(c.objective, sep));
    if (a.status == MipStatus::Optimal)
        lines.push_back("Оптимальность (никакой целочисленный план не лучше) установлена поиском "
                        "по его границе и точно не проверялась");
    else
        lines.push_back("Граница поиска не доказывает оптимальность: поиск не завершен");
    return lines;
}

} // namespace kvado::mip
