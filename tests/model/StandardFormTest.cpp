// The transformation's bookkeeping: what it tells the user, the names it gives and the rows it
// leaves out. Its arithmetic is checked by solving (GlpsolTest, NetlibMpsTest).

#include <gtest/gtest.h>

#include "ModelTestSupport.h"
#include "model/ModelFiles.h"

namespace {

using namespace kvado;
using namespace kvado::model;

TEST(ModelStandardForm, NamesOrderAndSummary) {
    const Model m =
        readLp("max: x + y - z + w + v\nst\n a: x + y + z + w + v <= -1\n"
               " b: -2 <= x - y <= 3\n c: x + y = 4\n e: 0 x >= -1\n"
               "bounds\n x free\n -1 <= y <= 2\n -inf <= z <= 5\n w = 2\n v >= 0\nend\n",
               "t.lp");
    const StandardForm sf = toStandardForm(m);
    EXPECT_EQ(sf.columnNames, (std::vector<std::string>{"x+", "x-", "y+1", "5-z", "v"}));
    // ">=" rows, "=" rows, "<=" rows in the user's order, then the bound rows.
    EXPECT_EQ(sf.rowNames, (std::vector<std::string>{"-a", "c", "-b:lo", "b:up", "y<=2"}));
    EXPECT_EQ(sf.G, 1);
    EXPECT_EQ(sf.E, 1);
    EXPECT_EQ(sf.L, 3);
    EXPECT_TRUE(sf.infeasible.empty());
    EXPECT_EQ(summaryText(sf.summary),
              "Задача приведена к стандартному виду: максимум заменен минимумом (коэффициенты цели "
              "умножены на -1); ограничений умножено на -1: 2; двусторонних ограничений разбито на "
              "два: 1; неизвестных сдвинуто (x = l + x'): 1; неизвестных отражено (x = u - x'): 1; "
              "свободных неизвестных разбито на две (x = x+ - x-): 1; фиксированных неизвестных "
              "подставлено: 1; верхних границ стало ограничениями: 1; пустых ограничений "
              "опущено: 1.");
}

TEST(ModelStandardForm, EmptyRowThatCannotHoldMakesTheProblemInfeasible) {
    const Model m =
        readLp("min: x\nst\n ok: 0 x <= 3\n never: 0 x >= 5\n c: x >= 1\nend\n", "t.lp");
    const StandardForm sf = toStandardForm(m);
    EXPECT_EQ(sf.infeasible, "Задача не имеет допустимого решения: ограничение «never» не "
                             "содержит неизвестных и требует 0 >= 5");
    EXPECT_EQ(sf.M(), 1);
    EXPECT_EQ(summaryText(TransformSummary{}),
              "Задача приведена к стандартному виду: изменений не потребовалось.");
}

} // namespace
