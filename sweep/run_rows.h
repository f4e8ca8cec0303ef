// One run's logged cycles as rows: the counts of its "dt.dat" line and the
// trait means "traits.csv" holds for that cycle, read in step as streams.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "sweep/cycle_log.h"
#include "sweep/sweep_folder.h"

namespace kesmir {

inline constexpr const char* kTraitsFile = "traits.csv";

// The trait columns of a sweep, "herbivore_resistance", in the order the
// runs' files first name them.
class TraitColumns {
  public:
    explicit TraitColumns(const Sweep& sweep);
    const std::vector<std::string>& names() const { return names_; }
    // The column of "kind,trait", or -1.
    int find(std::string_view kindAndTrait) const;
    // The column named "kind_trait", or -1.
    int named(std::string_view name) const;

  private:
    void add(std::string_view kindAndTrait);
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    std::vector<std::string> names_;
    std::unordered_map<std::string, int, Hash, std::equal_to<>> columns_;
};

struct RunRow {
    int64_t cycle = 0;
    int64_t counts[3] = {0, 0, 0};    // plants, herbivores, carnivores
    std::vector<std::string> traits;  // each column's mean as the run wrote it; "" for none
};

class RunRows {
  public:
    RunRows(const std::string& folder, const TraitColumns& columns);
    // False at the end, or at a line that cannot be read (see error()).
    bool next(RunRow& row);
    const std::string& error() const { return error_; }
    // Trait rows of a kind and trait that the sweep's columns do not hold.
    std::size_t rowsLeftOut() const { return leftOut_; }

  private:
    bool readCounts(std::string_view line, RunRow& row);
    void readTraits(RunRow& row);

    std::string folder_;
    const TraitColumns& columns_;
    CycleLogReader log_, traits_;
    bool traitPending_ = false;
    int64_t traitCycle_ = -1;
    std::string traitLine_;
    std::size_t leftOut_ = 0;
    std::string error_;
};

// The fields of a "traits.csv" line: kind and trait ("plant,poison"), and the mean.
bool splitTraitLine(std::string_view line, std::string_view& kindAndTrait, std::string_view& mean);

}  // namespace kesmir
