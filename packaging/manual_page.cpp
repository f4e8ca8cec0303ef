#include "packaging/manual_page.h"

#include <cctype>

#include "packaging/markdown_table.h"
#include "packaging/troff.h"

namespace kesmir::packaging {

namespace {

// The README's tables the page shows, by their heading rows.
constexpr std::string_view kKeysHeading = "| Key | Action |";
constexpr std::string_view kFilesHeading = "| File | Written | Read | Format |";

// "\ \fIN\fR" after an option that takes a value, "" after a flag; the
// space never breaks, so the synopsis keeps "[--params FILE]" on one line.
std::string valuePart(const OptionText& option) {
    return option.valueName.empty() ? "" : "\\ \\fI" + troffText(option.valueName) + "\\fR";
}

// "\fB\-\-out\fR\ \fIDIR\fR", or a positional argument's "\fIDIR\fR".
std::string optionTag(const OptionText& option) {
    if (option.names.empty()) return "\\fI" + troffText(option.valueName) + "\\fR";
    return troffOptionNames(option.names) + valuePart(option);
}

std::string invocation(const CommandText& command) {
    return command.name.empty() ? "kesmir" : "kesmir " + command.name;
}

// As --help's synopsis: a required option or argument bare, an optional one
// in brackets, by its last name.
std::string synopsis(const std::vector<CommandText>& commands) {
    std::string text;
    for (const CommandText& command : commands) {
        text += ".br\n\\fB" + invocation(command) + "\\fR";
        for (const OptionText& option : command.options) {
            OptionText shown = option;
            if (!shown.names.empty()) shown.names = {option.names.back()};
            text += "\n" + (option.required ? optionTag(shown) : "[" + optionTag(shown) + "]");
        }
        text += "\n";
    }
    return text;
}

std::string taggedParagraph(const std::string& tag, const std::string& body) {
    return ".TP\n" + tag + "\n" + body + "\n";
}

std::string optionList(const std::vector<OptionText>& options) {
    std::string text;
    for (const OptionText& option : options)
        text += taggedParagraph(optionTag(option), troffText(option.meaning));
    return text;
}

std::string options(const std::vector<CommandText>& commands) {
    std::string text = optionList(commands.front().options);
    for (std::size_t i = 1; i < commands.size(); ++i) {
        text += ".SS \"" + invocation(commands[i]) + "\"\n";
        if (!commands[i].meaning.empty()) text += troffText(commands[i].meaning) + "\n";
        text += optionList(commands[i].options);
    }
    return text;
}

std::string parameters(const std::vector<ParameterGroupText>& groups) {
    std::string text;
    for (const ParameterGroupText& group : groups)
        text += taggedParagraph("\\fB" + troffText(group.names) + "\\fR", troffText(group.values));
    return text;
}

std::string keys(const std::vector<TableRow>& rows) {
    std::string text;
    for (const TableRow& row : rows)
        text += taggedParagraph("\\fB" + troffText(row.at(0)) + "\\fR", troffText(row.at(1)));
    return text;
}

std::string files(const std::vector<TableRow>& rows) {
    std::string text;
    for (const TableRow& row : rows)
        text += taggedParagraph(troffText(row.at(0)), "Written: " + troffText(row.at(1)) +
                                                          "; read: " + troffText(row.at(2)) +
                                                          ".\n.br\n" + troffText(row.at(3)));
    return text;
}

// Each mark stands on a line of its own, which ends where the text ends.
void fillMark(std::string& page, std::string_view mark, std::string text) {
    if (text.ends_with('\n')) text.pop_back();
    for (auto at = page.find(mark); at != std::string::npos; at = page.find(mark, at + text.size()))
        page.replace(at, mark.size(), text);
}

// The first "@NAME@" in `text` (capitals and underscores), or "".
std::string firstMark(const std::string& text) {
    for (auto at = text.find('@'); at != std::string::npos; at = text.find('@', at + 1)) {
        auto end = at + 1;
        while (end < text.size() &&
               (std::isupper(static_cast<unsigned char>(text[end])) || text[end] == '_'))
            ++end;
        if (end > at + 1 && end < text.size() && text[end] == '@')
            return text.substr(at, end - at + 1);
    }
    return {};
}

// The README's table under `heading`, each row at least `columns` cells wide.
bool readmeTable(std::string_view readme, std::string_view heading, std::size_t columns,
                 std::vector<TableRow>& rows, std::string& error) {
    rows = markdownTable(readme, heading);
    if (rows.empty()) {
        error = "the README has no table headed \"" + std::string(heading) + "\"";
        return false;
    }
    for (const TableRow& row : rows) {
        if (row.size() < columns) {
            error = "a row of the README's table \"" + std::string(heading) + "\" has " +
                    std::to_string(row.size()) + " cells, not " + std::to_string(columns);
            return false;
        }
    }
    return true;
}

}  // namespace

bool manualPage(std::string_view pageTemplate, std::string_view readme,
                const std::vector<CommandText>& commands,
                const std::vector<ParameterGroupText>& parameterGroups, const GivenMarks& given,
                std::string& page, std::string& error) {
    std::vector<TableRow> keyRows, fileRows;
    if (!readmeTable(readme, kKeysHeading, 2, keyRows, error) ||
        !readmeTable(readme, kFilesHeading, 4, fileRows, error))
        return false;
    page = pageTemplate;
    for (const auto& [mark, text] : given)
        fillMark(page, "@" + mark + "@", text);
    fillMark(page, "@SYNOPSIS@", synopsis(commands));
    fillMark(page, "@OPTIONS@", options(commands));
    fillMark(page, "@PARAMETERS@", parameters(parameterGroups));
    fillMark(page, "@KEYS@", keys(keyRows));
    fillMark(page, "@FILES@", files(fileRows));
    if (const std::string mark = firstMark(page); !mark.empty()) {
        error = "the template's mark " + mark + " was not filled";
        return false;
    }
    return true;
}

}  // namespace kesmir::packaging
