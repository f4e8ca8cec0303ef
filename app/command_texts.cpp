#include "app/command_texts.h"

#include <CLI/CLI.hpp>

#include "app/options.h"
#include "sweep/sweep_arguments.h"
#include "world/named_params.h"

namespace kesmir {

namespace {

// Where the meanings start in the option lists, and the width the text is
// wrapped to.
constexpr std::size_t kMeaningColumn = 30;
constexpr std::size_t kWidth = 80;

// `lead`, then `text` wrapped at spaces to kWidth, every line after the
// lead's own indented to `column`.
std::string wrapped(std::string lead, std::size_t column, const std::string& text) {
    const std::size_t lastBreak = lead.rfind('\n');
    std::size_t lineLength =
        lastBreak == std::string::npos ? lead.size() : lead.size() - lastBreak - 1;
    bool lineEmpty = true;  // of the text's words
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find(' ', at);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(at, end - at);
        if (!lineEmpty && lineLength + 1 + word.size() > kWidth) {
            lead += "\n" + std::string(column, ' ');
            lineLength = column;
            lineEmpty = true;
        }
        if (!lineEmpty) {
            lead += ' ';
            ++lineLength;
        }
        lead += word;
        lineLength += word.size();
        lineEmpty = false;
        at = end + 1;
    }
    return lead + "\n";
}

// "  --cycles N                  end the run ...", the meaning wrapped in its
// column (on a line of its own when the names reach it).
std::string optionLine(const OptionText& option) {
    std::string names = "  ";
    for (const std::string& name : option.names)
        names += (names.size() > 2 ? "," : "") + name;
    if (!option.valueName.empty()) names += (option.names.empty() ? "" : " ") + option.valueName;
    if (names.size() < kMeaningColumn)
        names.resize(kMeaningColumn, ' ');
    else
        names += "\n" + std::string(kMeaningColumn, ' ');
    return wrapped(names, kMeaningColumn, option.meaning);
}

std::string optionLines(const std::vector<OptionText>& options) {
    std::string text;
    for (const OptionText& option : options)
        text += optionLine(option);
    return text;
}

// "Usage: kesmir ...", a line per command, the program's own as "[OPTIONS]".
std::string usageLines(const std::vector<CommandText>& commands) {
    std::string text;
    for (const CommandText& command : commands)
        text += (text.empty() ? "Usage: " : "       ") +
                (command.name.empty() ? "kesmir [OPTIONS]" : synopsis(command)) + "\n";
    return text;
}

// Each subcommand: its synopsis, what it does, its options and arguments.
std::string subcommandSections(const std::vector<CommandText>& commands) {
    std::string text;
    for (const CommandText& command : commands) {
        if (command.name.empty()) continue;
        text += "\n" + synopsis(command) + "\n" + wrapped("  ", 2, command.meaning) +
                optionLines(command.options);
    }
    return text;
}

std::string parameterRangesText() {
    std::string text = "\nModel parameters, for --set, --params and experiment files:\n";
    for (const ParameterGroupText& group : parameterGroupTexts())
        text +=
            wrapped("  ", 2, group.names) + std::string(kMeaningColumn, ' ') + group.values + "\n";
    return text;
}

std::vector<CommandText> sweepCommandTexts() {
    std::vector<CommandText> commands = commandTexts();
    commands.erase(commands.begin());
    return commands;
}

}  // namespace

CommandText describeCommand(const CLI::App& app, std::string name) {
    CommandText command{std::move(name), app.get_description(), {}};
    for (const CLI::Option* option : app.get_options()) {
        OptionText text{
            {}, option->get_type_name(), option->get_description(), option->get_required()};
        for (const std::string& name : option->get_snames())
            text.names.push_back("-" + name);
        for (const std::string& name : option->get_lnames())
            text.names.push_back("--" + name);
        command.options.push_back(std::move(text));
    }
    return command;
}

std::vector<CommandText> commandTexts() {
    std::vector<CommandText> commands{programCommandText()};
    for (const SweepSubcommand& subcommand : sweepSubcommands()) {
        SweepArguments unused;
        commands.push_back(
            describeCommand(*sweepParser(subcommand, unused), sweepInvocation(subcommand)));
    }
    return commands;
}

std::vector<ParameterGroupText> parameterGroupTexts() {
    std::vector<ParameterGroupText> groups;
    const auto parameters = namedParameters();
    for (std::size_t first = 0; first < parameters.size();) {
        const NamedParameter& head = parameters[first];
        std::size_t end = first;
        std::string names;
        for (; end < parameters.size(); ++end) {
            const NamedParameter& p = parameters[end];
            if (p.global.index() != head.global.index() || p.lowest != head.lowest ||
                p.highest != head.highest)
                break;
            names += std::string(names.empty() ? "" : " ") + p.name;
        }
        const bool decimal = std::holds_alternative<RelaxedAtomic<float>*>(head.global);
        groups.push_back(
            {names, (decimal ? "decimal numbers, " : "whole numbers, ") + boundsText(head)});
        first = end;
    }
    return groups;
}

std::string synopsis(const CommandText& command) {
    std::string text = "kesmir" + (command.name.empty() ? "" : " " + command.name);
    for (const OptionText& option : command.options) {
        std::string part = option.names.empty() ? option.valueName : option.names.back();
        if (!option.names.empty() && !option.valueName.empty()) part += " " + option.valueName;
        text += " " + (option.required ? part : "[" + part + "]");
    }
    return text;
}

std::string usageText() {
    const std::vector<CommandText> commands = commandTexts();
    const CommandText& program = commands.front();
    return usageLines(commands) + wrapped("", 0, program.meaning) + "\nOptions:\n" +
           optionLines(program.options) + subcommandSections(commands) + parameterRangesText();
}

std::string sweepUsageText() {
    const std::vector<CommandText> commands = sweepCommandTexts();
    return usageLines(commands) + subcommandSections(commands) + parameterRangesText();
}

}  // namespace kesmir
