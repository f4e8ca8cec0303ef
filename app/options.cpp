#include "app/options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>

namespace kesmir {

namespace {

constexpr int32_t kMaxThreads = 256;

template <class T>
bool parseNumber(const std::string& text, T lowest, T highest, T& value) {
    T parsed{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return false;
    if (parsed < lowest || parsed > highest) return false;
    value = parsed;
    return true;
}

// A whole-number option with its range; the message names the range in
// words, e.g. "a number of cycles from 0 to 2147483647".
template <class T>
void addNumber(CLI::App& app, const std::string& name, const std::string& valueName,
               const std::string& meaning, const std::string& what, T lowest, T highest,
               T& target) {
    // Each value is checked as it comes; given twice, the later one holds.
    app.add_option(name)
        ->description(meaning + " (" + std::to_string(lowest) + ".." + std::to_string(highest) +
                      ")")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->each([name, what, lowest, highest, &target](const std::string& text) {
            if (!parseNumber<T>(text, lowest, highest, target))
                throw CLI::ValidationError("'" + text + "' is not " + what + " from " +
                                           std::to_string(lowest) + " to " +
                                           std::to_string(highest));
        })
        ->type_name(valueName);
}

// The parser for one parse: every option writes into `options`.
struct Parser {
    CLI::App app{"", "kesmir"};
    std::vector<std::string> flags;  // options that take no value
    bool listedOnly = false;         // help and version: seen before parsing, listed here
    CLI::Option* set = nullptr;
    CLI::Option* params = nullptr;

    explicit Parser(Options& options) {
        app.description(
            "An evolutionary ecosystem simulator: plants, herbivores and carnivores on a torus "
            "world of 3500 by 3500 cells. Files are read and written in the current directory.");
        app.set_help_flag();  // help and version are plain flags here, handled after parsing
        app.allow_extras();   // unknown options are reported in our own words
        flag("--help,-h", "show this text and exit", listedOnly);
        flag("--version", "show the version and exit", listedOnly);
        flag("--headless", "run without a window (status lines on the console only)",
             options.headless);
        addNumber<int64_t>(app, "--cycles", "N", "end the run with exit code 0 after N cycles",
                           "a number of cycles", 0, INT32_MAX, options.cycles);
        addNumber<uint32_t>(app, "--seed", "S", "start the random generator at S, default 1",
                            "a whole number", 0, UINT32_MAX, options.seed);
        addNumber<int32_t>(app, "--delay", "MS",
                           "sleep MS milliseconds before every cycle and frame, default 3",
                           "a number of milliseconds", 0, 3600000, options.delay);
        addNumber<int32_t>(app, "--threads", "N",
                           "run the cycle's steps on N threads, default the machine's cores",
                           "a number of threads", 1, kMaxThreads, options.threads);
        flag("--timings", "print the time spent in each step of the cycle at exit",
             options.timings);
        set =
            app.add_option("--set")
                ->description("set a model parameter, e.g. HRenergy=70 (repeatable; ranges below)")
                ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
                ->type_name("NAME=VALUE");
        params = app.add_option("--params")
                     ->description("set the parameters a file lists as NAME = VALUE lines")
                     ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
                     ->type_name("FILE");
        flag("--print-params", "print every parameter as a --params file and exit",
             options.printParameters);
        addNumber<int64_t>(app, "--checkpoint-every", "N",
                           "write checkpoint.kes every N cycles (also on the K key)",
                           "a number of cycles", 1, INT32_MAX, options.checkpointEvery);
        app.add_option("--resume", options.resume)
            ->description("go on from a checkpoint instead of seeding a new world")
            ->type_name("FILE");
        addNumber<int32_t>(app, "--png-every", "N",
                           "save the world as world-CYCLE.png every N cycles, default 0: never",
                           "a number of cycles", 0, INT32_MAX, options.pngEvery);
        addNumber<int32_t>(app, "--traits-every", "N",
                           "count every gene field of the whole population every N cycles, for "
                           "traits.csv and the Evolution window, default " +
                               std::to_string(kDefaultTraitsEvery) + ", 0: never",
                           "a number of cycles", 0, INT32_MAX, options.traitsEvery);
        addNumber<int32_t>(app, "--histograms-every", "N",
                           "write every gene field's counts to histograms.csv every N cycles, "
                           "default 0: never",
                           "a number of cycles", 0, INT32_MAX, options.histogramsEvery);
    }

    // --set and --params in the order given, --set checked as it goes.
    bool collectParameters(Options& options, std::string& error) const {
        std::size_t nextSet = 0, nextParams = 0;
        for (const CLI::Option* option : app.parse_order()) {
            if (option == params) {
                options.parameters.push_back(params->results().at(nextParams++));
            } else if (option == set) {
                ParameterSetting setting{};
                if (!parseParameterSetting(set->results().at(nextSet++), setting, error)) {
                    error = "--set: " + error;
                    return false;
                }
                options.parameters.push_back(setting);
            }
        }
        return true;
    }

    void flag(const std::string& names, const std::string& meaning, bool& target) {
        app.add_flag(names, target, meaning);
        for (const auto& name : CLI::detail::split(names, ','))
            flags.push_back(name);
    }

    bool isFlag(const std::string& name) const {
        return std::find(flags.begin(), flags.end(), name) != flags.end();
    }
};

Options action(Options::Action what) {
    Options options;
    options.action = what;
    return options;
}

Options failure(std::string message) {
    Options options = action(Options::Action::fail);
    options.error = std::move(message);
    return options;
}

// CLI11 says "--cycles: 1 required N missing"; name what is missing instead.
std::string missingValueMessage(const CLI::App& app, const std::vector<std::string>& arguments) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool emptyAfterEquals = !argument.empty() && argument.back() == '=';
        if (!emptyAfterEquals && i + 1 != arguments.size()) continue;
        const std::string name =
            emptyAfterEquals ? argument.substr(0, argument.size() - 1) : argument;
        try {
            const CLI::Option* option = app.get_option(name);
            return "option " + name + " needs a value (" + option->get_type_name() + ")";
        } catch (const CLI::OptionNotFound&) {
        }
    }
    return {};
}

}  // namespace

