// A text file that a run empties at its start and then appends to, a cycle's
// lines at a time ("dt.dat", "traits.csv", "histograms.csv"). The file is
// opened and closed for every append, so it is complete on disk at any
// moment, and it only ever holds whole lines: what cannot be written whole
// (a full disk) is cut off again and left out, told on stderr, and the lines
// of later cycles are appended once they can be written.
#pragma once

#include <sys/types.h>
#include <cstdint>
#include <string>

namespace kesmir {

class LineLog {
  public:
    // How the messages name what a cycle appends: for "dt.dat" "the line of
    // cycle 5 is" and "lines", for a table "the rows of cycle 5 are" and "rows".
    struct Wording {
        const char* ofOneCycle;  // "the line of cycle %d is"
        const char* ofCycles;    // "the lines of cycles %d to %d are"
        const char* plural;      // "lines"
    };

    // `header`: the first line(s) of the file, "" for none.
    LineLog(const char* path, Wording wording, const char* header = "")
        : path_(path), wording_(wording), header_(header) {}

    // Empties the file and writes its header. A header that cannot be
    // written goes with the first lines that can.
    void start();
    // Appends `text`, one or more whole lines: the lines of `cycle`.
    // Returns whether they were written.
    bool append(const std::string& text, int32_t cycle);

  private:
    // Returns false, for the append that failed to return.
    bool tellFailure(const char* what, int errorNumber, bool cutBack, int32_t cycle);
    void tellRecovery(int32_t cycle);

    const char* path_;
    Wording wording_;
    std::string header_;
    bool headerDue_ = false;
    // While appends fail (a full disk, a directory in the way) the run goes
    // on and tries again at every append; the failure is told when it begins
    // and the recovery when it ends, with the cycles left out.
    bool failing_ = false;
    int32_t firstMissing_ = -1;
    int32_t lastMissing_ = -1;
    // The end of the last whole line when cutting a short write back failed,
    // to be cut to before anything else is appended; -1 when nothing is due.
    off_t dueCut_ = -1;
};

inline constexpr LineLog::Wording kLineWording{"the line of cycle %d is",
                                               "the lines of cycles %d to %d are", "lines"};
inline constexpr LineLog::Wording kRowWording{"the rows of cycle %d are",
                                              "the rows of cycles %d to %d are", "rows"};

}  // namespace kesmir
