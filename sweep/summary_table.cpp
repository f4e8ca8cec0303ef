#include "sweep/summary_table.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <memory>
#include <string_view>

#include "display/render/palette.h"
#include "stats/trait_fields.h"
#include "world/format.h"

namespace kesmir {

namespace {

constexpr std::array<const char*, 3> kPopulations{"plants", "herbivores", "carnivores"};
constexpr std::array<Rgb, 3> kPopulationColours{kPlantColour, kHerbivoreColour, kCarnivoreColour};

// Each arms race's colour: its two lines are told apart by their dashes.
constexpr std::array<Rgb, kArmsRaces.size()> kRaceColours{{
    {140, 40, 170},
    {230, 120, 0},
    {0, 150, 150},
}};

// The column of results.csv that holds a field's means: "herbivore_resistance".
std::string columnName(int field) {
    const TraitField& f = kTraitFields[std::size_t(field)];
    return std::string(kKindNames[std::size_t(f.kind)]) + "_" + f.trait;
}

double asIs(double value) {
    return value;
}

// The picture's points: at most this many a line.
constexpr int64_t kPicturePoints = 800;

// One column's statistics over the runs that logged a cycle.
struct Statistic {
    double sum = 0, lowest = 0, highest = 0;
    int count = 0;
    void add(double value) {
        lowest = count == 0 ? value : std::min(lowest, value);
        highest = count == 0 ? value : std::max(highest, value);
        sum += value;
        ++count;
    }
};

// Gathers a line of the picture a block of cycles at a time: the block's
// mean of the means, its lowest lowest and its highest highest.
class PictureLine {
  public:
    // `shown`: what the picture shows of a value.
    PictureLine(SummarySeries& series, int64_t cyclesPerPoint, double (*shown)(double))
        : series_(series), cyclesPerPoint_(cyclesPerPoint), shown_(shown) {}
    ~PictureLine() { flush(); }

    void add(int64_t cycle, const Statistic& s) {
        if (s.count == 0) return;
        const int64_t block = cycle / cyclesPerPoint_;
        if (block != block_) flush();
        block_ = block;
        block_stat_.sum += s.sum / s.count;
        block_stat_.lowest =
            block_stat_.count == 0 ? s.lowest : std::min(block_stat_.lowest, s.lowest);
        block_stat_.highest =
            block_stat_.count == 0 ? s.highest : std::max(block_stat_.highest, s.highest);
        ++block_stat_.count;
    }

  private:
    void flush() {
        if (block_stat_.count == 0) return;
        series_.cycles.push_back(double(block_ * cyclesPerPoint_));
        series_.mean.push_back(shown_(block_stat_.sum / block_stat_.count));
        series_.lowest.push_back(shown_(block_stat_.lowest));
        series_.highest.push_back(shown_(block_stat_.highest));
        block_stat_ = {};
    }

