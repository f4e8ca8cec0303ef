#include "world/lists.h"

#include "world/lazy_memory.h"

namespace kesmir {

plant* PL1 = nullptr;
plant* PL2 = nullptr;
animal* HL1 = nullptr;
animal* HL2 = nullptr;
animal* CL1 = nullptr;
animal* CL2 = nullptr;

RelaxedAtomic<plant*> PL{nullptr};
RelaxedAtomic<animal*> HL{nullptr};
RelaxedAtomic<animal*> CL{nullptr};
plant* OPL = nullptr;
animal* OHL = nullptr;
animal* OCL = nullptr;
bool even = true;

RelaxedAtomic<int32_t> Ppop{kStartPlants};
RelaxedAtomic<int32_t> Hpop{kStartHerbivores};
RelaxedAtomic<int32_t> Cpop{kStartCarnivores};

plant* NP = nullptr;
animal* NH = nullptr;
animal* NC = nullptr;
plant* SP = nullptr;
animal* SH = nullptr;
animal* SC = nullptr;
plant* PS = nullptr;
animal* HS = nullptr;
animal* CS = nullptr;
plant* PB = nullptr;
animal* HB = nullptr;
animal* CB = nullptr;

void allocateWorld() {
    if (PL1 != nullptr) return;
    E.nutrient = reserveArray<float>(kCells, "the nutrient layer");
    E.plant.allocate("the plant slots");
    E.herbivore.allocate("the herbivore slots");
    E.carnivore.allocate("the carnivore slots");

    PL1 = reserveArray<plant>(kListCapacity, "the plant lists");
    PL2 = reserveArray<plant>(kListCapacity, "the plant lists");
    HL1 = reserveArray<animal>(kListCapacity, "the herbivore lists");
    HL2 = reserveArray<animal>(kListCapacity, "the herbivore lists");
    CL1 = reserveArray<animal>(kListCapacity, "the carnivore lists");
    CL2 = reserveArray<animal>(kListCapacity, "the carnivore lists");
    NP = reserveArray<plant>(kListCapacity, "the newborn lists");
    NH = reserveArray<animal>(kListCapacity, "the newborn lists");
    NC = reserveArray<animal>(kListCapacity, "the newborn lists");
    SP = reserveArray<plant>(kSampleCapacity, "the spot sample");
    SH = reserveArray<animal>(kSampleCapacity, "the spot sample");
    SC = reserveArray<animal>(kSampleCapacity, "the spot sample");
    PS = reserveArray<plant>(kSeedSampleSize, "the seed samples");
    HS = reserveArray<animal>(kSeedSampleSize, "the seed samples");
    CS = reserveArray<animal>(kSeedSampleSize, "the seed samples");
    PB = reserveArray<plant>(kSeedSampleSize, "the seed samples");
    HB = reserveArray<animal>(kSeedSampleSize, "the seed samples");
    CB = reserveArray<animal>(kSeedSampleSize, "the seed samples");

    selectBuffers(true);
}

void bufferSwap() {
    selectBuffers(!even);
}

void selectBuffers(bool first) {
    PL = first ? PL1 : PL2;
    HL = first ? HL1 : HL2;
    CL = first ? CL1 : CL2;
    OPL = first ? PL2 : PL1;
    OHL = first ? HL2 : HL1;
    OCL = first ? CL2 : CL1;
    even = first;
}

}  // namespace kesmir
