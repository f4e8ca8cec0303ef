#include "sweep/collect.h"

#include <sys/resource.h>

#include <cstdio>
#include <map>
#include <thread>

#include "sweep/progress.h"
#include "sweep/run_rows.h"
#include "sweep/run_state.h"
#include "sweep/summary_table.h"
#include "world/format.h"

namespace kesmir {

namespace {

// A picture of more panels than this would show none of them well.
constexpr std::size_t kMostPanels = 12;

// The axes that vary, seed left out: they name a parameter combination.
std::vector<std::string> variedAxes(const Sweep& sweep) {
    std::vector<std::string> varied;
    for (const ExperimentAxis& axis : sweep.experiment.axes)
        if (axis.values.size() > 1 && axis.name != "seed") varied.push_back(axis.name);
    return varied;
}

bool commit(AtomicFileWriter& out, std::string& error) {
    const WriteResult result = out.commit();
    if (!result.ok) error = result.error;
    return result.ok;
}

// results.csv, a run at a time in run order.
bool writeResults(const Sweep& sweep, const TraitColumns& columns,
                  const std::vector<std::string>& varied, std::vector<std::string>& problems) {
    AtomicFileWriter out(sweep.dir + "/" + kResultsFile);
    std::string text = "run,seed";
    for (const std::string& name : varied)
        text += "," + name;
    text += ",cycle";
    for (const std::string& column : valueColumns(columns))
        text += "," + column;
    text += "\n";
    std::size_t leftOut = 0;
    for (std::size_t run = 1; run <= sweep.runs(); ++run) {
        std::string prefix = formatted("%zu,", run) + sweep.value(run, "seed");
        for (const std::string& name : varied)
            prefix += "," + sweep.value(run, name);
        prefix += ",";
        RunRows rows(sweep.folder(run), columns);
        RunRow row;
        while (rows.next(row)) {
            text += prefix;
            appendFormatted(text, "%lld,%lld,%lld,%lld", (long long)row.cycle,
                            (long long)row.counts[0], (long long)row.counts[1],
                            (long long)row.counts[2]);
            for (const std::string& mean : row.traits) {
                text += ',';
                text += mean;
            }
            text += "\n";
            if (text.size() > (1 << 16)) {
                out.write(text);
                text.clear();
            }
        }
        if (!rows.error().empty()) problems.push_back(rows.error());
        leftOut += rows.rowsLeftOut();
    }
    out.write(text);
    if (leftOut > 0)
        std::fprintf(stderr,
                     "kesmir: sweep: %zu rows of traits.csv name a trait that the first cycle "
                     "of no run names; they are left out\n",
                     leftOut);
    std::string error;
    if (!commit(out, error)) problems.push_back(error);
    return error.empty();
}

// summary.csv and the picture's panels, a combination at a time.
void writeSummary(const Sweep& sweep, const TraitColumns& columns,
                  const std::vector<std::string>& varied, SummaryPicture& picture,
                  std::vector<std::string>& problems) {
    std::map<std::vector<std::string>, std::size_t> index;  // values -> combination
    std::vector<std::vector<std::size_t>> combinations;
    for (std::size_t run = 1; run <= sweep.runs(); ++run) {
        std::vector<std::string> values;
        for (const std::string& name : varied)
            values.push_back(sweep.value(run, name));
        const auto [at, added] = index.emplace(values, combinations.size());
        if (added) combinations.emplace_back();
        combinations[at->second].push_back(run);
    }
    SummaryTable table(sweep, columns, varied);
    AtomicFileWriter out(sweep.dir + "/" + kSummaryFile);
    out.write(table.header());
    for (std::size_t c = 0; c < combinations.size(); ++c) {
        SummaryPanel* panel = nullptr;
        if (c < kMostPanels) {
            picture.panels.emplace_back();
            panel = &picture.panels.back();
            for (const std::string& name : varied)
                panel->title += (panel->title.empty() ? "" : ", ") + name + " = " +
                                sweep.value(combinations[c].front(), name);
            appendFormatted(panel->title, "%s%zu runs", panel->title.empty() ? "" : "; ",
                            combinations[c].size());
        }
        std::string error;
        if (!table.add(combinations[c], out, panel, error)) problems.push_back(error);
    }
    if (combinations.size() > kMostPanels)
        picture.note = formatted("the first %zu of %zu parameter combinations", kMostPanels,
                                 combinations.size());
    std::string error;
    if (!commit(out, error)) problems.push_back(error);
}

// One line naming the runs that have not finished, or "".
std::string unfinishedRuns(const Sweep& sweep) {
    std::string names;
    std::size_t count = 0;
    for (std::size_t run = 1; run <= sweep.runs(); ++run) {
        const RunStatus status = runStatus(sweep.folder(run));
        if (status.state == RunState::finished) continue;
        ++count;
        appendFormatted(names, "%s%s (%s, %lld of %lld cycles)", names.empty() ? "" : ", ",
                        sweep.folderName(run).c_str(), stateName(status.state),
                        (long long)(status.lastCycle + 1),
                        (long long)settingNumber(sweep.value(run, "cycles")));
    }
    if (count == 0) return "";
    return formatted(
               "kesmir: sweep: %zu of %zu runs have not finished; their rows so far are "
               "included: ",
               count, sweep.runs()) +
           names + "\n";
}

// Every run of a combination is open at once, with two files each.
void allowOpenFiles() {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

}  // namespace

int collectSweep(const Sweep& sweep, SummaryDrawer drawSummary) {
    allowOpenFiles();
    const std::vector<std::string> varied = variedAxes(sweep);
    const TraitColumns columns(sweep);
    // The two tables read the runs' files each on a thread of its own.
    std::vector<std::string> problems, summaryProblems;
    SummaryPicture picture;
    std::thread summary([&] { writeSummary(sweep, columns, varied, picture, summaryProblems); });
    writeResults(sweep, columns, varied, problems);
    summary.join();
    problems.insert(problems.end(), summaryProblems.begin(), summaryProblems.end());
    std::fputs(unfinishedRuns(sweep).c_str(), stderr);
    const std::string picturePath = sweep.dir + "/" + kSummaryPictureFile;
    std::string error;
    if (drawSummary == nullptr)
        std::fputs("kesmir: sweep: summary.png is left out: this kesmir was built without Qt\n",
                   stderr);
    else if (!drawSummary(picture, picturePath, error))
        problems.push_back(error);
    for (const std::string& problem : problems)
        std::fprintf(stderr, "kesmir: sweep: %s\n", problem.c_str());
    std::fprintf(stderr, "kesmir: sweep: wrote %s/%s, %s%s\n", sweep.dir.c_str(), kResultsFile,
                 kSummaryFile, drawSummary != nullptr && error.empty() ? " and summary.png" : "");
    return problems.empty() ? 0 : 1;
}

}  // namespace kesmir