Options parseOptions(const std::vector<std::string>& arguments) {
    Options options;
    Parser parser(options);

    // A flag given a value ("--headless=1", "--help=x", "-h=x") is refused outright.
    for (const auto& argument : arguments) {
        const auto equals = argument.find('=');
        if (argument.rfind("-", 0) == 0 && equals != std::string::npos &&
            parser.isFlag(argument.substr(0, equals)))
            return failure("option " + argument.substr(0, equals) + " takes no value");
    }

    // Help and version win over anything else on the line.
    for (const auto& argument : arguments) {
        if (argument == "--help" || argument == "-h") return action(Options::Action::help);
        if (argument == "--version") return action(Options::Action::version);
    }

    // CLI11 wants the arguments last-first.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        parser.app.parse(reversed);
    } catch (const CLI::ArgumentMismatch& error) {
        const std::string message = missingValueMessage(parser.app, arguments);
        return failure(message.empty() ? error.what() : message);
    } catch (const CLI::ParseError& error) {
        return failure(error.what());
    }
    const std::vector<std::string> extras = parser.app.remaining();
    if (!extras.empty()) {
        const std::string& first = extras.front();
        if (first.rfind("-", 0) == 0)
            return failure("unknown option '" + first + "' (see kesmir --help)");
        return failure("unexpected argument '" + first + "' (see kesmir --help)");
    }
    if (!options.resume.empty() && parser.app.count("--seed") > 0)
        return failure(
            "--seed cannot be given with --resume: the run goes on with the generator's "
            "state in the checkpoint");
    if (std::string error; !parser.collectParameters(options, error)) return failure(error);
    return options;
}

std::string versionText() {
    return "Version " KESMIR_VERSION "\n";
}

CommandText programCommandText() {
    Options options;
    Parser parser(options);
    return describeCommand(parser.app, "");
}

}  // namespace kesmir
