// A plain, unoptimised second implementation of the ecosystem model, used by the tests only as an
// oracle: the real simulation must reproduce its numbers exactly. Everything is written out step
// by step in the most literal form, with no shared globals, so an instance can live next to the
// real model in one test process.
//
// Floating-point results are compared bit for bit, so this file must be compiled without
// contraction of multiply-add pairs (-ffp-contract=off, or no FMA target) and with IEEE single
// and double arithmetic (SSE on x86-64, no -ffast-math).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace reference {

inline constexpr int32_t kSide = 3500;                // the world is kSide x kSide cells, a torus
inline constexpr int32_t kCells = kSide * kSide;      // 12,250,000
inline constexpr int32_t kPopulationGuard = 6124999;  // no reproduction of a kind above this count

struct Options {
    uint32_t seed = 1;
    int32_t plants = 500000, herbivores = 230000, carnivores = 50000;  // initial Ppop, Hpop, Cpop
    int cycles = 10;  // how many cycles to run at most
};

// What the status line and the population log show at the top of a cycle, i.e. before that
// cycle's steps run (cycle 0 shows the seeded counts and zeros).
struct CycleReport {
    int32_t kk, Ppop, Hpop, Cpop, Peat, Heat, Ceat;
    float pmax, hmax, cmax, emax;
};

// Cheap fingerprint of the whole model state, taken between cycles.
//
// Energy sums add every record's energy, converted to double, in list order. nutrientSum adds
// every cell's nutrient level, converted to double, in linear cell order (index y * 3500 + x).
//
// Hashes are 64-bit FNV-1a (offset basis 14695981039346656037, prime 1099511628211) over 32-bit
// words, each fed as four bytes, least significant byte first:
// - plantHash: for every plant in list order the words x, y, bit pattern of energy, alive, age,
//   chrom1, chrom2, GM;
// - herbivoreHash / carnivoreHash: for every animal in list order x, y, bit pattern of energy,
//   alive, age, chrom1, chrom2, chrom3, chrom4, GM;
// - gridHash: for every cell in linear order the bit pattern of its nutrient level, then the list
//   index of the plant, herbivore and carnivore its slots refer to (0xFFFFFFFF for an empty slot).
//   Between cycles every occupied slot refers into the current list of its kind; a slot that
//   would not is fed as 0xFFFFFFFE.
struct Summary {
    int32_t kk, Ppop, Hpop, Cpop;
    double plantEnergy, herbivoreEnergy, carnivoreEnergy, nutrientSum;
    uint64_t plantHash, herbivoreHash, carnivoreHash, gridHash;
    uint32_t randomState;  // state of the generator after the last draw
};

struct RunResult {
    std::vector<CycleReport> reports;
    Summary summary;  // state after the last cycle that ran
};

// Runs up to `cycles` cycles; returns one report per cycle started (report i is taken at the top
// of cycle i). Stops early, like the model's own stop rule, when after a cycle any population is
// <= 1 (then no further report).
std::vector<CycleReport> run(const Options& options);

// The same run, plus the fingerprint of the final state.
RunResult runWithSummary(const Options& options);

// ---------------------------------------------------------------------------------------------
// Building blocks, exposed so that tests can check single operations and single steps.

// The one source of randomness: a 32-bit linear congruential state; every draw is 0..32767.
struct Random {
    uint32_t state = 1;

    Random() = default;
    explicit Random(uint32_t seed) : state(seed) {}

    int32_t draw() {
        state = state * 214013u + 2531011u;
        return static_cast<int32_t>((state >> 16) & 0x7FFFu);
    }
    // A draw scaled to 0.0..1.0 inclusive, in single precision.
    float fRan() { return static_cast<float>(draw()) / 32767.0f; }
};

struct Vec {
    int32_t x, y;
    bool operator==(const Vec&) const = default;
};

// Index 0 stay, then E, NE, N, NW, W, SW, S, SE; north is +y.
inline constexpr std::array<Vec, 9> kDir = {
    {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}}};

inline Vec sum(Vec a, Vec b) {
    return {a.x + b.x, a.y + b.y};
}
inline Vec scale(int32_t k, Vec v) {
    return {k * v.x, k * v.y};
}
// Wraps each component onto the torus, correcting it at most once.
Vec bound(Vec v);

