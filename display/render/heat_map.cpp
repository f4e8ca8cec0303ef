#include "display/render/heat_map.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace kesmir {

namespace {

int64_t middle(const DistributionColumn& c) {
    return (int64_t{c.firstCycle} + c.lastCycle) / 2;
}

// The colour a share takes: white blended towards the darkened colour, in
// 256 steps of the share's square root.
class Shades {
  public:
    explicit Shades(Rgb colour) {
        constexpr double kDarkest = 0.6;  // the full colour is too light to read as "all"
        for (int step = 0; step < kSteps; ++step) {
            const double t = double(step) / (kSteps - 1);
            const auto blend = [t](int32_t channel) {
                return int32_t(std::lround(255.0 * (1 - t) + kDarkest * channel * t));
            };
            pixels_[std::size_t(step)] =
                pixelOf(Rgb{blend(colour.red), blend(colour.green), blend(colour.blue)});
        }
    }

    uint32_t operator()(double share) const {
        const double t = std::sqrt(std::min(1.0, std::max(0.0, share)));
        return pixels_[std::size_t(t * (kSteps - 1) + 0.5)];
    }

  private:
    static constexpr int kSteps = 256;
    std::array<uint32_t, kSteps> pixels_{};
};

}  // namespace

std::vector<double> columnShares(const FieldDistribution& d, Kind kind, int width) {
    std::vector<double> shares;
    const std::size_t columns = d.columns.size();
    if (columns == 0 || width <= 0) return shares;
    const std::size_t values = std::size_t(d.values);
    shares.assign(std::size_t(width) * values, 0.0);
    const int64_t first = d.columns.front().firstCycle;
    const int64_t span = int64_t{d.columns.back().lastCycle} - first + 1;
    std::vector<uint64_t> held(values);
    std::size_t next = 0;  // the first column not yet past
    for (int x = 0; x < width; ++x) {
        const int64_t low = first + span * x / width;
        const int64_t high = first + span * (x + 1) / width;
        std::size_t begin = next;
        while (next < columns && middle(d.columns[next]) < high)
            ++next;
        std::size_t end = next;
        if (begin == end) {  // no column in this pixel's cycles: the nearest one
            const int64_t centre = (low + high) / 2;
            begin =
                next == columns || (next > 0 && std::llabs(middle(d.columns[next - 1]) - centre) <=
                                                    std::llabs(middle(d.columns[next]) - centre))
                    ? next - 1
                    : next;
            end = begin + 1;
        }
        std::fill(held.begin(), held.end(), 0);
        uint64_t organisms = 0;
        for (std::size_t c = begin; c < end; ++c) {
            organisms += d.columns[c].organisms[std::size_t(kind)];
            for (std::size_t v = 0; v < values; ++v)
                held[v] += d.count(c, int(v));
        }
        if (organisms == 0) continue;
        for (std::size_t v = 0; v < values; ++v)
            shares[std::size_t(x) * values + v] = double(held[v]) / double(organisms);
    }
    return shares;
}

void drawHeatMap(const std::vector<double>& shares, int values, uint32_t* pixels, int width,
                 int height, int stride, Rgb colour) {
    const Shades shade(colour);
    std::vector<uint32_t> cells(std::size_t(width) * std::size_t(values), shade(0));
    for (std::size_t at = 0; at < std::min(cells.size(), shares.size()); ++at)
        cells[at] = shade(shares[at]);
    for (int y = 0; y < height; ++y) {
        // The band of rows each value takes, 0 at the bottom.
        const int v = std::min(values - 1, (height - 1 - y) * values / height);
        uint32_t* row = pixels + std::size_t(y) * std::size_t(stride);
        for (int x = 0; x < width; ++x)
            row[x] = cells[std::size_t(x) * std::size_t(values) + std::size_t(v)];
    }
}

}  // namespace kesmir
