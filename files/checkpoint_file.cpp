#include "files/checkpoint_file.h"

#include <bit>
#include <cstring>
#include <string_view>

#include "files/checkpoint_history.h"
#include "files/checkpoint_world.h"
#include "files/checksum64.h"
#include "files/compressed_stream.h"
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

// What is wrong with the file's header and trailer, or "" when they are sound.
std::string checkFrame(std::string_view file) {
    if (file.size() < kMagic.size() || file.substr(0, kMagic.size()) != kMagic) {
        if (file.size() < kMagic.size() && kMagic.substr(0, file.size()) == file)
            return "it is cut short";
        return "it is not a checkpoint of The Kesmir";
    }
    if (file.size() < kHeaderSize + kTrailerSize) return "it is cut short";
    const auto version = at<uint32_t>(file, 8);
    if (version > kCheckpointVersion)
        return "it was written by a newer version of The Kesmir (format " +
               std::to_string(version) + "; this one reads format " +
               std::to_string(kCheckpointVersion) + ")";
    if (version < kOldestCheckpointVersion)
        return "its format " + std::to_string(version) + " is unknown";
    const auto width = at<uint32_t>(file, 12);
    const auto height = at<uint32_t>(file, 16);
    if (width != kWorldSide || height != kWorldSide)
        return "it holds a " + std::to_string(width) + " x " + std::to_string(height) +
               " world, not a " + std::to_string(kWorldSide) + " x " + std::to_string(kWorldSide) +
               " one";
    if (at<uint64_t>(file, file.size() - kTrailerSize) != file.size())
        return "it is cut short or damaged (its length does not match its end)";
    Checksum64 sum;
    sum.add(file.data(), file.size() - 8);
    if (sum.value() != at<uint64_t>(file, file.size() - 8))
        return "it is damaged (its checksum does not match)";
    return "";
}

}  // namespace

WriteResult writeCheckpoint(const std::string& path, uint32_t version) {
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
        writeWorld(body);
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

bool readCheckpoint(const std::string& path, std::string& error) {
    std::string file;
    if (readWholeFile(path, file, error) != ReadStatus::ok) return false;
    std::string wrong = checkFrame(file);
    if (wrong.empty()) {
        const std::string_view body =
            std::string_view(file).substr(kHeaderSize, file.size() - kHeaderSize - kTrailerSize);
        CompressedReader in(body);
        const bool histories = at<uint32_t>(file, 8) >= kHistoriesSince;
        if (!readWorld(in, wrong) || (histories && !readHistories(in, kk, wrong))) {
            if (wrong.empty()) wrong = in.error();
            wrong = "it is damaged (" + wrong + ")";
        } else if (!in.atEnd()) {
            wrong = "it is damaged (" +
                    (in.error().empty() ? std::string("it holds more than a world") : in.error()) +
                    ")";
        } else if (!histories) {
            clearHistories();
        }
    }
    if (wrong.empty()) return true;
    error = "'" + path + "' cannot be resumed from: " + wrong;
    return false;
}

}  // namespace kesmir
