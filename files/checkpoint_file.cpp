#include "files/checkpoint_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "files/checkpoint_history.h"
#include "files/checkpoint_world.h"
#include "files/checksum64.h"
#include "files/compressed_stream.h"
#include "files/file_pieces.h"
#include "world/counters.h"
#include "world/grid.h"

namespace kesmir {

namespace {

static_assert(std::endian::native == std::endian::little, "the file's numbers are little-endian");

constexpr std::string_view kMagic = "KESMIRCK";
constexpr std::size_t kHeaderSize = 24;
constexpr std::size_t kTrailerSize = 16;
constexpr uint32_t kHistoriesSince = 2;  // the first format that holds the histories

// zstd's fastest regular level: the world compresses to about a third
// (see bench/checkpoint_bench), and a write takes a fraction of a second.
constexpr int kCompressionLevel = 1;

template <class T>
void append(std::string& out, T value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

template <class T>
T at(std::string_view data, std::size_t offset) {
    T value;
    std::memcpy(&value, data.data() + offset, sizeof value);
    return value;
}

std::string header(uint32_t version) {
    std::string out(kMagic);
    append<uint32_t>(out, version);
    append<uint32_t>(out, kWorldSide);
    append<uint32_t>(out, kWorldSide);
    append<uint32_t>(out, 0);
    return out;
}

// No valid checkpoint is larger: the largest state and the histories of the
// longest run, incompressible.
std::uint64_t largestCheckpoint() {
    return kHeaderSize + ZSTD_compressBound(largestStateBytes() + largestHistoryBytes()) +
           kTrailerSize;
}

// What is wrong with the header of a file of `size` bytes, given its first
// bytes (all of them, or kHeaderSize), or "" when it is sound.
std::string checkHeader(std::string_view head, std::uint64_t size) {
    if (head.size() < kMagic.size() || head.substr(0, kMagic.size()) != kMagic) {
        if (head.size() < kMagic.size() && kMagic.substr(0, head.size()) == head)
            return "it is cut short";
        return "it is not a checkpoint of The Kesmir";
    }
    if (size < kHeaderSize + kTrailerSize) return "it is cut short";
    const auto version = at<uint32_t>(head, 8);
    if (version > kCheckpointVersion)
        return "it was written by a newer version of The Kesmir (format " +
               std::to_string(version) + "; this one reads format " +
               std::to_string(kCheckpointVersion) + ")";
    if (version < kOldestCheckpointVersion)
        return "its format " + std::to_string(version) + " is unknown";
    const auto width = at<uint32_t>(head, 12);
    const auto height = at<uint32_t>(head, 16);
    if (width != kWorldSide || height != kWorldSide)
        return "it holds a " + std::to_string(width) + " x " + std::to_string(height) +
               " world, not a " + std::to_string(kWorldSide) + " x " + std::to_string(kWorldSide) +
               " one";
    return "";
}

// What is wrong with the trailer and the checksum of the whole file, or "".
// The file is read once through, a piece at a time.
std::string checkTrailer(int fd, std::uint64_t size) {
    std::string error;
    char trailer[kTrailerSize];
    if (!readFileBytes(fd, size - kTrailerSize, trailer, kTrailerSize, error)) return error;
    const std::string_view end(trailer, kTrailerSize);
    if (at<uint64_t>(end, 0) != size)
        return "it is cut short or damaged (its length does not match its end)";
    Checksum64 sum;
    FilePieces pieces(fd, 0, size - 8);
    for (std::string_view piece; pieces.next(piece, error) && !piece.empty();)
        sum.add(piece.data(), piece.size());
    if (!error.empty()) return error;
    if (sum.value() != at<uint64_t>(end, 8)) return "it is damaged (its checksum does not match)";
    return "";
}

// What is wrong with the checkpoint open at `fd`, or "" once `read` has
// taken the state from it: the frame first, then the state, streamed from
// the file. `read` says what is wrong with the state ("" when nothing is).
template <class Read>
std::string readOpenCheckpoint(int fd, Read read) {
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return std::string("it cannot be read (") + std::strerror(errno) + ")";
    const auto size = static_cast<std::uint64_t>(status.st_size);
    char head[kHeaderSize];
    const auto headSize = static_cast<std::size_t>(std::min<std::uint64_t>(size, kHeaderSize));
    std::string wrong;
    if (!readFileBytes(fd, 0, head, headSize, wrong)) return wrong;
    if (wrong = checkHeader(std::string_view(head, headSize), size); !wrong.empty()) return wrong;
    if (wrong = checkTrailer(fd, size); !wrong.empty()) return wrong;
    const auto version = at<uint32_t>(std::string_view(head, headSize), 8);
    FilePieces body(fd, kHeaderSize, size - kTrailerSize);
    CompressedReader in(
        [&body](std::string_view& piece, std::string& error) { return body.next(piece, error); });
    return read(in, version);
}

}  // namespace

WriteResult writeCheckpoint(const std::string& path, uint32_t version) {
    return writeCheckpoint(path, currentParameters(), version);
}

WriteResult writeCheckpoint(const std::string& path, const ParameterSet& parameters,
                            uint32_t version) {
    AtomicFileWriter file(path);
    Checksum64 sum;
    uint64_t length = 0;
    bool writeFailed = false;
    auto put = [&](std::string_view piece) {
        sum.add(piece.data(), piece.size());
        length += piece.size();
        writeFailed = writeFailed || !file.write(piece);
        return !writeFailed;
    };
    put(header(version));
    std::string error;
    {
        CompressedWriter body(put, kCompressionLevel);
        writeWorld(body, parameters);
        if (version >= kHistoriesSince) writeHistories(body);
        if (!body.finish(error)) {
            if (writeFailed) return file.commit();  // says why; nothing is renamed
            return {false,
                    "cannot compress '" + path + "': " + error};  // the writer drops the file
        }
    }
    std::string trailer;
    append<uint64_t>(trailer, length + kTrailerSize);
    sum.add(trailer.data(), trailer.size());
    append<uint64_t>(trailer, sum.value());
    file.write(trailer);
    return file.commit();
}

namespace {

template <class Read>
bool readState(const std::string& path, std::string& error, Read read) {
    int fd = -1;
    if (openDataFile(path, largestCheckpoint(), fd, error) != ReadStatus::ok) return false;
    const std::string wrong = readOpenCheckpoint(fd, read);
    ::close(fd);
    if (wrong.empty()) return true;
    error = "'" + path + "' cannot be resumed from: " + wrong;
    return false;
}

}  // namespace

bool readCheckpoint(const std::string& path, std::string& error) {
    return readState(path, error, [](CompressedReader& in, uint32_t version) -> std::string {
        std::string wrong;
        const bool histories = version >= kHistoriesSince;
        if (!readWorld(in, wrong) || (histories && !readHistories(in, kk, wrong))) {
            if (wrong.empty()) wrong = in.error();
            return "it is damaged (" + wrong + ")";
        }
        if (!in.atEnd())
            return "it is damaged (" +
                   (in.error().empty() ? std::string("it holds more than a world") : in.error()) +
                   ")";
        if (!histories) clearHistories();
        return "";
    });
}

bool readCheckpointCycle(const std::string& path, int32_t& cycle, std::string& error) {
    return readState(path, error, [&](CompressedReader& in, uint32_t) -> std::string {
        if (!in.value(cycle)) return "it is damaged (" + in.error() + ")";
        return "";
    });
}

}  // namespace kesmir
