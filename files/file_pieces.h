// A byte range of an open file, read piece by piece into one buffer of its
// own: a reader of a file of any size holds no more than one piece of it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kesmir {

class FilePieces {
  public:
    // Bytes [begin, end) of `fd`, which stays the caller's to close.
    FilePieces(int fd, std::uint64_t begin, std::uint64_t end);

    // The next piece, empty once the range is read. False when the read
    // fails or the file ends before the range does; `error` then says which.
    bool next(std::string_view& piece, std::string& error);

  private:
    int fd_;
    std::uint64_t at_;
    std::uint64_t end_;
    std::vector<char> buffer_;
};

// Exactly `size` bytes of `fd` from `offset` into `into`; false, with
// `error` set, as FilePieces::next.
bool readFileBytes(int fd, std::uint64_t offset, void* into, std::size_t size, std::string& error);

}  // namespace kesmir
