// The compressed body of a checkpoint: one zstd frame into which values go,
// and out of which they come, in the same order. Columns of 4-byte values
// travel in blocks of kPlaneBlock values, each block stored as four byte
// planes, lowest bytes first: the high bytes of positions, ages and gene
// words are much alike, and zstd finds far more to compress in planes than
// in interleaved words.
#pragma once

#include <zstd.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kesmir {

constexpr std::size_t kPlaneBlock = 4096;  // values per block of byte planes

class CompressedWriter {
  public:
    // Compressed bytes go to `output` as they come; it returns false to
    // stop the writing (a failed file write, say).
    using Output = std::function<bool(std::string_view)>;
    CompressedWriter(Output output, int level);
    ~CompressedWriter();
    CompressedWriter(const CompressedWriter&) = delete;
    CompressedWriter& operator=(const CompressedWriter&) = delete;

    void bytes(const void* data, std::size_t size);
    template <class T>
    void value(T v) {
        bytes(&v, sizeof v);
    }

    // `count` 4-byte values, the i-th being get(i) (any 4-byte type).
    template <class Get>
    void column(std::size_t count, Get get) {
        for (std::size_t first = 0; first < count; first += kPlaneBlock) {
            const std::size_t n = std::min(kPlaneBlock, count - first);
            unsigned char* planes = reserve(4 * n);
            for (std::size_t i = 0; i < n; ++i) {
                const auto bits = std::bit_cast<uint32_t>(get(first + i));
                planes[i] = static_cast<unsigned char>(bits);
                planes[n + i] = static_cast<unsigned char>(bits >> 8);
                planes[2 * n + i] = static_cast<unsigned char>(bits >> 16);
                planes[3 * n + i] = static_cast<unsigned char>(bits >> 24);
            }
        }
    }

    // Ends the frame. False, with `error` set, if compressing or the output failed.
    bool finish(std::string& error);

  private:
    // Room for `size` more bytes at the end of the staging buffer.
    unsigned char* reserve(std::size_t size);
    void compress(ZSTD_EndDirective mode);
    void fail(std::string error);

    Output output_;
    ZSTD_CCtx* context_;
    std::vector<unsigned char> staged_;
    std::size_t stagedSize_ = 0;
    std::vector<unsigned char> compressed_;
    std::string error_;
};

class CompressedReader {
  public:
    // Hands over the next compressed bytes, an empty piece at the end of the
    // input; returns false (with `error` set) when they cannot be had. A
    // piece stays valid until the next call.
    using Input = std::function<bool(std::string_view& piece, std::string& error)>;
    explicit CompressedReader(Input input);
    ~CompressedReader();
    CompressedReader(const CompressedReader&) = delete;
    CompressedReader& operator=(const CompressedReader&) = delete;

    bool bytes(void* data, std::size_t size);
    template <class T>
    bool value(T& v) {
        return bytes(&v, sizeof v);
    }

    // Reads a column written by CompressedWriter::column: put(i, value) for
    // each of `count` values of type T; stops when put returns false.
    template <class T, class Put>
    bool column(std::size_t count, Put put) {
        static_assert(sizeof(T) == 4);
        unsigned char planes[4 * kPlaneBlock];
        for (std::size_t first = 0; first < count; first += kPlaneBlock) {
            const std::size_t n = std::min(kPlaneBlock, count - first);
            if (!bytes(planes, 4 * n)) return false;
            for (std::size_t i = 0; i < n; ++i) {
                const uint32_t bits = uint32_t{planes[i]} | uint32_t{planes[n + i]} << 8 |
                                      uint32_t{planes[2 * n + i]} << 16 |
                                      uint32_t{planes[3 * n + i]} << 24;
                if (!put(first + i, std::bit_cast<T>(bits))) return false;
            }
        }
        return true;
    }

    // True when the frame has ended and every byte of it has been read.
    bool atEnd();

    // What went wrong once a read returned false ("" when the caller's put did).
    const std::string& error() const { return error_; }

  private:
    bool refill();
    bool fetch();  // the next piece of input, once the last one is used up

    Input next_;
    bool inputEnded_ = false;
    ZSTD_DCtx* context_;
    ZSTD_inBuffer input_{nullptr, 0, 0};
    std::vector<unsigned char> staged_;
    std::size_t stagedSize_ = 0;
    std::size_t readPosition_ = 0;
    bool frameEnded_ = false;
    std::string error_;
};

}  // namespace kesmir
