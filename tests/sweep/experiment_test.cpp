// Experiment files: lists and ranges expanded into the cross product in the
// order named, settings defaulted, and every error naming the file and line.
#include "sweep/experiment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kesmir {
namespace {

Experiment parsed(const std::string& text) {
    Experiment experiment;
    std::string error;
    EXPECT_TRUE(parseExperiment(text, "exp.txt", experiment, error)) << error;
    return experiment;
}

std::vector<std::string> valuesOf(const Experiment& experiment, const std::string& name) {
    const ExperimentAxis* axis = experiment.find(name);
    return axis == nullptr ? std::vector<std::string>{} : axis->values;
}

TEST(Experiment, ListsAndRangesExpandToTheirValues) {
    const Experiment e = parsed(
        "# a comment\n"
        "HRenergy = 60, 62.5..67.5 step 2.5 , +70   # mixed\n"
        "CNoffset = 10..30 step 10\n"
        "seed = 1..3, 7\n"
        "PSoffset = 1.1..1.4 step 0.1\n"
        "cycles = 50\n");
    EXPECT_EQ(valuesOf(e, "HRenergy"),
              (std::vector<std::string>{"60", "62.5", "65", "67.5", "70"}));
    EXPECT_EQ(valuesOf(e, "CNoffset"), (std::vector<std::string>{"10", "20", "30"}));
    EXPECT_EQ(valuesOf(e, "seed"), (std::vector<std::string>{"1", "2", "3", "7"}));
    // A decimal range reaches its end despite the step's rounding.
    EXPECT_EQ(valuesOf(e, "PSoffset"), (std::vector<std::string>{"1.1", "1.2", "1.3", "1.4"}));
    EXPECT_EQ(e.runCount(), 5u * 3 * 4 * 4);
    // Settings not named take their defaults and vary not.
    EXPECT_EQ(valuesOf(e, "threads"), std::vector<std::string>{"1"});
    EXPECT_EQ(valuesOf(e, "checkpoint-every"), std::vector<std::string>{"200"});
    EXPECT_EQ(e.find("traits-every"), nullptr);
}

TEST(Experiment, TheLastNamedListChangesFastest) {
    const Experiment e = parsed("seed = 1, 2\nHRenergy = 60, 70, 80\ncycles = 5\n");
    ASSERT_EQ(e.runCount(), 6u);
    std::vector<std::string> order;
    for (std::size_t run = 0; run < e.runCount(); ++run) {
        const auto choice = e.choiceOf(run);
        order.push_back(e.axes[0].values[choice[0]] + "/" + e.axes[1].values[choice[1]]);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"1/60", "1/70", "1/80", "2/60", "2/70", "2/80"}));
}

TEST(Experiment, ErrorsNameTheFileAndLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"cycles = 5\nHRenergi = 3\n", "exp.txt line 2: unknown name 'HRenergi'"},
        {"cycles = 5\n\nseed = 1\nseed = 2\n",
         "exp.txt line 4: seed is named again (first on line 3)"},
        {"cycles = 5\nHNoffset = 19.5\n", "exp.txt line 2: HNoffset: '19.5' is not a whole number"},
        {"cycles = 5\nseed = -1\n",
         "exp.txt line 2: seed: '-1' is not a whole number from 0 to 4294967295"},
        {"cycles = 5\nthreads = 0\n",
         "exp.txt line 2: threads: '0' is not a whole number from 1 to 256"},
        {"cycles = 5\nHRenergy = 60,,70\n", "exp.txt line 2: HRenergy: a value is missing"},
        {"cycles = 5\nCNoffset = 10..30 step 0\n", "exp.txt line 2: CNoffset: the step of"},
        {"cycles = 5\nHRenergy = 60..70 step -1\n", "exp.txt line 2: HRenergy: the step of"},
        {"cycles = 5\nseed = 9..3\n",
         "exp.txt line 2: seed: the range '9..3' ends below its start"},
        {"cycles = 5\nseed = 1..4000000000\n",
         "exp.txt line 2: seed: the range '1..4000000000' has more than"},
        {"cycles = 5\nseed = 1..1000\nHRenergy = 1..200\n",
         "exp.txt line 3: more than 100000 runs"},
        {"cycles = 5\njust words\n",
         "exp.txt line 2: 'just words' is not of the form NAME = VALUE"},
        {"seed = 1..3\n", "exp.txt: cycles is missing"},
    };
    for (const auto& [text, expected] : cases) {
        Experiment experiment;
        std::string error;
        EXPECT_FALSE(parseExperiment(text, "exp.txt", experiment, error)) << text;
        EXPECT_EQ(error.substr(0, expected.size()), expected) << text;
    }
}

}  // namespace
}  // namespace kesmir
