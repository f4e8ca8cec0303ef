// A sweep's folder: the experiment it runs (experiment.txt), one folder per
// run holding the run's parameter file (params.txt, as --print-params writes
// it) and its settings (run.txt: seed, cycles, threads and cadences), and the
// job list (jobs.txt: one command per run, which every engine runs).
#pragma once

#include <cstddef>
#include <string>

#include "sweep/experiment.h"

namespace kesmir {

struct Sweep {
    std::string dir;  // absolute
    Experiment experiment;

    std::size_t runs() const { return experiment.runCount(); }
    // "run-007" for run 7 (runs counted from 1), padded to sort in order.
    std::string folderName(std::size_t run) const;
    std::string folder(std::size_t run) const { return dir + "/" + folderName(run); }
    // The run's value of `name` (an axis of the experiment).
    const std::string& value(std::size_t run, const std::string& name) const;
};

inline constexpr const char* kExperimentFile = "experiment.txt";
inline constexpr const char* kJobListFile = "jobs.txt";
inline constexpr const char* kRunParametersFile = "params.txt";
inline constexpr const char* kRunSettingsFile = "run.txt";

// Lays out `dir` for the experiment in `experimentText` (read from
// `source`), or checks that the sweep already there is the same one (the
// same runs with the same values), so that running the same command again
// goes on with it. `program` is the kesmir binary the job list starts.
bool layOutSweep(const std::string& experimentText, const std::string& source,
                 const std::string& dir, const std::string& program, Sweep& sweep,
                 std::string& error);

// A sweep already laid out in `dir`.
bool openSweep(const std::string& dir, Sweep& sweep, std::string& error);

// The command that runs one run: what the job list holds and Slurm starts.
std::string runCommand(const std::string& program, const Sweep& sweep, std::size_t run);

// `text` quoted for a POSIX shell.
std::string shellQuoted(const std::string& text);

// The absolute path of the running program.
std::string programPath();

}  // namespace kesmir
