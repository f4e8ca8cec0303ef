#include "model_fixture.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

#include "reports/model/spot_file.h"
#include "seed/seeding.h"
#include "sim/run_control.h"
#include "sim/trait_tally.h"

namespace kesmir::testing {

void resetModel() {
    allocateWorld();
    resetParameters();
    takeCycleParams();
    resetCounters();
    resetRunControl();
    store = false;
    selectBuffers(true);
    Ppop = 0;
    Hpop = 0;
    Cpop = 0;
    seedSampleBSize = kSeedSampleSize;
    seedRandom(kDefaultSeed);
    initDir();
    initEcosystem();
    traitTally.forget();  // the counts of another test's lists
}

namespace {

// Appends the record to its list and points its cell's slot at it (with the
// record's defence, so the record must be complete).
template <class Record>
Record& place(Record* list, RelaxedAtomic<int32_t>& count, SlotLayer& slots, const Record& r) {
    const int32_t index = count;
    list[index] = r;
    slots.set(cellIndex(r.x, r.y), slotFor(r, index));
    count = index + 1;
    return list[index];
}

animal makeAnimal(int32_t x, int32_t y, float energy, uint32_t chrom1, uint32_t chrom2,
                  uint32_t chrom3, uint32_t chrom4, int32_t age) {
    animal a{};
    a.x = x;
    a.y = y;
    a.energy = energy;
    a.alive = 1;
    a.age = age;
    a.chrom1 = chrom1;
    a.chrom2 = chrom2;
    a.chrom3 = chrom3;
    a.chrom4 = chrom4;
    return a;
}

}  // namespace

plant& addPlant(int32_t x, int32_t y, float energy, uint32_t chrom1, uint32_t chrom2, int32_t age) {
    plant p{};
    p.x = x;
    p.y = y;
    p.energy = energy;
    p.alive = 1;
    p.age = age;
    p.chrom1 = chrom1;
    p.chrom2 = chrom2;
    return place<plant>(PL, Ppop, E.plant, p);
}

animal& addHerbivore(int32_t x, int32_t y, float energy, uint32_t chrom1, uint32_t chrom2,
                     uint32_t chrom3, uint32_t chrom4, int32_t age) {
    return place<animal>(HL, Hpop, E.herbivore,
                         makeAnimal(x, y, energy, chrom1, chrom2, chrom3, chrom4, age));
}

animal& addCarnivore(int32_t x, int32_t y, float energy, uint32_t chrom1, uint32_t chrom2,
                     uint32_t chrom3, uint32_t chrom4, int32_t age) {
    return place<animal>(CL, Cpop, E.carnivore,
                         makeAnimal(x, y, energy, chrom1, chrom2, chrom3, chrom4, age));
}

void seedSmallWorld(int32_t plants, int32_t herbivores, int32_t carnivores) {
    Ppop = plants;
    Hpop = herbivores;
    Cpop = carnivores;
    delay = 0;
    startRunControl();
    matureNutrients();
}

uint32_t stateWhereDraws(const std::vector<std::function<bool(int32_t)>>& wanted) {
    for (uint32_t state = 0;; ++state) {
        seedRandom(state);
        bool all = true;
        for (const auto& test : wanted) {
            if (!test(draw())) {
                all = false;
                break;
            }
        }
        if (all) return state;
    }
}

uint32_t stateAfterDraws(uint32_t start, int count) {
    seedRandom(start);
    for (int i = 0; i < count; ++i)
        draw();
    return randState;
}

uint32_t stateBeforeDraw(int32_t value) {
    // The state after the draw has the value in bits 16..30; step back once.
    // 214013 is odd, so the multiplier has an inverse modulo 2^32.
    uint32_t inverse = 1;
    for (int i = 0; i < 5; ++i)
        inverse *= 2u - 214013u * inverse;
    const uint32_t next = static_cast<uint32_t>(value) << 16;
    return (next - 2531011u) * inverse;
}

ScratchDirectory::ScratchDirectory() : previous_(std::filesystem::current_path()) {
    std::string name = (std::filesystem::temp_directory_path() / "kesmir-test-XXXXXX").string();
    path_ = mkdtemp(name.data());
    std::filesystem::current_path(path_);
}

ScratchDirectory::~ScratchDirectory() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::filesystem::path& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary);
    out << contents;
}

std::string toldOnStderr(const std::function<void()>& action) {
    int ends[2];
    EXPECT_EQ(::pipe(ends), 0);
    std::fflush(stderr);
    const int savedStderr = ::dup(2);
    ::dup2(ends[1], 2);
    action();
    std::fflush(stderr);
    ::dup2(savedStderr, 2);
    ::close(savedStderr);
    ::close(ends[1]);
    std::string told;
    char buffer[4096];
    for (ssize_t got; (got = ::read(ends[0], buffer, sizeof buffer)) > 0;)
        told.append(buffer, static_cast<std::size_t>(got));
    ::close(ends[0]);
    return told;
}

}  // namespace kesmir::testing
