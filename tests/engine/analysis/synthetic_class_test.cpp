#include <gtest/gtest.h>

#include "analysis/synthetic_class.h"

namespace qv {
namespace {

// generate refuses a class by this size before making it, so it must be the
// size of what would be made, items that end a group of five and all.
TEST(SyntheticClassTest, StudentFileSizeIsKnownBeforehand) {
    for (const auto& [students, items] :
         {std::pair{0, 1}, {1, 5}, {3, 6}, {250, 40}, {7, 10000}, {40, 11}}) {
        const SyntheticClassOptions options{students, 20, items, 3};
        EXPECT_EQ(syntheticStudentFileBytes(options),
                  static_cast<std::int64_t>(makeSyntheticClass(options).studentFile.size()))
            << students << " x " << items;
    }
}

}  // namespace
}  // namespace qv
