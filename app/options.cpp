#include "app/options.h"

#include <charconv>

namespace kesmir {

namespace {

template <class T>
bool parseNumber(const std::string& text, T lowest, T highest, T& value) {
    T parsed{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return false;
    if (parsed < lowest || parsed > highest) return false;
    value = parsed;
    return true;
}

Options failure(std::string message) {
    Options options;
    options.action = Options::Action::fail;
    options.error = std::move(message);
    return options;
}

}  // namespace

Options parseOptions(const std::vector<std::string>& arguments) {
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::string value;
        bool hasValue = false;
        if (const auto equals = name.find('=');
            name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
            hasValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasValue) return true;
            if (i + 1 >= arguments.size()) return false;
            value = arguments[++i];
            return true;
        };
        auto flag = [&](bool& target) {
            if (hasValue) return false;
            target = true;
            return true;
        };

        if (name == "--help" || name == "-h") {
            options.action = Options::Action::help;
            return options;
        }
        if (name == "--version") {
            options.action = Options::Action::version;
            return options;
        }
        if (name == "--headless") {
            if (!flag(options.headless)) return failure("option --headless takes no value");
        } else if (name == "--timings") {
            if (!flag(options.timings)) return failure("option --timings takes no value");
        } else if (name == "--cycles") {
            if (!takeValue()) return failure("option --cycles needs a number of cycles");
            if (!parseNumber<int64_t>(value, 0, INT32_MAX, options.cycles))
                return failure("--cycles: '" + value +
                               "' is not a number of cycles from 0 to 2147483647");
        } else if (name == "--seed") {
            if (!takeValue()) return failure("option --seed needs a value");
            if (!parseNumber<uint32_t>(value, 0, UINT32_MAX, options.seed))
                return failure("--seed: '" + value +
                               "' is not a whole number from 0 to 4294967295");
        } else if (name == "--delay") {
            if (!takeValue()) return failure("option --delay needs a number of milliseconds");
            if (!parseNumber<int32_t>(value, 0, 3600000, options.delay))
                return failure("--delay: '" + value +
                               "' is not a number of milliseconds from 0 to 3600000");
        } else {
            return failure("unknown option '" + arguments[i] + "' (see kesmir --help)");
        }
    }
    return options;
}

std::string usageText() {
    return "Usage: kesmir [options]\n"
           "An evolutionary ecosystem simulator: plants, herbivores and carnivores on a\n"
           "3500 x 3500 torus world. Files are read and written in the current directory.\n"
           "\n"
           "Options:\n"
           "  --headless      run without a window (status lines on the console only)\n"
           "  --cycles N      end the run with exit code 0 after N cycles\n"
           "  --seed S        start the random generator at S (0..4294967295, default 1)\n"
           "  --delay MS      pause MS milliseconds before every cycle and frame (default 3)\n"
           "  --timings       print the time spent in each step of the cycle at exit\n"
           "  --help          show this text\n"
           "  --version       show the version\n";
}

std::string versionText() {
    return "Version 1.07.7\n";
}

}  // namespace kesmir