// The eight 3-bit direction weights of a gene word (bits 21-23 E, 18-20 NE, 15-17 N, 12-14 NW,
// 9-11 W, 6-8 SW, 3-5 S, 0-2 SE), each divided by their single-precision sum; index 0 (stay)
// weighs 0. allZero marks a word whose eight weights are all 0.
struct DirectionWeights {
    float weight[9];
    bool allZero;
};
DirectionWeights directionWeights(uint32_t gene);
// Roulette walk over the weights for a uniform value r in 0..1: returns dir[0] only for r == 0,
// wraps through index 0 when rounding leaves the running total below r after SE, and gives E
// for any r > 0 when all weights are 0.
Vec walk(const DirectionWeights& weights, float r);
// Direction drawn from a direction gene word: walk(directionWeights(gene), fRan()), one draw.
Vec move(Random& rng, uint32_t gene);
// Flips one of bits 0..30 (one draw).
uint32_t mutation(Random& rng, uint32_t word);
// Child gene word of `first` (the reproducing organism) and `second` (its mate); two draws, a
// third when the child mutates.
uint32_t crossover(Random& rng, uint32_t first, uint32_t second);

struct Plant {
    int32_t x = 0, y = 0;
    float energy = 0.0f;
    uint8_t alive = 0;
    int32_t age = 0;
    uint32_t chrom1 = 0, chrom2 = 0, GM = 0;
};

struct Animal {
    int32_t x = 0, y = 0;
    float energy = 0.0f;
    uint8_t alive = 0;
    int32_t age = 0;
    uint32_t chrom1 = 0, chrom2 = 0, chrom3 = 0, chrom4 = 0, GM = 0;
};

// The whole model state with one member function per step of a cycle. Construction allocates
// the grid (fresh nutrient layer, empty slots) and sets the counts; seed() builds the first
// generation; cycle() runs the steps of one cycle.
//
// A cell slot stands for a pointer: kNoSlot, or a buffer number (0 and 1: the two list buffers
// of the kind; 2: the newborn list) times kSlotBuffer plus an index into that buffer.
struct Model {
    static constexpr int32_t kNoSlot = -1;
    static constexpr int32_t kSlotBuffer = 1 << 24;  // more than any list's length
    static constexpr int32_t kNewbornBuffer = 2;

    // Parameters and their start values.
    float PRenergy = 12.5f, HRenergy = 65.0f, CRenergy = 35.5f;
    int32_t PNoffset = 5, HNoffset = 19, CNoffset = 39;
    float PSoffset = 29.1f, HSoffset = 56.1f, CSoffset = 1.2f;
    float PMoffset = 3.1f, HMoffset = 4.2f, CMoffset = 5.3f;
    int32_t HAoffset = 1, CAoffset = 3;

    Random rng;

    // The grid, one entry per cell at index y * kSide + x.
    std::vector<float> nutrient;
    std::vector<int32_t> plantSlot, herbivoreSlot, carnivoreSlot;

    // Two buffers per kind; `even` is true while buffer 0 is the current one.
    std::array<std::vector<Plant>, 2> plantBuffers;
    std::array<std::vector<Animal>, 2> herbivoreBuffers, carnivoreBuffers;
    bool even = true;

    // Newborn lists of the running cycle (their sizes are the newborn counts).
    std::vector<Plant> newPlants;
    std::vector<Animal> newHerbivores, newCarnivores;

    int32_t kk = 0, Ppop = 0, Hpop = 0, Cpop = 0;
    int32_t Peat = 0, Heat = 0, Ceat = 0;
    float pmin = 0.0f, pmax = 0.0f, hmin = 0.0f, hmax = 0.0f, cmin = 0.0f, cmax = 0.0f;
    float emax = 0.0f;

    explicit Model(const Options& options);

    std::vector<Plant>& PL() { return plantBuffers[even ? 0 : 1]; }
    std::vector<Animal>& HL() { return herbivoreBuffers[even ? 0 : 1]; }
    std::vector<Animal>& CL() { return carnivoreBuffers[even ? 0 : 1]; }
    std::vector<Plant>& OPL() { return plantBuffers[even ? 1 : 0]; }
    std::vector<Animal>& OHL() { return herbivoreBuffers[even ? 1 : 0]; }
    std::vector<Animal>& OCL() { return carnivoreBuffers[even ? 1 : 0]; }
    int currentBuffer() const { return even ? 0 : 1; }
    int otherBuffer() const { return even ? 1 : 0; }

    static int32_t slotTo(int buffer, int32_t index) { return buffer * kSlotBuffer + index; }
    Plant& plantAt(int32_t slot);
    Animal& herbivoreAt(int32_t slot);
    Animal& carnivoreAt(int32_t slot);

    // Start-up: sample A, generated sample B, first generation.
    void seed();
    // What the status and log lines show now.
    CycleReport report() const;
    // The draws of writing the periodic gene sample (the file itself is not written).
    void storeGMSampleDraws();

    void moveHerbivores();
    void moveCarnivores();
    float metabolize();
    void replenish(float total);
    void eat();
    void reproduce();
    void die();
    void cull();
    void addNew();
    void bufferSwap();

    // One cycle from the gene sample check to the cycle count; returns true when the stop rule
    // fires afterwards.
    bool cycle();

    Summary summary();
};

}  // namespace reference
