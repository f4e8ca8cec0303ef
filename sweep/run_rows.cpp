#include "sweep/run_rows.h"

#include <algorithm>
#include <charconv>

#include "sim/population_log.h"

namespace kesmir {

namespace {

// The n-th comma of `line` (counted from 0), or npos.
std::size_t comma(std::string_view line, int n) {
    std::size_t at = std::string_view::npos;
    for (int i = 0; i <= n; ++i) {
        at = line.find(',', at == std::string_view::npos ? 0 : at + 1);
        if (at == std::string_view::npos) break;
    }
    return at;
}

}  // namespace

bool splitTraitLine(std::string_view line, std::string_view& kindAndTrait, std::string_view& mean) {
    // cycle,kind,trait,count,mean,...
    const std::size_t afterCycle = comma(line, 0), afterTrait = comma(line, 2),
                      afterCount = comma(line, 3), afterMean = comma(line, 4);
    if (afterCount == std::string_view::npos) return false;
    kindAndTrait = line.substr(afterCycle + 1, afterTrait - afterCycle - 1);
    mean = line.substr(afterCount + 1, afterMean == std::string_view::npos
                                           ? std::string_view::npos
                                           : afterMean - afterCount - 1);
    return true;
}

TraitColumns::TraitColumns(const Sweep& sweep) {
    // The first logged cycle of each run names its traits.
    for (std::size_t run = 1; run <= sweep.runs(); ++run) {
        CycleLogReader reader(sweep.folder(run), kTraitsFile);
        int64_t first = -1, cycle = 0;
        std::string_view line, kindAndTrait, mean;
        while (reader.next(cycle, line) && (first < 0 || cycle == first)) {
            first = cycle;
            if (splitTraitLine(line, kindAndTrait, mean)) add(kindAndTrait);
        }
    }
}

void TraitColumns::add(std::string_view kindAndTrait) {
    if (find(kindAndTrait) >= 0) return;
    columns_.emplace(std::string(kindAndTrait), int(names_.size()));
    std::string name(kindAndTrait);
    name[name.find(',')] = '_';
    names_.push_back(std::move(name));
}

int TraitColumns::find(std::string_view kindAndTrait) const {
    const auto found = columns_.find(kindAndTrait);
    return found == columns_.end() ? -1 : found->second;
}

int TraitColumns::named(std::string_view name) const {
    const auto found = std::find(names_.begin(), names_.end(), name);
    return found == names_.end() ? -1 : int(found - names_.begin());
}

RunRows::RunRows(const std::string& folder, const TraitColumns& columns)
    : folder_(folder),
      columns_(columns),
      log_(folder, kPopulationLogFile),
      traits_(folder, kTraitsFile) {}

bool RunRows::readCounts(std::string_view line, RunRow& row) {
    const char* at = line.data();
    const char* end = line.data() + line.size();
    int64_t fields[4];
    for (int64_t& field : fields) {
        while (at < end && *at == ' ')
            ++at;
        const auto [next, ec] = std::from_chars(at, end, field);
        if (ec != std::errc() || next == at) {
            error_ = "'" + folder_ + "/" + kPopulationLogFile + "': the line of cycle " +
                     std::to_string(row.cycle) + " is not a population line";
            return false;
        }
        at = next;
    }
    for (int kind = 0; kind < 3; ++kind)
        row.counts[kind] = fields[kind + 1];
    return true;
}

void RunRows::readTraits(RunRow& row) {
    row.traits.resize(columns_.names().size());
    for (std::string& mean : row.traits)
        mean.clear();  // keeps its buffer for the next row
    std::string_view line;
    while (true) {
        if (!traitPending_) {
            if (!traits_.next(traitCycle_, line)) return;
            traitLine_.assign(line);
            traitPending_ = true;
        }
        if (traitCycle_ > row.cycle) return;
        traitPending_ = false;
        if (traitCycle_ < row.cycle) continue;  // a cycle "dt.dat" did not log
        std::string_view kindAndTrait, mean;
        const int column =
            splitTraitLine(traitLine_, kindAndTrait, mean) ? columns_.find(kindAndTrait) : -1;
        if (column < 0)
            ++leftOut_;
        else
            row.traits[std::size_t(column)].assign(mean);
    }
}

bool RunRows::next(RunRow& row) {
    std::string_view line;
    if (!error_.empty() || !log_.next(row.cycle, line)) {
        if (error_.empty()) error_ = log_.error();
        return false;
    }
    if (!readCounts(line, row)) return false;
    readTraits(row);
    if (error_.empty()) error_ = traits_.error();
    return error_.empty();
}

}  // namespace kesmir
