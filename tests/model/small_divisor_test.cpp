#include "world/small_divisor.h"

#include <gtest/gtest.h>

namespace kesmir {
namespace {

TEST(SmallDivisorTest, MatchesTheRemainderForEveryDrawAndDivisor) {
    for (int32_t m = 1; m <= SmallDivisor::kLargest; ++m) {
        const SmallDivisor& divisor = SmallDivisor::of(m);  // the table the steps use
        for (int32_t d = 0; d <= 32767; ++d) {
            if (divisor.remainder(d) != d % m) {
                FAIL() << d << " % " << m << " gave " << divisor.remainder(d);
            }
        }
    }
}

}  // namespace
}  // namespace kesmir
