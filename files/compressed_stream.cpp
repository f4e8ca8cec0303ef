#include "files/compressed_stream.h"

#include <algorithm>
#include <utility>

namespace kesmir {

namespace {

constexpr std::size_t kStagingSize = std::size_t{1} << 20;

// The writer's level takes a window of 2^19 bytes; a frame that asks for more
// than 2^23 is none of ours, and its window is never allocated.
constexpr int kLargestWindowLog = 23;

}  // namespace

CompressedWriter::CompressedWriter(Output output, int level)
    : output_(std::move(output)),
      context_(ZSTD_createCCtx()),
      staged_(kStagingSize),
      compressed_(ZSTD_CStreamOutSize()) {
    if (context_ == nullptr)
        fail("zstd cannot start compressing");
    else
        ZSTD_CCtx_setParameter(context_, ZSTD_c_compressionLevel, level);
}

CompressedWriter::~CompressedWriter() {
    ZSTD_freeCCtx(context_);
}

void CompressedWriter::fail(std::string error) {
    if (error_.empty()) error_ = std::move(error);
}

unsigned char* CompressedWriter::reserve(std::size_t size) {
    if (stagedSize_ + size > staged_.size()) compress(ZSTD_e_continue);
    if (size > staged_.size()) staged_.resize(size);
    unsigned char* at = staged_.data() + stagedSize_;
    stagedSize_ += size;
    return at;
}

void CompressedWriter::bytes(const void* data, std::size_t size) {
    std::memcpy(reserve(size), data, size);
}

// Hands the staged bytes to zstd and passes on what comes out; with
// ZSTD_e_end, until the frame is complete.
void CompressedWriter::compress(ZSTD_EndDirective mode) {
    ZSTD_inBuffer input{staged_.data(), stagedSize_, 0};
    stagedSize_ = 0;
    if (!error_.empty() || context_ == nullptr) return;
    for (;;) {
        ZSTD_outBuffer out{compressed_.data(), compressed_.size(), 0};
        const std::size_t left = ZSTD_compressStream2(context_, &out, &input, mode);
        if (ZSTD_isError(left)) return fail(std::string("zstd: ") + ZSTD_getErrorName(left));
        if (out.pos > 0 &&
            !output_(std::string_view(reinterpret_cast<const char*>(out.dst), out.pos)))
            return fail("the output failed");
        const bool done = mode == ZSTD_e_end ? left == 0 : input.pos == input.size;
        if (done) return;
    }
}

bool CompressedWriter::finish(std::string& error) {
    compress(ZSTD_e_end);
    error = error_;
    return error_.empty();
}

CompressedReader::CompressedReader(Input input)
    : next_(std::move(input)), context_(ZSTD_createDCtx()), staged_(kStagingSize) {
    if (context_ == nullptr)
        error_ = "zstd cannot start decompressing";
    else
        ZSTD_DCtx_setParameter(context_, ZSTD_d_windowLogMax, kLargestWindowLog);
}

CompressedReader::~CompressedReader() {
    ZSTD_freeDCtx(context_);
}

bool CompressedReader::fetch() {
    while (input_.pos == input_.size && !inputEnded_) {
        std::string_view piece;
        if (!next_(piece, error_)) return false;
        inputEnded_ = piece.empty();
        input_ = {piece.data(), piece.size(), 0};
    }
    return true;
}

// Decompresses the next piece into the staging buffer. False at the end of
// the frame or on an error (then error_ says which).
bool CompressedReader::refill() {
    readPosition_ = 0;
    stagedSize_ = 0;
    if (!error_.empty() || frameEnded_) return false;
    while (stagedSize_ == 0) {
        if (!fetch()) return false;
        ZSTD_outBuffer out{staged_.data(), staged_.size(), 0};
        const std::size_t hint = ZSTD_decompressStream(context_, &out, &input_);
        if (ZSTD_isError(hint)) {
            error_ = std::string("zstd: ") + ZSTD_getErrorName(hint);
            return false;
        }
        stagedSize_ = out.pos;
        if (hint == 0) {
            frameEnded_ = true;
            break;
        }
        if (out.pos == 0 && input_.pos == input_.size && inputEnded_) {
            error_ = "the compressed data ends early";
            return false;
        }
    }
    return stagedSize_ > 0;
}

bool CompressedReader::bytes(void* data, std::size_t size) {
    auto* to = static_cast<unsigned char*>(data);
    while (size > 0) {
        if (readPosition_ == stagedSize_ && !refill()) {
            if (error_.empty()) error_ = "the compressed data ends early";
            return false;
        }
        const std::size_t n = std::min(size, stagedSize_ - readPosition_);
        std::memcpy(to, staged_.data() + readPosition_, n);
        readPosition_ += n;
        to += n;
        size -= n;
    }
    return true;
}

bool CompressedReader::atEnd() {
    if (!error_.empty() || readPosition_ < stagedSize_) return false;
    if (!frameEnded_ && refill()) return false;  // more data than was read
    return error_.empty() && frameEnded_ && fetch() && input_.pos == input_.size;
}

}  // namespace kesmir
