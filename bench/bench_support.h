// What the benchmarks share: medians, CPU time, and a scratch directory to
// run in, so that the files a run writes go nowhere that matters.
#pragma once

#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace kesmir::bench {

inline double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// CPU time of CLOCK_THREAD_CPUTIME_ID or CLOCK_PROCESS_CPUTIME_ID, in ms:
// a figure a busy machine disturbs less than the wall clock.
inline double cpuMs(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// A fresh directory under the temporary one, made the current directory for
// the object's life and removed afterwards.
class ScratchDirectory {
  public:
    explicit ScratchDirectory(const std::string& prefix)
        : previous_(std::filesystem::current_path()) {
        std::string path = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
        if (::mkdtemp(path.data()) == nullptr) std::exit(1);
        path_ = path;
        std::filesystem::current_path(path_);
    }
    ~ScratchDirectory() {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(path_);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

}  // namespace kesmir::bench
