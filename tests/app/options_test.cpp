// The command line: every number option's bounds in both spellings, flags
// that refuse a value, and the one-line errors.
#include "app/options.h"
#include "app/command_texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kesmir {
namespace {

Options parse(std::vector<std::string> arguments) {
    return parseOptions(arguments);
}

struct NumberOption {
    std::string name;
    std::string lowest, highest, belowLowest, aboveHighest;
    int64_t (*read)(const Options&);
};

const std::vector<NumberOption> kNumberOptions = {
    {"--cycles", "0", "2147483647", "-1", "2147483648",
     [](const Options& o) { return int64_t(o.cycles); }},
    {"--seed", "0", "4294967295", "-1", "4294967296",
     [](const Options& o) { return int64_t(o.seed); }},
    {"--delay", "0", "3600000", "-1", "3600001", [](const Options& o) { return int64_t(o.delay); }},
    {"--png-every", "0", "2147483647", "-1", "2147483648",
     [](const Options& o) { return int64_t(o.pngEvery); }},
    {"--threads", "1", "256", "0", "257", [](const Options& o) { return int64_t(o.threads); }},
    {"--traits-every", "0", "2147483647", "-1", "2147483648",
     [](const Options& o) { return int64_t(o.traitsEvery); }},
    {"--histograms-every", "0", "2147483647", "-1", "2147483648",
     [](const Options& o) { return int64_t(o.histogramsEvery); }},
};

TEST(Options, NumbersTakeTheirWholeRangeInBothSpellings) {
    for (const auto& option : kNumberOptions) {
        for (const std::string& value : {option.lowest, option.highest}) {
            const Options spaced = parse({option.name, value});
            const Options joined = parse({option.name + "=" + value});
            ASSERT_EQ(spaced.action, Options::Action::run) << option.name << " " << value;
            ASSERT_EQ(joined.action, Options::Action::run) << option.name << "=" << value;
            EXPECT_EQ(option.read(spaced), std::stoll(value)) << option.name;
            EXPECT_EQ(option.read(joined), std::stoll(value)) << option.name;
        }
    }
}

TEST(Options, NumbersOutsideTheRangeNameTheTrueRange) {
    for (const auto& option : kNumberOptions) {
        const std::string range = "from " + option.lowest + " to " + option.highest;
        for (const std::string& value :
             {option.belowLowest, option.aboveHighest, std::string("1.5"), std::string("x")}) {
            const Options result = parse({option.name + "=" + value});
            ASSERT_EQ(result.action, Options::Action::fail) << option.name << "=" << value;
            EXPECT_NE(result.error.find(range), std::string::npos) << result.error;
            EXPECT_EQ(result.error.find('\n'), std::string::npos) << result.error;
        }
        for (const auto& missingValue : {std::vector<std::string>{"--headless", option.name},
                                         std::vector<std::string>{option.name + "="}}) {
            const Options missing = parse(missingValue);
            ASSERT_EQ(missing.action, Options::Action::fail) << option.name;
            EXPECT_NE(missing.error.find(option.name), std::string::npos) << missing.error;
        }
    }
}

TEST(Options, FlagsAndTheLaterOfTwoValues) {
    const Options options = parse({"--headless", "--timings", "--seed", "7", "--seed=9"});
    ASSERT_EQ(options.action, Options::Action::run);
    EXPECT_TRUE(options.headless);
    EXPECT_TRUE(options.timings);
    EXPECT_EQ(options.seed, 9u);

    const Options defaults = parse({});
    EXPECT_FALSE(defaults.headless);
    EXPECT_EQ(defaults.cycles, -1);
    EXPECT_EQ(defaults.seed, 1u);
    EXPECT_EQ(defaults.delay, 3);
    EXPECT_EQ(defaults.threads, 0);  // the machine's cores

    EXPECT_EQ(parse({"--cycles", "3", "--help"}).action, Options::Action::help);
    EXPECT_EQ(parse({"-h"}).action, Options::Action::help);
    EXPECT_EQ(parse({"--version"}).action, Options::Action::version);
}

TEST(Options, RefusedWithOneLineNamingTheFault) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--headless=1"}, "--headless"},   {{"--help=x"}, "--help"},
        {{"--version=2"}, "--version"},     {{"--timings=no"}, "--timings"},
        {{"--frobnicate"}, "--frobnicate"}, {{"extra"}, "extra"},
    };
    for (const auto& [arguments, named] : cases) {
        const Options result = parse(arguments);
        ASSERT_EQ(result.action, Options::Action::fail) << arguments.front();
        EXPECT_NE(result.error.find(named), std::string::npos) << result.error;
        EXPECT_EQ(result.error.find('\n'), std::string::npos) << result.error;
    }
    EXPECT_EQ(parse({"-h=x"}).error, "option -h takes no value");
}

TEST(Options, HelpListsEveryOptionSubcommandAndRange) {
    const std::string help = usageText(), sweepHelp = sweepUsageText();
    for (const char* option : {"--headless", "--cycles N", "--seed S", "--delay MS", "--threads N",
                               "--timings", "--help", "--version"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
    for (const char* usage :
         {"kesmir sweep EXPERIMENT --out DIR [--jobs N] [--hosts FILE] [--slurm]\n",
          "kesmir sweep status DIR\n", "kesmir sweep collect DIR\n", "kesmir sweep run DIR N\n"}) {
        EXPECT_NE(help.find(usage), std::string::npos) << usage;
        EXPECT_NE(sweepHelp.find(usage), std::string::npos) << usage;
    }
    EXPECT_EQ(sweepHelp.find("--headless"), std::string::npos) << "the sweep's help is its own";
    // The parameters' ranges, grouped as the table holds them, for runs and sweeps alike.
    for (const std::string& text : {help, sweepHelp}) {
        EXPECT_NE(text.find("  PMoffset HMoffset CMoffset PSoffset HSoffset CSoffset PRenergy "
                            "HRenergy\n  CRenergy\n" +
                            std::string(30, ' ') + "decimal numbers, -1000000..1000000\n"),
                  std::string::npos)
            << text;
        EXPECT_NE(text.find("CAoffset\n" + std::string(30, ' ') +
                            "whole numbers, -1000000000..1000000000\n"),
                  std::string::npos)
            << text;
    }
}

}  // namespace
}  // namespace kesmir
