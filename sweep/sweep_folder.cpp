#include "sweep/sweep_folder.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "files/parameter_file.h"
#include "files/safe_file.h"
#include "world/format.h"
#include "world/params.h"

namespace kesmir {

namespace {

// The run's parameter file: the defaults with the run's values on top.
std::string parameterText(const Sweep& sweep, std::size_t run) {
    resetParameters();
    const auto choice = sweep.experiment.choiceOf(run - 1);
    for (std::size_t i = 0; i < choice.size(); ++i) {
        const ExperimentAxis& axis = sweep.experiment.axes[i];
        if (axis.isSetting) continue;
        const NamedParameter* parameter = findParameter(axis.name);
        ParameterValue value;
        std::string why;
        parseParameterValue(*parameter, axis.values[choice[i]], value, why);
        setParameter(*parameter, value);
    }
    std::string text = parameterFileText();
    resetParameters();
    return text;
}

// The run's settings, in the experiment file's form (a one-run experiment).
std::string settingsText(const Sweep& sweep, std::size_t run) {
    std::string text = formatted("# run %zu of %zu: the settings kesmir sweep run starts it with\n",
                                 run, sweep.runs());
    const auto choice = sweep.experiment.choiceOf(run - 1);
    for (std::size_t i = 0; i < choice.size(); ++i) {
        const ExperimentAxis& axis = sweep.experiment.axes[i];
        if (axis.isSetting) text += axis.name + " = " + axis.values[choice[i]] + "\n";
    }
    return text;
}

bool makeFolder(const std::string& path, std::string& error) {
    if (::mkdir(path.c_str(), 0777) == 0 || errno == EEXIST) return true;
    error = "cannot make the folder '" + path + "': " + std::strerror(errno);
    return false;
}

bool write(const std::string& path, const std::string& text, std::string& error) {
    const WriteResult result = writeFileAtomically(path, text);
    if (!result.ok) error = result.error;
    return result.ok;
}

// Writes `text` at `path`, or, when a file is there already, checks that it
// holds the same text.
bool writeOrCompare(const std::string& path, const std::string& text, const Sweep& sweep,
                    std::string& error) {
    std::string existing, ignored;
    const ReadStatus status = readWholeFile(path, existing, ignored, 1 << 20);
    if (status == ReadStatus::missing) return write(path, text, error);
    if (status == ReadStatus::ok && existing == text) return true;
    error = "'" + sweep.dir + "' holds another experiment ('" + path +
            "' differs); give another --out, or the experiment in '" + sweep.dir + "/" +
            kExperimentFile + "'";
    return false;
}

bool isEmptyFolder(const std::string& path) {
    DIR* folder = ::opendir(path.c_str());
    if (folder == nullptr) return false;
    bool empty = true;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") empty = false;
    }
    ::closedir(folder);
    return empty;
}

bool absolute(const std::string& path, std::string& out, std::string& error) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) {
        error = "cannot find '" + path + "': " + std::strerror(errno);
        return false;
    }
    out = resolved;
    return true;
}

}  // namespace

std::string Sweep::folderName(std::size_t run) const {
    int width = 3;
    for (std::size_t n = runs(); n >= 1000; n /= 10)
        ++width;
    return formatted("run-%0*zu", width, run);
}

const std::string& Sweep::value(std::size_t run, const std::string& name) const {
    const auto choice = experiment.choiceOf(run - 1);
    for (std::size_t i = 0; i < choice.size(); ++i)
        if (experiment.axes[i].name == name) return experiment.axes[i].values[choice[i]];
    static const std::string none;
    return none;
}

bool layOutSweep(const std::string& experimentText, const std::string& source,
                 const std::string& dir, const std::string& program, Sweep& sweep,
                 std::string& error) {
    if (!parseExperiment(experimentText, source, sweep.experiment, error)) return false;
    struct stat status {};
    const bool existed = ::stat(dir.c_str(), &status) == 0;
    if (existed && !S_ISDIR(status.st_mode)) {
        error = "'" + dir + "' is not a folder";
        return false;
    }
    if (!makeFolder(dir, error) || !absolute(dir, sweep.dir, error)) return false;
    const std::string experimentPath = sweep.dir + "/" + kExperimentFile;
    if (existed && ::access(experimentPath.c_str(), F_OK) != 0 && !isEmptyFolder(sweep.dir)) {
        error = "'" + dir + "' is a folder that holds no sweep; give an empty or new one";
        return false;
    }
    Sweep earlier;
    if (existed && openSweep(sweep.dir, earlier, error) && earlier.runs() != sweep.runs()) {
        error = "'" + sweep.dir + "' holds another experiment (" + std::to_string(earlier.runs()) +
                " runs, not " + std::to_string(sweep.runs()) + "); give another --out";
        return false;
    }
    std::string jobs;
    for (std::size_t run = 1; run <= sweep.runs(); ++run) {
        const std::string folder = sweep.folder(run);
        if (!makeFolder(folder, error) ||
            !writeOrCompare(folder + "/" + kRunParametersFile, parameterText(sweep, run), sweep,
                            error) ||
            !writeOrCompare(folder + "/" + kRunSettingsFile, settingsText(sweep, run), sweep,
                            error))
            return false;
        jobs += runCommand(program, sweep, run) + "\n";
    }
    return write(experimentPath, experimentText, error) &&
           write(sweep.dir + "/" + kJobListFile, jobs, error);
}

bool openSweep(const std::string& dir, Sweep& sweep, std::string& error) {
    if (!absolute(dir, sweep.dir, error)) return false;
    const std::string path = sweep.dir + "/" + kExperimentFile;
    if (::access(path.c_str(), F_OK) != 0) {
        error = "'" + dir + "' holds no sweep (no " + kExperimentFile + ")";
        return false;
    }
    return readExperiment(path, sweep.experiment, error);
}

std::string runCommand(const std::string& program, const Sweep& sweep, std::size_t run) {
    return shellQuoted(program) + " sweep run " + shellQuoted(sweep.dir) + " " +
           std::to_string(run);
}

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

std::string programPath() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "kesmir";
    return std::string(path, std::size_t(length));
}

}  // namespace kesmir
