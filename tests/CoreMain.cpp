// The core tests run once under the C locale and once under a Russian one (CTest sets LC_ALL).
// The program kvado takes its locale from the environment at start-up (Qt does it), so this
// does too: under ru_RU.UTF-8 the C library's printf and strtold then use "," and any number
// text that leans on them shows it.

#include <clocale>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
