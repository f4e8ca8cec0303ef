// "summary.png" of a sweep: for each parameter combination, the three
// populations and the three arms races over cycles, each as the mean over
// the seeds with a band from the lowest to the highest. The data is plain;
// the drawing (Qt Charts, rendered without a window) is in the .cpp, part
// of the window's library.
#pragma once

#include <string>
#include <vector>

namespace kesmir {

struct SummarySeries {
    std::string name;
    int colour[3] = {0, 0, 0};
    bool dashed = false;  // the trait that overcomes a defence
    std::vector<double> cycles, mean, lowest, highest;
};

struct SummaryPanel {
    std::string title;                       // the combination, e.g. "HRenergy = 70"
    std::vector<SummarySeries> populations;  // plants, herbivores, carnivores
    std::vector<SummarySeries> races;        // pairs; empty without trait statistics
};

struct SummaryPicture {
    std::vector<SummaryPanel> panels;
    std::string note;  // e.g. that only the first combinations are shown
};

// Draws the picture and writes it as a PNG through a temporary file.
bool drawSummaryPicture(const SummaryPicture& picture, const std::string& path, std::string& error);

}  // namespace kesmir
