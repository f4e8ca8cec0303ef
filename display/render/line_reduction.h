// A long line as a chart draws it: at most about two points per pixel
// column, however long the run, with every column's lowest and highest value
// kept, so the drawn line covers exactly what the full one would.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace kesmir {

// The indexes of the entries of a line of `count` entries (value(i) the i-th
// value) that are drawn `columns` wide. With no more than two entries per
// column, every entry; otherwise the entries are split into `columns` runs
// of (nearly) equal length, and each run gives its lowest and its highest
// entry, in the order they came (one when they are the same entry); the
// first and the last entry are always kept, so the line spans the run and
// ends at the latest value.
template <class Value>
std::vector<std::size_t> keptEntries(std::size_t count, int columns, Value value) {
    std::vector<std::size_t> kept;
    const std::size_t runs = std::size_t(std::max(columns, 1));
    if (count <= 2 * runs) {
        for (std::size_t i = 0; i < count; ++i)
            kept.push_back(i);
        return kept;
    }
    kept.reserve(2 * runs + 2);
    for (std::size_t run = 0; run < runs; ++run) {
        const std::size_t begin = run * count / runs;
        const std::size_t end = (run + 1) * count / runs;
        std::size_t lowest = begin, highest = begin;
        auto low = value(begin), high = low;
        for (std::size_t i = begin + 1; i < end; ++i) {
            const auto v = value(i);
            if (v < low) low = v, lowest = i;
            if (v > high) high = v, highest = i;
        }
        const std::size_t earlier = std::min(lowest, highest);
        const std::size_t later = std::max(lowest, highest);
        if (run == 0 && earlier != 0) kept.push_back(0);
        kept.push_back(earlier);
        if (later != earlier) kept.push_back(later);
        if (run + 1 == runs && later != count - 1) kept.push_back(count - 1);
    }
    return kept;
}

}  // namespace kesmir
