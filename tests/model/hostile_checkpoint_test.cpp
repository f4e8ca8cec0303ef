// Checkpoints whose frame and checksum are sound but whose contents no run
// could have written: each is refused in one line before it is run, and the
// bounds themselves are accepted.
#include <gtest/gtest.h>
#include <zstd.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "checkpoint_fixture.h"
#include "files/checkpoint_file.h"
#include "files/checkpoint_world.h"
#include "world/named_params.h"

namespace kesmir::testing {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

// Where the plants' slot exception count lies in the small world's state:
// after the cycle, generator and buffer flag, the parameters, the counts and
// extremes, and the plants' eight columns of three values.
std::size_t plantExceptionCountAt() {
    std::size_t parameters = 4;
    for (const NamedParameter& parameter : namedParameters())
        parameters += 1 + std::strlen(parameter.name) + 1 + 4;
    return 9 + parameters + 9 * 4 + 7 * 4 + 8 * 4 * 3;
}

class HostileCheckpointTest : public CheckpointTest {
  protected:
    void SetUp() override {
        CheckpointTest::SetUp();
        makeSmallWorld();
    }

    // The small world, changed by `change` and saved; the read must refuse it.
    void expectSavedRefused(const std::function<void()>& change, const std::string& reason) {
        change();
        ASSERT_TRUE(writeCheckpoint("saved.kes").ok);
        expectRefused(readFile("saved.kes"), reason, reason);
        resetModel();
        makeSmallWorld();
    }

    static bool resumes(const std::string& path) {
        std::string error;
        const bool read = readCheckpoint(path, error);
        EXPECT_TRUE(read) << error;
        return read;
    }
};

TEST_F(HostileCheckpointTest, NonFiniteNumbersAreRefused) {
    expectSavedRefused([] { PL[1].energy = kNaN; }, "a plant has an energy that is not a finite");
    expectSavedRefused([] { CL[1].energy = -kInfinity; }, "a carnivore has an energy that is not");
    expectSavedRefused([] { setNutrient(77, kInfinity); }, "a nutrient level is not a finite");
    expectSavedRefused([] { emax = kNaN; }, "an energy or nutrient extreme is not a finite");
    expectSavedRefused([] { HRenergy = kNaN; }, "parameter HRenergy is outside its range");
    expectSavedRefused([] { HRenergy = 3e38f; }, "parameter HRenergy is outside its range");
    expectSavedRefused([] { HNoffset = 2147483647; }, "parameter HNoffset is outside its range");
}

TEST_F(HostileCheckpointTest, CycleCountAndAgesAreBoundedWhereNothingCanOverflow) {
    kk = kLatestStoredCycle;
    PL[0].age = kOldestStoredAge;
    HL[1].age = -5;  // a gene sample may hold negative ages
    ASSERT_TRUE(writeCheckpoint("bounds.kes").ok);
    ASSERT_TRUE(resumes("bounds.kes"));
    EXPECT_EQ(int32_t(kk), kLatestStoredCycle);
    EXPECT_EQ(PL[0].age, kOldestStoredAge);

    expectSavedRefused([] { kk = kLatestStoredCycle + 1; }, "cycle count or buffer flag");
    expectSavedRefused([] { HL[0].age = kOldestStoredAge + 1; },
                       "a herbivore is older than any organism can grow");
}

TEST_F(HostileCheckpointTest, SlotExceptionsAreBoundedAndNameARecordOnTheirCell) {
    ASSERT_TRUE(writeCheckpoint("good.kes").ok);
    const std::string good = readFile("good.kes");
    // The small world has one plant exception: the emptied cell (10, 20).
    for (uint32_t count : {4u, 0xFFFFFFFFu}) {
        expectRefused(withState(good,
                                [count](std::string& state) {
                                    std::memcpy(&state[plantExceptionCountAt()], &count, 4);
                                }),
                      "slot exceptions, more than its 3 plants", std::to_string(count));
    }
    // Herbivore 0 stands on (0, 3499); a slot naming it on herbivore 1's cell.
    expectSavedRefused([] { E.herbivore.set(cellIndex(7, 7), slotFor(HL[0], 0)); },
                       "a herbivore cell slot names a herbivore standing on another cell");
    expectSavedRefused([] { E.herbivore.set(cellIndex(0, 3499), slotFor(HL[0], 0) ^ (1u << 24)); },
                       "a herbivore cell slot does not match the herbivore it names");
}

TEST_F(HostileCheckpointTest, ParameterNamesAreQuotedSafely) {
    ASSERT_TRUE(writeCheckpoint("good.kes").ok);
    const std::string file = withState(readFile("good.kes"), [](std::string& state) {
        const std::size_t at = state.find("PMoffset");
        ASSERT_NE(at, std::string::npos);
        state.replace(at, 8, std::string("PM\x1b[2J\0o", 8));
    });
    expectRefused(file, "does not know: \"PM\\x1b[2J\\x00o\"", "control bytes in a name");
}

// A frame that asks for a larger window than the writer's is never given
// one: the reader's memory stays small whatever the file says.
TEST_F(HostileCheckpointTest, FrameAskingForAHugeWindowIsRefused) {
    ASSERT_TRUE(writeCheckpoint("good.kes").ok);
    const std::string good = readFile("good.kes");
    const std::string state(1 << 16, 'x');
    ZSTD_CCtx* compressor = ZSTD_createCCtx();
    ZSTD_CCtx_setParameter(compressor, ZSTD_c_windowLog, 27);
    std::string frame(ZSTD_compressBound(state.size()) + 64, '\0');
    ZSTD_inBuffer in{state.data(), state.size(), 0};
    ZSTD_outBuffer out{frame.data(), frame.size(), 0};
    ZSTD_compressStream2(compressor, &out, &in, ZSTD_e_continue);  // size unknown: window stays
    ASSERT_EQ(ZSTD_compressStream2(compressor, &out, &in, ZSTD_e_end), 0u);
    ZSTD_freeCCtx(compressor);
    frame.resize(out.pos);
    expectRefused(refitted(good.substr(0, 24) + frame + std::string(16, '\0')),
                  "zstd:", "a 128 MB window");
}

}  // namespace
}  // namespace kesmir::testing
