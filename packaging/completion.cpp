#include "packaging/completion.h"

#include <map>

namespace kesmir::packaging {

namespace {

// Option names, value names and parameter names are plain words; quoted for
// bash all the same, so that no later option can break the script.
std::string quoted(std::string_view text) {
    std::string result = "'";
    for (const char c : text)
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

std::string words(const std::vector<std::string>& list) {
    std::string text;
    for (const std::string& word : list)
        text += (text.empty() ? "" : " ") + word;
    return quoted(text);
}

}  // namespace

std::string bashCompletion(std::string_view scriptTemplate,
                           const std::vector<CommandText>& commands,
                           const std::vector<std::string>& parameterNames) {
    std::map<std::string, std::vector<std::string>> subcommands;
    std::string options = "declare -gA _kesmir_options=(\n";
    std::string values = "declare -gA _kesmir_values=(\n";
    std::string arguments = "declare -gA _kesmir_arguments=(\n";
    for (const CommandText& command : commands) {
        // Bash has no empty keys: the program's own options go under its name.
        const std::string key = command.name.empty() ? "kesmir" : command.name;
        if (!command.name.empty()) {
            // "sweep status" is the word "status" after the command "sweep".
            const auto space = command.name.rfind(' ');
            const std::string parent =
                space == std::string::npos ? "kesmir" : command.name.substr(0, space);
            subcommands[parent].push_back(command.name.substr(space + 1));
        }
        std::vector<std::string> all, positional;
        for (const OptionText& option : command.options) {
            if (option.names.empty()) positional.push_back(option.valueName);
            for (const std::string& name : option.names) {
                all.push_back(name);
                if (!option.valueName.empty())
                    values +=
                        "    [" + quoted(key + ":" + name) + "]=" + quoted(option.valueName) + "\n";
            }
        }
        options += "    [" + quoted(key) + "]=" + words(all) + "\n";
        if (!positional.empty())
            arguments += "    [" + quoted(key) + "]=" + words(positional) + "\n";
    }
    std::string variables = "declare -gA _kesmir_subcommands=(\n";
    for (const auto& [parent, children] : subcommands)
        variables += "    [" + quoted(parent) + "]=" + words(children) + "\n";
    variables += ")\n" + options + ")\n" + values + ")\n" + arguments +
                 ")\n_kesmir_parameters=" + words(parameterNames);
    std::string script(scriptTemplate);
    if (const auto at = script.find("@OPTIONS@"); at != std::string::npos)
        script.replace(at, 9, variables);
    return script;
}

}  // namespace kesmir::packaging
