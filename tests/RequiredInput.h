#pragma once
// An input or tool a test needs (the Netlib problems, unrtf, the Russian locale). Where it is
// missing the test cannot say anything: under CI (CI=true) that is a failure, since nothing
// may pass there by being skipped; elsewhere the test is skipped with a warning (./test.sh
// names what is missing before and after the run).

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

namespace kvado::test {

inline bool underCi() {
    const char* ci = std::getenv("CI");
    return ci != nullptr && std::strcmp(ci, "true") == 0;
}

} // namespace kvado::test

// Usable in a test body or in SetUp().
#define KVADO_REQUIRE_INPUT(present, what)                                                         \
    if (!(present)) {                                                                              \
        if (::kvado::test::underCi()) FAIL() << "missing under CI: " << what;                      \
        GTEST_SKIP() << "WARNING: missing, skipped: " << what;                                     \
    }