    SummarySeries& series_;
    int64_t cyclesPerPoint_;
    double (*shown_)(double);
    int64_t block_ = -1;
    Statistic block_stat_;
};

// NaN for an empty field (a kind with no organisms).
double parsed(const std::string& text) {
    double value = std::numeric_limits<double>::quiet_NaN();
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

SummarySeries seriesNamed(const std::string& name, Rgb colour, bool dashed) {
    SummarySeries series;
    series.name = name;
    series.colour[0] = colour.red;
    series.colour[1] = colour.green;
    series.colour[2] = colour.blue;
    series.dashed = dashed;
    return series;
}

}  // namespace

std::vector<std::string> valueColumns(const TraitColumns& columns) {
    std::vector<std::string> names(kPopulations.begin(), kPopulations.end());
    names.insert(names.end(), columns.names().begin(), columns.names().end());
    return names;
}

void appendStatistic(std::string& out, double value) {
    appendFormatted(out, "%.10g", value);
}

SummaryTable::SummaryTable(const Sweep& sweep, const TraitColumns& columns,
                           std::vector<std::string> varied)
    : sweep_(sweep), columns_(columns), varied_(std::move(varied)) {
    int64_t longest = 1;
    for (std::size_t run = 1; run <= sweep.runs(); ++run)
        longest = std::max(longest, settingNumber(sweep.value(run, "cycles")));
    cyclesPerPoint_ = std::max<int64_t>(1, (longest + kPicturePoints - 1) / kPicturePoints);
}

std::string SummaryTable::header() const {
    std::string header;
    for (const std::string& name : varied_)
        header += name + ",";
    header += "cycle,runs";
    for (const std::string& column : valueColumns(columns_))
        header += "," + column + "_mean," + column + "_min," + column + "_max";
    return header + "\n";
}

bool SummaryTable::add(const std::vector<std::size_t>& runs, AtomicFileWriter& out,
                       SummaryPanel* panel, std::string& error) {
    std::vector<std::unique_ptr<RunRows>> readers;
    std::vector<RunRow> rows(runs.size());
    std::vector<bool> alive(runs.size());
    for (std::size_t i = 0; i < runs.size(); ++i) {
        readers.push_back(std::make_unique<RunRows>(sweep_.folder(runs[i]), columns_));
        alive[i] = readers[i]->next(rows[i]);
    }
    std::string prefix;
    for (const std::string& name : varied_)
        prefix += sweep_.value(runs.front(), name) + ",";

    std::vector<PictureLine> lines;
    std::vector<int> lineColumns;
    lines.reserve(kPopulations.size() + 2 * kArmsRaces.size());
    if (panel != nullptr) {
        panel->populations.reserve(kPopulations.size());
        panel->races.reserve(2 * kArmsRaces.size());
        for (std::size_t kind = 0; kind < kPopulations.size(); ++kind) {
            panel->populations.push_back(
                seriesNamed(kPopulations[kind], kPopulationColours[kind], false));
            lines.emplace_back(panel->populations.back(), cyclesPerPoint_, asIs);
            lineColumns.push_back(int(kind));
        }
        for (std::size_t r = 0; r < kArmsRaces.size(); ++r) {
            const ArmsRace& race = kArmsRaces[r];
            const int defence = columns_.named(columnName(race.defence)),
                      counter = columns_.named(columnName(race.counter));
            if (defence < 0 || counter < 0) continue;
            for (const auto& [field, column, dashed] : {std::tuple{race.defence, defence, false},
                                                        std::tuple{race.counter, counter, true}}) {
                // The race's colour tells the kinds apart: the legend names the trait alone.
                std::string trait = kTraitFields[std::size_t(field)].trait;
                std::replace(trait.begin(), trait.end(), '_', ' ');
                panel->races.push_back(seriesNamed(trait, kRaceColours[r], dashed));
                lines.emplace_back(panel->races.back(), cyclesPerPoint_, armsRaceShare);
                lineColumns.push_back(int(kPopulations.size()) + column);
            }
        }
    }

    const std::size_t columnCount = kPopulations.size() + columns_.names().size();
    std::vector<Statistic> statistics(columnCount);
    std::string text;
    while (std::find(alive.begin(), alive.end(), true) != alive.end()) {
        int64_t cycle = std::numeric_limits<int64_t>::max();
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (alive[i]) cycle = std::min(cycle, rows[i].cycle);
        std::fill(statistics.begin(), statistics.end(), Statistic{});
        int logged = 0;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (!alive[i] || rows[i].cycle != cycle) continue;
            ++logged;
            for (std::size_t kind = 0; kind < kPopulations.size(); ++kind)
                statistics[kind].add(double(rows[i].counts[kind]));
            for (std::size_t t = 0; t < rows[i].traits.size(); ++t)
                if (const double mean = parsed(rows[i].traits[t]); !std::isnan(mean))
                    statistics[kPopulations.size() + t].add(mean);
            alive[i] = readers[i]->next(rows[i]);
        }
        text += prefix;
        appendFormatted(text, "%lld,%d", (long long)cycle, logged);
        for (const Statistic& s : statistics) {
            text += ",";
            if (s.count == 0) {
                text += ",,";
                continue;
            }
            appendStatistic(text, s.sum / s.count);
            text += ",";
            appendStatistic(text, s.lowest);
            text += ",";
            appendStatistic(text, s.highest);
        }
        text += "\n";
        for (std::size_t l = 0; l < lines.size(); ++l)
            lines[l].add(cycle, statistics[std::size_t(lineColumns[l])]);
        if (text.size() > (1 << 16)) {
            out.write(text);
            text.clear();
        }
    }
    out.write(text);
    for (const auto& reader : readers)
        if (!reader->error().empty()) {
            error = reader->error();
            return false;
        }
    return true;
}

}  // namespace kesmir
