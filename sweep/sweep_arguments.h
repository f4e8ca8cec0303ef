// The command lines of "kesmir sweep": one table of its subcommands, each
// with the parser of its arguments. The same parsers read a command line and
// describe it for --help, the manual page and the completion.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "sweep/engines.h"

namespace CLI {
class App;
}

namespace kesmir {

// What a sweep's command line says; each subcommand fills its own part.
struct SweepArguments {
    std::string experiment;  // the experiment file, to start a sweep
    std::string dir;         // the sweep's folder
    EngineOptions engine;
    std::size_t run = 0;  // the run's number, for "run"
};

struct SweepSubcommand {
    const char* word;  // after "sweep"; "" to start a sweep
    void (*addArguments)(CLI::App&, SweepArguments&);
};

// In the order the help lists them.
std::span<const SweepSubcommand> sweepSubcommands();

// The subcommand `arguments` (those after "sweep") start with: the one of
// that word, or else the one that starts a sweep.
const SweepSubcommand& sweepSubcommandOf(std::span<const std::string> arguments);

// "sweep" or "sweep status": the words that name it after "kesmir".
std::string sweepInvocation(const SweepSubcommand& subcommand);

// The parser of one subcommand, writing into `into`; its description says
// what the subcommand does.
std::unique_ptr<CLI::App> sweepParser(const SweepSubcommand& subcommand, SweepArguments& into);

}  // namespace kesmir
