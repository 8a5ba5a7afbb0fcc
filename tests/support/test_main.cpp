// The main of every unit-test program: GoogleTest's own, except that a run in which a test
// skipped and none failed exits with kExitSkipped. CTest reports such a program as skipped
// rather than passed, and scripts/test-all refuses a run with any skip.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

// The code that CTest is told to read as "skipped" (SKIP_RETURN_CODE), as Automake does.
constexpr int kExitSkipped = 77;

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleMock(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    if (failed != 0) return failed;
    return ::testing::UnitTest::GetInstance()->skipped_test_count() > 0 ? kExitSkipped : 0;
}
