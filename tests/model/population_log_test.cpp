// "dt.dat" on a disk that fills up: a file size limit makes write() stop part
// way through a line, as a full disk does.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "model_fixture.h"
#include "sim/population_log.h"

namespace kesmir::testing {
namespace {

class PopulationLogTest : public ModelTest {
  protected:
    ScratchDirectory scratch_;

    // Appends the line of cycle `cycle` and returns what stderr was told.
    static std::string append(int32_t cycle) {
        kk = cycle;
        return toldOnStderr([cycle] { appendPopulationLog(line(cycle)); });
    }
    static std::string line(int32_t cycle) {
        return std::to_string(cycle) + " 500000 230000 50000    0 0 0\n";
    }
};

TEST_F(PopulationLogTest, AShortWriteIsCutBackAndLaterLinesFollowWhole) {
    startPopulationLog();
    EXPECT_EQ(append(0), "");
    EXPECT_EQ(append(1), "");
    const std::string whole = line(0) + line(1);

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit full = saved;
    full.rlim_cur = whole.size() + 9;  // room for 9 bytes of the next line
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &full), 0);
    const std::string toldAtFirst = append(2);
    const std::string toldLater = append(3);
    const std::string whileFull = readFile(kPopulationLogFile);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(whileFull, whole);
    EXPECT_EQ(toldAtFirst,
              "kesmir: cannot append to dt.dat (File too large); the line of cycle 2 is left out, "
              "the file cut back to its last whole line, and later lines are appended again once "
              "they can be written\n");
    EXPECT_EQ(toldLater, "");
    EXPECT_EQ(append(4),
              "kesmir: dt.dat is written again from cycle 4; the lines of cycles 2 to 3 are "
              "missing\n");
    EXPECT_EQ(append(5), "");
    EXPECT_EQ(readFile(kPopulationLogFile), whole + line(4) + line(5));
}

}  // namespace
}  // namespace kesmir::testing
