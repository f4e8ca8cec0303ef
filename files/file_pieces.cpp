#include "files/file_pieces.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kesmir {

namespace {

constexpr std::size_t kPieceSize = std::size_t{1} << 20;

}  // namespace

bool readFileBytes(int fd, std::uint64_t offset, void* into, std::size_t size, std::string& error) {
    auto* to = static_cast<char*>(into);
    while (size > 0) {
        const ssize_t got = ::pread(fd, to, size, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = std::string("it cannot be read (") + std::strerror(errno) + ")";
            return false;
        }
        if (got == 0) {
            error = "it was cut short while being read";
            return false;
        }
        to += got;
        offset += static_cast<std::uint64_t>(got);
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

FilePieces::FilePieces(int fd, std::uint64_t begin, std::uint64_t end)
    : fd_(fd), at_(begin), end_(std::max(begin, end)) {}

bool FilePieces::next(std::string_view& piece, std::string& error) {
    const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(end_ - at_, kPieceSize));
    if (buffer_.size() < size) buffer_.resize(kPieceSize);
    if (!readFileBytes(fd_, at_, buffer_.data(), size, error)) return false;
    at_ += size;
    piece = std::string_view(buffer_.data(), size);
    return true;
}

}  // namespace kesmir
