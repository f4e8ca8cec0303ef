#include "sweep/cycle_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <limits>

#include "files/safe_file.h"

namespace kesmir {

namespace {

constexpr std::size_t kChunk = 1 << 16;

// Writes the lines of the run's log before cycle `below` to `target`.
bool writeLines(const std::string& folder, const std::string& name, int64_t below,
                const std::string& target, std::string& error) {
    CycleLogReader reader(folder, name);
    AtomicFileWriter out(target);
    int64_t cycle = 0;
    std::string_view line;
    bool headerWritten = false;
    while (reader.next(cycle, line)) {
        if (cycle >= below) break;
        if (!headerWritten && !reader.header().empty()) out.write(reader.header() + "\n");
        headerWritten = true;
        out.write(line);
        out.write("\n");
    }
    if (!headerWritten && !reader.header().empty()) out.write(reader.header() + "\n");
    if (!reader.error().empty()) {
        error = reader.error();
        return false;  // the writer drops its temporary file
    }
    const WriteResult result = out.commit();
    if (!result.ok) error = result.error;
    return result.ok;
}

}  // namespace

LineFile::~LineFile() {
    if (fd_ >= 0) ::close(fd_);
}

bool LineFile::open(const std::string& path, std::string& error) {
    path_ = path;
    const ReadStatus status = openDataFile(path, kAnySize, fd_, error);
    if (status == ReadStatus::missing) error.clear();
    if (status != ReadStatus::ok) return false;
    buffer_.resize(kChunk);
    return true;
}

bool LineFile::next(std::string_view& line) {
    if (fd_ < 0) return false;
    for (;;) {
        const char* begin = buffer_.data() + start_;
        if (const void* newline = std::memchr(begin, '\n', end_ - start_)) {
            const auto length = std::size_t(static_cast<const char*>(newline) - begin);
            line = std::string_view(begin, length);
            start_ += length + 1;
            return true;
        }
        if (ended_) return false;
        // Move the part line to the front, grow for a line longer than the buffer.
        std::memmove(buffer_.data(), begin, end_ - start_);
        end_ -= start_;
        start_ = 0;
        if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
        const ssize_t got = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) error_ = "cannot read '" + path_ + "': " + std::strerror(errno);
        if (got <= 0)
            ended_ = true;
        else
            end_ += std::size_t(got);
    }
}

int64_t cycleOfLine(std::string_view line) {
    int64_t cycle = -1;
    const auto [end, ec] = std::from_chars(line.data(), line.data() + line.size(), cycle);
    if (ec != std::errc() || cycle < 0) return -1;
    if (end != line.data() + line.size() && *end != ' ' && *end != ',') return -1;
    return cycle;
}

CycleLogReader::CycleLogReader(const std::string& folder, const std::string& name) {
    const std::string path = folder + "/" + name;
    const bool earlier = parts_[0].open(path + kEarlierSuffix, error_);
    const bool current = error_.empty() && parts_[1].open(path, error_);
    exists_ = earlier || current;
}

bool CycleLogReader::next(int64_t& cycle, std::string_view& line) {
    while (part_ < 2) {
        LineFile& file = parts_[part_];
        if (!file.next(line)) {
            if (error_.empty()) error_ = file.error();
            ++part_;
            continue;
        }
        cycle = cycleOfLine(line);
        if (cycle < 0) {
            if (header_.empty()) header_ = std::string(line);
            continue;
        }
        if (part_ == 0) {
            lastEarlier_ = cycle;
            return true;
        }
        if (cycle > lastEarlier_) return true;
    }
    return false;
}

bool keepEarlierLines(const std::string& folder, const std::string& name, int64_t resumeCycle,
                      std::string& error) {
    const std::string path = folder + "/" + name;
    if (::access(path.c_str(), F_OK) != 0 && ::access((path + kEarlierSuffix).c_str(), F_OK) != 0)
        return true;
    return writeLines(folder, name, resumeCycle, path + kEarlierSuffix, error);
}

bool joinEarlierLines(const std::string& folder, const std::string& name, std::string& error) {
    const std::string path = folder + "/" + name;
    const std::string earlier = path + kEarlierSuffix;
    if (::access(earlier.c_str(), F_OK) != 0) return true;
    if (!writeLines(folder, name, std::numeric_limits<int64_t>::max(), path, error)) return false;
    if (::unlink(earlier.c_str()) != 0 && errno != ENOENT) {
        error = "cannot remove '" + earlier + "': " + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace kesmir
