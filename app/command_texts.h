// What the command line takes, told in words: the program's options, the
// sweep's subcommands and the parameters' ranges, each read from the table
// that also parses or checks it. --help and "kesmir sweep --help" print
// these; the manual page and the shell completion are made from them at
// build time, so none of them can drift from the parsers.
#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace kesmir {

struct OptionText {
    std::vector<std::string> names;  // e.g. {"-h", "--help"}; empty for a positional argument
    std::string valueName;           // e.g. "N", "FILE", "DIR"; empty for a flag
    std::string meaning;
    bool required = false;
};

struct CommandText {
    std::string name;  // the words after "kesmir": "" for the program itself, "sweep status"
    std::string meaning;
    std::vector<OptionText> options;  // in the order the command line takes them
};

// The options and arguments a parser takes.
CommandText describeCommand(const CLI::App& app, std::string name);

// The program's own options first, then each sweep subcommand's.
std::vector<CommandText> commandTexts();

// The model parameters, grouped by their type and range in the table's order:
// {"PMoffset HMoffset ...", "decimal numbers, -1000000..1000000"}.
struct ParameterGroupText {
    std::string names;
    std::string values;
};
std::vector<ParameterGroupText> parameterGroupTexts();

// "kesmir sweep EXPERIMENT --out DIR [--jobs N]": a required option or
// argument bare, an optional one in brackets, each option by its last name.
std::string synopsis(const CommandText& command);

// What --help prints, and "kesmir sweep --help".
std::string usageText();
std::string sweepUsageText();

}  // namespace kesmir
