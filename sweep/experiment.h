// An experiment file: the parameter file's "NAME = VALUE" lines, where a value
// may also be a list ("HRenergy = 60, 70, 80") or a range ("seed = 1..10",
// "CNoffset = 10..30 step 10"), list items may be ranges too. Besides the
// model's parameters it names the settings of each run (seed, cycles,
// threads and the output cadences). The runs are the cross product of the
// values, the last-named list changing fastest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kesmir {

// One name of the file and the values it takes, each as the text passed on
// to the run (the shortest text that reads back to the same value).
struct ExperimentAxis {
    std::string name;
    std::vector<std::string> values;
    int line = 0;            // where it was named; 0 for a setting left to its default
    bool isSetting = false;  // a run setting (an option of kesmir), not a model parameter
};

struct Experiment {
    std::vector<ExperimentAxis> axes;  // in the order named, then defaulted settings
    std::size_t runCount() const;
    // The index into each axis's values for run `run` (counted from 0).
    std::vector<std::size_t> choiceOf(std::size_t run) const;
    const ExperimentAxis* find(std::string_view name) const;
};

// Sweeps of more runs than this are refused: a typing slip in a range
// should not lay out millions of folders.
constexpr std::size_t kMostRuns = 100000;

// Reads an experiment from `text`; on failure `error` is one line beginning
// with "<source> line N: " (or "<source>: " for what is missing).
bool parseExperiment(std::string_view text, const std::string& source, Experiment& experiment,
                     std::string& error);

// The same from the file at `path`.
bool readExperiment(const std::string& path, Experiment& experiment, std::string& error);

// The settings an experiment may name besides the model's parameters, with
// their defaults: "seed (default 1), cycles (required), ...".
std::string experimentSettingsText();

// A run setting's value as a whole number (the settings are all whole numbers).
int64_t settingNumber(const std::string& text);

}  // namespace kesmir
