// A run's files of lines that begin with a cycle number ("dt.dat",
// "traits.csv", "histograms.csv"), read as one stream across resumes.
//
// kesmir empties these files when it starts, after --resume too; so before a
// run is resumed from a checkpoint of cycle C, the lines of the cycles before
// C are kept in "<name>.earlier", and when the run finishes they are joined
// with the file again. A reader sees the earlier part, then the file's lines
// of later cycles, so a run interrupted at any moment reads whole.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kesmir {

inline constexpr const char* kEarlierSuffix = ".earlier";

// The files of a run that begin their lines with a cycle.
inline constexpr const char* kRunLogs[] = {"dt.dat", "traits.csv", "histograms.csv"};

// Reads one file line by line through a small buffer.
class LineFile {
  public:
    LineFile() = default;
    ~LineFile();
    LineFile(const LineFile&) = delete;
    LineFile& operator=(const LineFile&) = delete;

    // False when the file is missing; `error` says so only when it is there
    // but cannot be read.
    bool open(const std::string& path, std::string& error);
    // The next whole line, without its newline. A last line without one is
    // being written and is left out.
    bool next(std::string_view& line);
    const std::string& error() const { return error_; }

  private:
    int fd_ = -1;
    std::string path_;
    std::vector<char> buffer_;
    std::size_t start_ = 0, end_ = 0;
    bool ended_ = false;
    std::string error_;
};

class CycleLogReader {
  public:
    // `folder`/`name` and its earlier part, when there is one.
    CycleLogReader(const std::string& folder, const std::string& name);

    // The next line that begins with a cycle number, and that number;
    // lines that do not (a header) are kept aside as the header.
    bool next(int64_t& cycle, std::string_view& line);
    const std::string& header() const { return header_; }
    bool exists() const { return exists_; }
    // A file that could not be read; "" when all is well.
    const std::string& error() const { return error_; }

  private:
    LineFile parts_[2];  // the earlier part, the file
    int part_ = 0;
    int64_t lastEarlier_ = -1;  // the earlier part's last cycle
    bool exists_ = false;
    std::string header_;
    std::string error_;
};

// The cycle a line begins with, or -1.
int64_t cycleOfLine(std::string_view line);

// Before a resume from a checkpoint of cycle `resumeCycle`: keeps the
// lines of the cycles before it in "<name>.earlier".
bool keepEarlierLines(const std::string& folder, const std::string& name, int64_t resumeCycle,
                      std::string& error);

// Once the run has finished: writes the earlier part and the file as one
// file and removes the earlier part.
bool joinEarlierLines(const std::string& folder, const std::string& name, std::string& error);

}  // namespace kesmir
