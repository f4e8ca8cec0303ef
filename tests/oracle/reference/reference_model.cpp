#include "reference_model.h"

#include "../fnv_hash.h"

#include <cstring>

namespace reference {

using kesmir::testing::Fnv;

namespace {

// Bits a..a+width-1 of a gene word, as an unsigned value.
uint32_t field(uint32_t word, int a, int width) {
    return (word >> a) & ((1u << width) - 1u);
}

int32_t cellIndex(int32_t x, int32_t y) {
    return y * kSide + x;
}

// Traits. Every quotient is taken in single precision.
float sixBitFraction(uint32_t word, int a) {
    return static_cast<float>(field(word, a, 6) + 1u) / 65.0f;
}

// Maturity value in chrom1 bits 16-20, plus the kind's offset.
int32_t maturityAge(const Animal& a, int32_t offset) {
    return static_cast<int32_t>(field(a.chrom1, 16, 5)) + offset;
}

// Six-bit fractions: plant poison strength and herbivore poison resistance (chrom2 bits 12-17),
// herbivore camouflage (chrom2 bits 0-5), carnivore sight (chrom3 bits 0-5).
float poisonStrength(const Plant& p) {
    return sixBitFraction(p.chrom2, 12);
}
float poisonResistance(const Animal& h) {
    return sixBitFraction(h.chrom2, 12);
}
float camouflage(const Animal& h) {
    return sixBitFraction(h.chrom2, 0);
}
float sight(const Animal& c) {
    return sixBitFraction(c.chrom3, 0);
}

// Feeding reach: a look-up goes draw mod (12 + v) cells.
int32_t reach(const Animal& a) {
    return 12 + static_cast<int32_t>(field(a.chrom4, 24, 3));
}

void hashRecord(Fnv& h, const Plant& p) {
    h.word(static_cast<uint32_t>(p.x));
    h.word(static_cast<uint32_t>(p.y));
    h.real(p.energy);
    h.word(p.alive);
    h.word(static_cast<uint32_t>(p.age));
    h.word(p.chrom1);
    h.word(p.chrom2);
    h.word(p.GM);
}

void hashRecord(Fnv& h, const Animal& a) {
    h.word(static_cast<uint32_t>(a.x));
    h.word(static_cast<uint32_t>(a.y));
    h.real(a.energy);
    h.word(a.alive);
    h.word(static_cast<uint32_t>(a.age));
    h.word(a.chrom1);
    h.word(a.chrom2);
    h.word(a.chrom3);
    h.word(a.chrom4);
    h.word(a.GM);
}

// Double-precision step stored back in single precision: level + share.
float addInDouble(float level, double share) {
    return static_cast<float>(static_cast<double>(level) + share);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Vectors, direction draw and genetic operators.

Vec bound(Vec v) {
    if (v.x < 0) {
        v.x += kSide;
    } else if (v.x > kSide - 1) {
        v.x -= kSide;
    }
    if (v.y < 0) {
        v.y += kSide;
    } else if (v.y > kSide - 1) {
        v.y -= kSide;
    }
    return v;
}

DirectionWeights directionWeights(uint32_t gene) {
    // Weight of index k (E = 1 .. SE = 8) sits in bits 24 - 3k .. 26 - 3k; stay has none.
    DirectionWeights w{};
    w.weight[0] = 0.0f;
    for (int k = 1; k <= 8; ++k) {
        w.weight[k] = static_cast<float>(field(gene, 24 - 3 * k, 3));
    }
    float total = 0.0f;
    for (int k = 1; k <= 8; ++k) {
        total += w.weight[k];
    }
    w.allZero = total == 0.0f;
    if (!w.allZero) {
        for (int k = 1; k <= 8; ++k) {
            w.weight[k] = w.weight[k] / total;
        }
    }
    return w;
}

Vec walk(const DirectionWeights& w, float r) {
    if (w.allZero) {
        // Normalising by 0 makes every weight NaN: the walk takes one step onto E whenever
        // r > 0, and then no comparison with NaN holds, so the walk stops there.
        return r > 0.0f ? kDir[1] : kDir[0];
    }
    // Roulette walk. A rounding shortfall after SE wraps through stay (weight 0) and goes on.
    float running = 0.0f;
    int k = 0;
    while (r > running) {
        ++k;
        if (k > 8) k = 0;
        running += w.weight[k];
    }
    return kDir[k];
}

Vec move(Random& rng, uint32_t gene) {
    const DirectionWeights w = directionWeights(gene);
    return walk(w, rng.fRan());
}

uint32_t mutation(Random& rng, uint32_t word) {
    const int32_t b = rng.draw() % 31;
    return word ^ (1u << b);
}

uint32_t crossover(Random& rng, uint32_t first, uint32_t second) {
    const int32_t cut = rng.draw() % 31;
    const uint32_t high = (first >> cut) << cut;
    const uint32_t low = (second << (31 - cut)) >> (31 - cut);
    uint32_t child = high | low;
    const float p = rng.fRan();
    if (static_cast<double>(p) > 0.97) child = mutation(rng, child);
    return child;
}

// ---------------------------------------------------------------------------------------------
// Model state.

Model::Model(const Options& options)
    : rng(options.seed),
      nutrient(kCells, 250.0f),
      plantSlot(kCells, kNoSlot),
      herbivoreSlot(kCells, kNoSlot),
      carnivoreSlot(kCells, kNoSlot),
      Ppop(options.plants),
      Hpop(options.herbivores),
      Cpop(options.carnivores) {}

Plant& Model::plantAt(int32_t slot) {
    const int buffer = slot / kSlotBuffer;
    const int32_t index = slot % kSlotBuffer;
    if (buffer == kNewbornBuffer) return newPlants[index];
    return plantBuffers[buffer][index];
}

Animal& Model::herbivoreAt(int32_t slot) {
    const int buffer = slot / kSlotBuffer;
    const int32_t index = slot % kSlotBuffer;
    if (buffer == kNewbornBuffer) return newHerbivores[index];
    return herbivoreBuffers[buffer][index];
}

Animal& Model::carnivoreAt(int32_t slot) {
    const int buffer = slot / kSlotBuffer;
    const int32_t index = slot % kSlotBuffer;
    if (buffer == kNewbornBuffer) return newCarnivores[index];
    return carnivoreBuffers[buffer][index];
}

// ---------------------------------------------------------------------------------------------
// Start-up. The nutrient layer is fresh (set by the constructor) and the second seed sample is
// generated, not loaded.

namespace {

std::vector<Plant> makePlantSample(Random& rng, uint32_t gm) {
    std::vector<Plant> sample(5000);
    for (Plant& p : sample) {
        p.chrom1 = static_cast<uint32_t>(rng.draw());
        p.chrom2 = static_cast<uint32_t>(rng.draw());
        p.GM = gm;
        p.alive = 1;
        p.energy = 80.0f;
        p.age = 1;
    }
    return sample;
}

std::vector<Animal> makeAnimalSample(Random& rng, float energy, uint32_t gm) {
    std::vector<Animal> sample(5000);
    for (Animal& a : sample) {
        // Drawn in the order chrom1, chrom3, chrom2, chrom4.
        a.chrom1 = static_cast<uint32_t>(rng.draw());
        a.chrom3 = static_cast<uint32_t>(rng.draw());
        a.chrom2 = static_cast<uint32_t>(rng.draw());
        a.chrom4 = static_cast<uint32_t>(rng.draw());
        a.GM = gm;
        a.alive = 1;
        a.energy = energy;
        a.age = 1;
    }
    return sample;
}

}  // namespace

void Model::seed() {
    // Sample A; animals of sample A get their marker (0) only when placed.
    const std::vector<Plant> PS = makePlantSample(rng, 3855);
    const std::vector<Animal> HS = makeAnimalSample(rng, 120.0f, 0);
    const std::vector<Animal> CS = makeAnimalSample(rng, 300.0f, 0);
    // Sample B, generated.
    const std::vector<Plant> PB = makePlantSample(rng, 61680);
    const std::vector<Animal> HB = makeAnimalSample(rng, 120.0f, 61680);
    const std::vector<Animal> CB = makeAnimalSample(rng, 300.0f, 61680);

    // Plants: first half from sample A, the rest from sample B.
    {
        std::vector<Plant>& list = PL();
        list.assign(static_cast<size_t>(Ppop), Plant{});
        const int32_t half = Ppop / 2;
        for (int32_t j = 0; j < Ppop; ++j) {
            const std::vector<Plant>& source = j < half ? PS : PB;
            const Plant& s = source[static_cast<size_t>(rng.draw() % 5000)];
            int32_t x, y;
            do {
                x = rng.draw() % kSide;
                y = rng.draw() % kSide;
            } while (plantSlot[cellIndex(x, y)] != kNoSlot);
            list[j].x = x;
            list[j].y = y;
            plantSlot[cellIndex(x, y)] = slotTo(currentBuffer(), j);
            list[j].chrom1 = s.chrom1;
            list[j].chrom2 = s.chrom2;
            list[j].GM = s.GM;
            list[j].energy = s.energy;
            list[j].age = s.age;
            list[j].alive = 1;
        }
    }

    auto placeAnimals = [&](std::vector<Animal>& list, int32_t count, std::vector<int32_t>& slots,
                            const std::vector<Animal>& sampleA,
                            const std::vector<Animal>& sampleB) {
        list.assign(static_cast<size_t>(count), Animal{});
        const int32_t half = count / 2;
        for (int32_t j = 0; j < count; ++j) {
            const bool fromA = j < half;
            const std::vector<Animal>& source = fromA ? sampleA : sampleB;
            const Animal& s = source[static_cast<size_t>(rng.draw() % 5000)];
            int32_t x, y;
            do {
                x = rng.draw() % kSide;
                y = rng.draw() % kSide;
            } while (slots[cellIndex(x, y)] != kNoSlot);
            list[j].x = x;
            list[j].y = y;
            slots[cellIndex(x, y)] = slotTo(currentBuffer(), j);
            list[j].chrom1 = s.chrom1;
            list[j].chrom3 = s.chrom3;
            list[j].chrom2 = s.chrom2;
            list[j].chrom4 = s.chrom4;
            list[j].energy = s.energy;
            list[j].age = s.age;
            list[j].GM = fromA ? 0u : s.GM;
            list[j].alive = 1;
        }
    };
    placeAnimals(HL(), Hpop, herbivoreSlot, HS, HB);
    placeAnimals(CL(), Cpop, carnivoreSlot, CS, CB);
}

CycleReport Model::report() const {
    return CycleReport{kk, Ppop, Hpop, Cpop, Peat, Heat, Ceat, pmax, hmax, cmax, emax};
}

void Model::storeGMSampleDraws() {
    // The gene sample picks 1000 records of each kind with replacement; only the draws matter
    // for the run itself.
    for (int i = 0; i < 1000; ++i)
        (void)(rng.draw() % Ppop);
    for (int i = 0; i < 1000; ++i)
        (void)(rng.draw() % Hpop);
    for (int i = 0; i < 1000; ++i)
        (void)(rng.draw() % Cpop);
}

// ---------------------------------------------------------------------------------------------
// Movement.

namespace {

// One animal's move. `base` is 1 for herbivores and 3 for carnivores; `slots` is the grid slot
// of the animal's own kind.
void moveAnimal(Random& rng, Animal& a, int32_t self, std::vector<int32_t>& slots, int32_t base) {
    const int32_t m = base + static_cast<int32_t>(field(a.chrom4, 28, 3));
    const Vec p{a.x, a.y};
    Vec target{};
    for (int picked = 1;; ++picked) {
        const int32_t steps = base + rng.draw() % m;
        const Vec direction = move(rng, a.chrom4);
        target = bound(sum(p, scale(steps, direction)));
        // The tenth target is taken whatever stands there.
        if (picked == 10) break;
        if (slots[cellIndex(target.x, target.y)] == Model::kNoSlot) break;
    }
    slots[cellIndex(p.x, p.y)] = Model::kNoSlot;
    a.x = target.x;
    a.y = target.y;
    slots[cellIndex(target.x, target.y)] = self;
}

}  // namespace

void Model::moveHerbivores() {
    std::vector<Animal>& list = HL();
    for (int32_t i = 0; i < Hpop; ++i) {
        moveAnimal(rng, list[i], slotTo(currentBuffer(), i), herbivoreSlot, 1);
    }
}

void Model::moveCarnivores() {
    std::vector<Animal>& list = CL();
    for (int32_t i = 0; i < Cpop; ++i) {
        moveAnimal(rng, list[i], slotTo(currentBuffer(), i), carnivoreSlot, 3);
    }
}

// ---------------------------------------------------------------------------------------------
// Metabolism, replenishment, death.

float Model::metabolize() {
    float total = 0.0f;
    std::vector<Plant>& plants = PL();
    for (int32_t i = 0; i < Ppop; ++i) {
        Plant& p = plants[i];
        p.age += 1;
        const float cost = static_cast<float>(field(p.chrom1, 0, 2)) + PMoffset;
        p.energy = p.energy - cost;
        total += cost;
    }
    std::vector<Animal>& herbivores = HL();
    for (int32_t i = 0; i < Hpop; ++i) {
        Animal& h = herbivores[i];
        h.age += 1;
        const float cost = static_cast<float>(field(h.chrom1, 0, 3)) + HMoffset;
        h.energy = h.energy - cost;
        total += cost;
    }
    std::vector<Animal>& carnivores = CL();
    for (int32_t i = 0; i < Cpop; ++i) {
        Animal& c = carnivores[i];
        c.age += 1;
        const float cost = static_cast<float>(field(c.chrom1, 0, 3)) + CMoffset;
        c.energy = c.energy - cost;
        total += cost;
    }
    return total;
}

void Model::replenish(float total) {
    emax = -100000.0f;
    const float q = total / 12250000.0f;
    for (int32_t i = 0; i < kCells; ++i) {
        const double inflow = 0.7 + static_cast<double>(q);
        nutrient[i] = static_cast<float>(inflow + static_cast<double>(nutrient[i]));
        if (nutrient[i] > emax) emax = nutrient[i];
    }
}

void Model::die() {
    std::vector<Plant>& plants = PL();
    for (int32_t i = 0; i < Ppop; ++i) {
        Plant& p = plants[i];
        const int32_t s = static_cast<int32_t>(field(p.chrom1, 22, 4)) + PNoffset;
        if (p.energy < 0.0f) {
            p.alive = 0;
        } else if (p.age > s) {
            // Old age: the cell's level is replaced by what the plant had left.
            nutrient[cellIndex(p.x, p.y)] = p.energy;
            p.alive = 0;
        }
    }
    std::vector<Animal>& herbivores = HL();
    for (int32_t i = 0; i < Hpop; ++i) {
        Animal& h = herbivores[i];
        const int32_t s = static_cast<int32_t>(field(h.chrom1, 22, 5)) + HNoffset;
        if (h.energy < 0.0f) {
            h.alive = 0;
        } else if (h.age > s) {
            nutrient[cellIndex(h.x, h.y)] = h.energy;
            h.alive = 0;
        }
    }
    Ceat = 0;
    std::vector<Animal>& carnivores = CL();
    for (int32_t i = 0; i < Cpop; ++i) {
        Animal& c = carnivores[i];
        const int32_t s = static_cast<int32_t>(field(c.chrom1, 22, 5)) + CNoffset;
        if (c.energy < 0.0f) {
            c.alive = 0;
        } else if (c.age > s) {
            nutrient[cellIndex(c.x, c.y)] = c.energy;
            c.alive = 0;
            ++Ceat;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Feeding.

void Model::eat() {
    Heat = 0;
    Peat = 0;

    // Plants absorb from their own cell while below their satiety level.
    std::vector<Plant>& plants = PL();
    for (int32_t i = 0; i < Ppop; ++i) {
        Plant& p = plants[i];
        const float satiety = static_cast<float>(field(p.chrom1, 10, 6)) + PSoffset;
        if (satiety > p.energy) {
            const float a = static_cast<float>(field(p.chrom1, 7, 3) + 1u) / 15.0f;
            const int32_t c = cellIndex(p.x, p.y);
            const float n = nutrient[c];
            p.energy = n * a + p.energy;
            nutrient[c] = n - n * a;
        }
    }

    // Herbivores: 31 look-ups each.
    std::vector<Animal>& herbivores = HL();
    for (int32_t i = 0; i < Hpop; ++i) {
        Animal& h = herbivores[i];
        const int32_t R = reach(h);
        const float satiety = static_cast<float>(field(h.chrom1, 10, 6)) + HSoffset;
        const float resistance = poisonResistance(h);
        // The gene does not change during the look-ups, so neither do its normalised weights.
        const DirectionWeights weights = directionWeights(h.chrom4);
        const Vec p{h.x, h.y};
        for (int look = 0; look < 31; ++look) {
            const int32_t d = rng.draw() % R;
            const Vec direction = walk(weights, rng.fRan());
            const Vec t = bound(sum(p, scale(d, direction)));
            const int32_t c = cellIndex(t.x, t.y);
            // Nothing happens on an empty cell or to a satiated eater (the satiety test comes first
            // only to spare the memory access; neither test has side effects).
            if (!(satiety > h.energy) || plantSlot[c] == kNoSlot) continue;
            Plant& q = plantAt(plantSlot[c]);
            if (resistance >= poisonStrength(q)) {
                const float f = static_cast<float>(field(h.chrom1, 7, 3) + 1u) / 12.0f;
                h.energy = q.energy * f + h.energy;
                q.energy = q.energy - q.energy * f;
                nutrient[c] = q.energy + nutrient[c];
                plantSlot[c] = kNoSlot;
                q.alive = 0;
                ++Peat;
            }
        }
    }

    // Carnivores: 59 look-ups each.
    std::vector<Animal>& carnivores = CL();
    for (int32_t i = 0; i < Cpop; ++i) {
        Animal& k = carnivores[i];
        const int32_t R = reach(k);
        const float satiety = static_cast<float>(field(k.chrom1, 10, 4)) + CSoffset;
        const float view = sight(k);
        const DirectionWeights weights = directionWeights(k.chrom4);
        const Vec p{k.x, k.y};
        for (int look = 0; look < 59; ++look) {
            const int32_t d = rng.draw() % R;
            const Vec direction = walk(weights, rng.fRan());
            const Vec t = bound(sum(p, scale(d, direction)));
            const int32_t c = cellIndex(t.x, t.y);
            if (!(satiety > k.energy) || herbivoreSlot[c] == kNoSlot) continue;
            Animal& h = herbivoreAt(herbivoreSlot[c]);
            if (view >= camouflage(h)) {
                const float f = static_cast<float>(field(k.chrom1, 7, 3) + 1u) / 9.0f;
                k.energy = h.energy * f + k.energy;
                h.energy = h.energy - h.energy * f;
                nutrient[c] = h.energy + nutrient[c];
                herbivoreSlot[c] = kNoSlot;
                h.alive = 0;
                ++Heat;
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Reproduction.

namespace {

// First cell of the ring search around p whose slot is empty; the last candidate (SE at the
// largest distance) is taken without a test.
Vec findBirthCell(Vec p, int32_t first, int32_t last, const std::vector<int32_t>& slots) {
    for (int32_t k = first; k <= last; ++k) {
        for (int e = 1; e <= 8; ++e) {
            const Vec candidate = bound(sum(p, scale(k, kDir[e])));
            if (k == last && e == 8) return candidate;
            if (slots[cellIndex(candidate.x, candidate.y)] == Model::kNoSlot) return candidate;
        }
    }
    return p;  // not reached: the loop always returns at its last candidate
}

// Newborn energy: an eighth of the parent in single precision, then an eighth of the mate
// added in double precision.
float newbornEnergy(float parent, float mate) {
    const float e = 0.125f * parent;
    return static_cast<float>(static_cast<double>(e) + 0.125 * static_cast<double>(mate));
}

float reduceInDouble(float energy, double fraction) {
    return static_cast<float>(static_cast<double>(energy) - fraction * static_cast<double>(energy));
}

}  // namespace

void Model::reproduce() {
    newPlants.clear();
    newHerbivores.clear();
    newCarnivores.clear();

    // Plants: mature above age 2.
    if (!(Ppop > kPopulationGuard)) {
        std::vector<Plant>& plants = PL();
        for (int32_t j = 0; j < Ppop; ++j) {
            Plant& parent = plants[j];
            if (!(parent.age > 2 && parent.energy > PRenergy)) continue;
            Plant& mate = plants[rng.draw() % Ppop];
            if (!(mate.age > 2 && mate.energy > PRenergy)) continue;

            const Vec cell = findBirthCell({parent.x, parent.y}, 5, 25, plantSlot);
            Plant child;
            child.x = cell.x;
            child.y = cell.y;
            child.energy = newbornEnergy(parent.energy, mate.energy);
            child.chrom1 = crossover(rng, parent.chrom1, mate.chrom1);
            child.chrom2 = crossover(rng, parent.chrom2, mate.chrom2);
            child.GM = parent.GM;
            child.alive = 1;
            child.age = 1;

            const int32_t pc = cellIndex(parent.x, parent.y);
            nutrient[pc] = addInDouble(nutrient[pc], 0.0625 * static_cast<double>(parent.energy));
            const int32_t mc = cellIndex(mate.x, mate.y);
            nutrient[mc] = addInDouble(nutrient[mc], 0.0625 * static_cast<double>(mate.energy));
            parent.energy = reduceInDouble(parent.energy, 0.1875);
            mate.energy = reduceInDouble(mate.energy, 0.1875);

            const int32_t n = static_cast<int32_t>(newPlants.size());
            newPlants.push_back(child);
            plantSlot[cellIndex(cell.x, cell.y)] = slotTo(kNewbornBuffer, n);
        }
    }

    // Herbivores and carnivores differ only in thresholds, search distances, slots and the order
    // in which the gene words are crossed.
    auto breed = [&](std::vector<Animal>& list, int32_t count, float threshold, int32_t offset,
                     int32_t first, int32_t last, std::vector<int32_t>& slots,
                     std::vector<Animal>& newborn, bool herbivoreOrder) {
        if (count > kPopulationGuard) return;
        for (int32_t j = 0; j < count; ++j) {
            Animal& parent = list[j];
            if (!(parent.age > maturityAge(parent, offset) && parent.energy > threshold)) continue;
            Animal& mate = list[rng.draw() % count];
            if (!(mate.age > maturityAge(mate, offset) && mate.energy > threshold)) continue;

            const Vec cell = findBirthCell({parent.x, parent.y}, first, last, slots);
            Animal child;
            child.x = cell.x;
            child.y = cell.y;
            child.energy = newbornEnergy(parent.energy, mate.energy);
            child.chrom1 = crossover(rng, parent.chrom1, mate.chrom1);
            if (herbivoreOrder) {
                child.chrom4 = crossover(rng, parent.chrom4, mate.chrom4);
                child.chrom3 = crossover(rng, parent.chrom3, mate.chrom3);
                child.chrom2 = crossover(rng, parent.chrom2, mate.chrom2);
            } else {
                child.chrom3 = crossover(rng, parent.chrom3, mate.chrom3);
                child.chrom2 = crossover(rng, parent.chrom2, mate.chrom2);
                child.chrom4 = crossover(rng, parent.chrom4, mate.chrom4);
            }
            child.GM = parent.GM;
            child.alive = 1;
            child.age = 1;

            // The starting parent also feeds the newborn's cell, so it gives a quarter in all.
            const int32_t pc = cellIndex(parent.x, parent.y);
            nutrient[pc] = addInDouble(nutrient[pc], 0.0625 * static_cast<double>(parent.energy));
            const int32_t mc = cellIndex(mate.x, mate.y);
            nutrient[mc] = addInDouble(nutrient[mc], 0.0625 * static_cast<double>(mate.energy));
            const int32_t bc = cellIndex(cell.x, cell.y);
            nutrient[bc] = addInDouble(nutrient[bc], 0.0625 * static_cast<double>(parent.energy));
            parent.energy = reduceInDouble(parent.energy, 0.25);
            mate.energy = reduceInDouble(mate.energy, 0.1875);

            const int32_t n = static_cast<int32_t>(newborn.size());
            newborn.push_back(child);
            slots[bc] = slotTo(kNewbornBuffer, n);
        }
    };
    breed(HL(), Hpop, HRenergy, HAoffset, 4, 14, herbivoreSlot, newHerbivores, true);
    breed(CL(), Cpop, CRenergy, CAoffset, 3, 9, carnivoreSlot, newCarnivores, false);
}

// ---------------------------------------------------------------------------------------------
// Culling, insertion, swap.

void Model::cull() {
    pmin = 100000.0f;
    hmin = 100000.0f;
    cmin = 100000.0f;
    pmax = -100000.0f;
    hmax = -100000.0f;
    cmax = -100000.0f;

    {
        std::vector<Plant>& from = PL();
        std::vector<Plant>& to = OPL();
        to.resize(static_cast<size_t>(Ppop));
        int32_t n = 0;
        for (int32_t i = 0; i < Ppop; ++i) {
            const Plant& p = from[i];
            const int32_t c = cellIndex(p.x, p.y);
            if (p.alive) {
                if (pmin > p.energy) pmin = p.energy;
                if (p.energy > pmax) pmax = p.energy;
                to[n] = p;
                plantSlot[c] = slotTo(otherBuffer(), n);
                ++n;
            } else {
                plantSlot[c] = kNoSlot;
            }
        }
        to.resize(static_cast<size_t>(n));
        Ppop = n;
    }

    auto cullAnimals = [&](std::vector<Animal>& from, std::vector<Animal>& to, int32_t& count,
                           std::vector<int32_t>& slots, float& lo, float& hi) {
        to.resize(static_cast<size_t>(count));
        int32_t n = 0;
        for (int32_t i = 0; i < count; ++i) {
            const Animal& a = from[i];
            const int32_t c = cellIndex(a.x, a.y);
            if (a.alive) {
                if (lo > a.energy) lo = a.energy;
                if (a.energy > hi) hi = a.energy;
                to[n] = a;
                slots[c] = slotTo(otherBuffer(), n);
                ++n;
            } else {
                slots[c] = kNoSlot;
            }
        }
        to.resize(static_cast<size_t>(n));
        count = n;
    };
    cullAnimals(HL(), OHL(), Hpop, herbivoreSlot, hmin, hmax);
    cullAnimals(CL(), OCL(), Cpop, carnivoreSlot, cmin, cmax);
}

void Model::addNew() {
    {
        std::vector<Plant>& to = OPL();
        for (size_t i = 0; i < newPlants.size(); ++i) {
            const int32_t at = Ppop + static_cast<int32_t>(i);
            to.push_back(newPlants[i]);
            plantSlot[cellIndex(newPlants[i].x, newPlants[i].y)] = slotTo(otherBuffer(), at);
        }
    }
    auto append = [&](std::vector<Animal>& to, int32_t count, const std::vector<Animal>& newborn,
                      std::vector<int32_t>& slots) {
        for (size_t i = 0; i < newborn.size(); ++i) {
            const int32_t at = count + static_cast<int32_t>(i);
            to.push_back(newborn[i]);
            slots[cellIndex(newborn[i].x, newborn[i].y)] = slotTo(otherBuffer(), at);
        }
    };
    append(OHL(), Hpop, newHerbivores, herbivoreSlot);
    append(OCL(), Cpop, newCarnivores, carnivoreSlot);
    Ppop += static_cast<int32_t>(newPlants.size());
    Hpop += static_cast<int32_t>(newHerbivores.size());
    Cpop += static_cast<int32_t>(newCarnivores.size());
}

void Model::bufferSwap() {
    even = !even;
}

bool Model::cycle() {
    if (kk > 0 && kk % 1000 == 0) storeGMSampleDraws();
    moveHerbivores();
    moveCarnivores();
    replenish(metabolize());
    eat();
    reproduce();
    die();
    cull();
    addNew();
    bufferSwap();
    kk += 1;
    return Ppop <= 1 || Hpop <= 1 || Cpop <= 1;
}

// ---------------------------------------------------------------------------------------------
// Fingerprint and runs.

Summary Model::summary() {
    Summary s{};
    s.kk = kk;
    s.Ppop = Ppop;
    s.Hpop = Hpop;
    s.Cpop = Cpop;
    Fnv plantHash, herbivoreHash, carnivoreHash, gridHash;
    for (int32_t i = 0; i < Ppop; ++i) {
        s.plantEnergy += static_cast<double>(PL()[i].energy);
        hashRecord(plantHash, PL()[i]);
    }
    for (int32_t i = 0; i < Hpop; ++i) {
        s.herbivoreEnergy += static_cast<double>(HL()[i].energy);
        hashRecord(herbivoreHash, HL()[i]);
    }
    for (int32_t i = 0; i < Cpop; ++i) {
        s.carnivoreEnergy += static_cast<double>(CL()[i].energy);
        hashRecord(carnivoreHash, CL()[i]);
    }
    auto slotWord = [&](int32_t slot) -> uint32_t {
        if (slot == kNoSlot) return 0xFFFFFFFFu;
        if (slot / kSlotBuffer != currentBuffer()) return 0xFFFFFFFEu;
        return static_cast<uint32_t>(slot % kSlotBuffer);
    };
    for (int32_t i = 0; i < kCells; ++i) {
        s.nutrientSum += static_cast<double>(nutrient[i]);
        gridHash.real(nutrient[i]);
        gridHash.word(slotWord(plantSlot[i]));
        gridHash.word(slotWord(herbivoreSlot[i]));
        gridHash.word(slotWord(carnivoreSlot[i]));
    }
    s.plantHash = plantHash.value();
    s.herbivoreHash = herbivoreHash.value();
    s.carnivoreHash = carnivoreHash.value();
    s.gridHash = gridHash.value();
    s.randomState = rng.state;
    return s;
}

RunResult runWithSummary(const Options& options) {
    Model model(options);
    model.seed();
    RunResult result;
    for (int i = 0; i < options.cycles; ++i) {
        result.reports.push_back(model.report());
        if (model.cycle()) break;
    }
    result.summary = model.summary();
    return result;
}

std::vector<CycleReport> run(const Options& options) {
    return runWithSummary(options).reports;
}

}  // namespace reference
