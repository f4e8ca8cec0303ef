#include "stats/trait_counts.h"

namespace kesmir {

namespace {

template <Kind kKind, class Record>
void countKind(const Record* list, int32_t begin, int32_t end, TraitBins& bins) {
    countingInto<kKind>(bins, [&](auto count) {
        for (int32_t i = begin; i < end; ++i)
            count(list[i]);
    });
}

}  // namespace

void countFields(const plant* list, int32_t begin, int32_t end, TraitBins& bins) {
    countKind<Kind::plant>(list, begin, end, bins);
}

void countFields(Kind kind, const animal* list, int32_t begin, int32_t end, TraitBins& bins) {
    if (kind == Kind::herbivore)
        countKind<Kind::herbivore>(list, begin, end, bins);
    else
        countKind<Kind::carnivore>(list, begin, end, bins);
}

}  // namespace kesmir
