#include "checkpoint_fixture.h"

#include <zstd.h>

#include "files/checkpoint_file.h"
#include "files/checksum64.h"

namespace kesmir::testing {

namespace {

constexpr std::size_t kHeaderSize = 24;
constexpr std::size_t kTrailerSize = 16;

}  // namespace

void CheckpointTest::makeSmallWorld() {
    bufferSwap();
    addPlant(10, 20, 5.5f, 0x12345678u, 0x9ABCDEF0u, 3).GM = 61680;
    addPlant(3499, 0, -0.25f, 1, 2, 4);
    addPlant(10, 20, 7.0f, 5, 6, 1);   // same cell as the first ...
    E.plant.clear(cellIndex(10, 20));  // ... which a dead record there emptied
    addHerbivore(0, 3499, 120.0f, 1, 2, 3, 0xFFFFFFFFu, 9);
    addHerbivore(7, 7, 33.0f, 11, 12, 13, 14, 2);
    addCarnivore(1, 2, 300.0f, 21, 22, 23, 24, 5);
    addCarnivore(2, 2, 299.0f, 31, 32, 33, 34, 6);
    setNutrient(cellIndex(5, 5), 1234.5f);
    setNutrient(kCells - 1, -3.0f);
    kk = 1500;
    randState = 0xDEADBEEFu;
    newPpop = 7, newHpop = 8, newCpop = 9;
    Peat = 11, Heat = 12, Ceat = 13;
    pmin = -1, pmax = 2, hmin = -3, hmax = 4, cmin = -5, cmax = 6, emax = 777.25f;
    HRenergy = 70.1f;
    CAoffset = 12;
}

std::string CheckpointTest::refitted(std::string file) {
    file.resize(file.size() - kTrailerSize);
    const uint64_t length = file.size() + kTrailerSize;
    file.append(reinterpret_cast<const char*>(&length), 8);
    Checksum64 sum;
    sum.add(file.data(), file.size());
    const uint64_t value = sum.value();
    file.append(reinterpret_cast<const char*>(&value), 8);
    return file;
}

std::string CheckpointTest::withState(const std::string& file,
                                      const std::function<void(std::string& state)>& change) {
    const std::string body = file.substr(kHeaderSize, file.size() - kHeaderSize - kTrailerSize);
    std::string state;
    ZSTD_DCtx* decompressor = ZSTD_createDCtx();
    ZSTD_inBuffer in{body.data(), body.size(), 0};
    std::string piece(1 << 20, '\0');
    while (in.pos < in.size) {
        ZSTD_outBuffer out{piece.data(), piece.size(), 0};
        const std::size_t left = ZSTD_decompressStream(decompressor, &out, &in);
        EXPECT_FALSE(ZSTD_isError(left));
        if (ZSTD_isError(left)) break;
        state.append(piece.data(), out.pos);
    }
    ZSTD_freeDCtx(decompressor);
    change(state);
    std::string frame(ZSTD_compressBound(state.size()), '\0');
    frame.resize(ZSTD_compress(frame.data(), frame.size(), state.data(), state.size(), 1));
    return refitted(file.substr(0, kHeaderSize) + frame + std::string(kTrailerSize, '\0'));
}

void CheckpointTest::expectRefused(const std::string& file, const std::string& reason,
                                   const std::string& what) {
    writeFile("bad.kes", file);
    std::string error;
    EXPECT_FALSE(readCheckpoint("bad.kes", error)) << what;
    EXPECT_NE(error.find(reason), std::string::npos) << what << ": " << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << what;
    EXPECT_EQ(error.rfind("'bad.kes' cannot be resumed from: ", 0), 0u) << what << ": " << error;
}

}  // namespace kesmir::testing
