#include "seed/seeding.h"

#include <cstdint>

#include "files/nutrient_file.h"
#include "seed/gene_sample_file.h"
#include "world/lists.h"
#include "world/random.h"

namespace kesmir {

int seedSampleBSize = kSeedSampleSize;

namespace {

void fillPlants(plant* sample, uint32_t marker) {
    for (int32_t i = 0; i < kSeedSampleSize; ++i) {
        plant& p = sample[i];
        p.chrom1 = static_cast<uint32_t>(draw());
        p.chrom2 = static_cast<uint32_t>(draw());
        p.GM = marker;
        p.alive = 1;
        p.energy = 80.0f;
        p.age = 1;
    }
}

// Animals of sample A get their marker only when placed; sample B sets it here.
void fillAnimals(animal* sample, float energy, bool marked) {
    for (int32_t i = 0; i < kSeedSampleSize; ++i) {
        animal& a = sample[i];
        a.chrom1 = static_cast<uint32_t>(draw());
        a.chrom3 = static_cast<uint32_t>(draw());
        a.chrom2 = static_cast<uint32_t>(draw());
        a.chrom4 = static_cast<uint32_t>(draw());
        if (marked) a.GM = kMarkerB;
        a.alive = 1;
        a.energy = energy;
        a.age = 1;
    }
}

// Draws cells until one has no organism of the kind; the count never
// exceeds the number of cells, so one is always found.
int32_t freeCell(const SlotLayer& slots, int32_t& x, int32_t& y) {
    for (;;) {
        x = draw() % kWorldSide;
        y = draw() % kWorldSide;
        const int32_t cell = cellIndex(x, y);
        if (!slots.occupied(cell)) return cell;
    }
}

// Fills list[from..to) from `sample`; `copyMarker` false sets GM to 0.
template <class Record, class CopyGenes>
void place(Record* list, int32_t from, int32_t to, const Record* sample, int32_t sampleSize,
           SlotLayer& slots, bool copyMarker, CopyGenes copyGenes) {
    for (int32_t j = from; j < to; ++j) {
        const Record& source = sample[draw() % sampleSize];
        int32_t x = 0;
        int32_t y = 0;
        const int32_t cell = freeCell(slots, x, y);
        Record& r = list[j];
        storePosition(r, x, y);
        copyGenes(r, source);
        r.GM = copyMarker ? source.GM : 0;
        r.energy = source.energy;
        r.age = source.age;
        r.alive = 1;
        slots.set(cell, slotFor(r, j));
    }
}

template <class Record, class CopyGenes>
void placeKind(Record* list, int32_t count, const Record* sampleA, const Record* sampleB,
               SlotLayer& slots, bool markerFromA, CopyGenes copyGenes) {
    const int32_t half = count / 2;
    place(list, 0, half, sampleA, kSeedSampleSize, slots, markerFromA, copyGenes);
    place(list, half, count, sampleB, seedSampleBSize, slots, true, copyGenes);
}

}  // namespace

void createPlants() {
    fillPlants(PS, kMarkerA);
}
void createHerbivores() {
    fillAnimals(HS, 120.0f, false);
}
void createCarnivores() {
    fillAnimals(CS, 300.0f, false);
}
void newPlants() {
    fillPlants(PB, kMarkerB);
}
void newHerbivores() {
    fillAnimals(HB, 120.0f, true);
}
void newCarnivores() {
    fillAnimals(CB, 300.0f, true);
}

void matureSamples() {
    placeKind<plant>(PL, Ppop, PS, PB, E.plant, true, [](plant& to, const plant& from) {
        to.chrom1 = from.chrom1;
        to.chrom2 = from.chrom2;
    });
    auto copyAnimalGenes = [](animal& to, const animal& from) {
        to.chrom1 = from.chrom1;
        to.chrom3 = from.chrom3;
        to.chrom2 = from.chrom2;
        to.chrom4 = from.chrom4;
    };
    placeKind<animal>(HL, Hpop, HS, HB, E.herbivore, false, copyAnimalGenes);
    placeKind<animal>(CL, Cpop, CS, CB, E.carnivore, false, copyAnimalGenes);
}

void matureNutrients() {
    loadNutrients();
    createPlants();
    createHerbivores();
    createCarnivores();
    loadGMSamples();
    matureSamples();
}

}  // namespace kesmir
