#include "sim/trait_sampling.h"

#include <vector>

#include "files/line_log.h"
#include "sim/eco_node.h"
#include "sim/parallel/list_pieces.h"
#include "sim/trait_tally.h"
#include "stats/trait_history.h"
#include "stats/trait_statistics.h"
#include "world/counters.h"

namespace kesmir {

TraitSettings traitSettings;

namespace {

LineLog traitsLog(kTraitsFile, kRowWording, kTraitsHeader);
LineLog histogramsLog(kHistogramsFile, kRowWording, kHistogramsHeader);

bool due(int32_t every, int32_t cycle) {
    return every > 0 && cycle % every == 0;
}

// One piece of one kind's list: the counting is cut the same way as the
// steps that work piece by piece.
struct KindPieces {
    Kind kind;
    int32_t count;
    Pieces pieces;
};

}  // namespace

TraitCounts countTraits() {
    const std::array<KindPieces, kKinds> kinds{{
        {Kind::plant, Ppop, recordPieces(Ppop)},
        {Kind::herbivore, Hpop, recordPieces(Hpop)},
        {Kind::carnivore, Cpop, recordPieces(Cpop)},
    }};
    int32_t total = 0;
    for (const KindPieces& k : kinds)
        total += k.pieces.size();
    // Each piece counts into bins of its own; the sums are whole numbers,
    // so the order they are added in does not matter.
    static std::vector<TraitBins> pieceBins;
    if (pieceBins.size() < std::size_t(total)) pieceBins.resize(std::size_t(total));
    const plant* plants = PL;
    const animal* herbivores = HL;
    const animal* carnivores = CL;
    forEachPiece(total, [&](int32_t task) {
        TraitBins& bins = pieceBins[std::size_t(task)];
        bins.fill(0);
        int32_t piece = task;
        for (const KindPieces& k : kinds) {
            if (piece >= k.pieces.size()) {
                piece -= k.pieces.size();
                continue;
            }
            const int32_t begin = k.pieces.begin(piece), end = k.pieces.end(piece);
            if (k.kind == Kind::plant)
                countFields(plants, begin, end, bins);
            else
                countFields(k.kind, k.kind == Kind::herbivore ? herbivores : carnivores, begin, end,
                            bins);
            return;
        }
    });
    TraitCounts counts;
    counts.cycle = kk;
    for (const KindPieces& k : kinds)
        counts.organisms[std::size_t(k.kind)] = k.count;
    for (int32_t task = 0; task < total; ++task)
        for (int bin = 0; bin < kTraitBins; ++bin)
            counts.bins[std::size_t(bin)] += pieceBins[std::size_t(task)][std::size_t(bin)];
    return counts;
}

void startTraitFiles() {
    if (traitSettings.traitsEvery > 0) traitsLog.start();
    if (traitSettings.histogramsEvery > 0) histogramsLog.start();
}

void sampleTraits() {
    const bool traitsDue = due(traitSettings.traitsEvery, kk);
    const bool histogramsDue = due(traitSettings.histogramsEvery, kk);
    if (!traitsDue && !histogramsDue) return;
    TraitCounts counts;
    {
        StepTimer t(stepTimings, Step::traits);
        const TraitCounts* tallied = traitTally.counted(kk);
        if (tallied != nullptr) {
            counts = *tallied;
        } else {
            counts = countTraits();
            traitTally.follow(counts);
        }
        traitHistory.add(counts);
    }
    StepTimer t(stepTimings, Step::files);
    if (traitsDue) traitsLog.append(traitRows(counts), kk);
    if (histogramsDue) histogramsLog.append(histogramRows(counts), kk);
}

}  // namespace kesmir
