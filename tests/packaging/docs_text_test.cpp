// The manual page and the completion, made from the option table and the
// README's tables: what is read from Markdown, how it is escaped for troff,
// and that every option --help lists reaches both.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_texts.h"
#include "packaging/completion.h"
#include "packaging/manual_page.h"
#include "packaging/markdown_table.h"
#include "packaging/troff.h"

namespace kesmir::packaging {
namespace {

constexpr const char* kReadme =
    "Some text | with a bar\n"
    "\n"
    "| Key | Action |\n"
    "|---|---|\n"
    "| Q | quit at once |\n"
    "|  +  | zoom in, `a|b` and a \\| bar |\n"
    "\n"
    "| File | Written | Read | Format |\n"
    "|---|---|---|---|\n"
    "| `dt.dat` | every cycle | never | `\"%d\\n\"` |\n";

TEST(MarkdownTable, ReadsTheRowsUnderItsHeadingOnly) {
    const std::vector<TableRow> keys = markdownTable(kReadme, "| Key | Action |");
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0], (TableRow{"Q", "quit at once"}));
    EXPECT_EQ(keys[1], (TableRow{"+", "zoom in, `a|b` and a | bar"}));
    EXPECT_EQ(markdownTable(kReadme, "| File | Written | Read | Format |").size(), 1u);
    EXPECT_TRUE(markdownTable(kReadme, "| Option | Meaning |").empty());
}

TEST(Troff, OptionsAndCodeKeepTheirDashesAndBackslashes) {
    EXPECT_EQ(troffText("see `--cycles N` and --params, not world-CYCLE.png (-x)"),
              "see \\fB\\-\\-cycles N\\fR and \\-\\-params, not world-CYCLE.png (\\-x)");
    EXPECT_EQ(troffText("`\"%d\\n\"`"), "\\fB\"%d\\en\"\\fR");
    EXPECT_EQ(troffText(".hidden"), "\\&.hidden");
    EXPECT_EQ(troffText("'quoted'"), "\\&'quoted'");
    EXPECT_EQ(troffOptionNames({"-h", "--help"}), "\\fB\\-h\\fR, \\fB\\-\\-help\\fR");
}

const std::vector<CommandText> kCommands = {
    {"", "", {{{"--cycles"}, "N", "stop after N cycles"}, {{"-q", "--headless"}, "", "no window"}}},
    {"sweep",
     "run many",
     {{{}, "EXPERIMENT", "the file", true},
      {{"--out"}, "DIR", "the folder", true},
      {{"--runs"}, "FILE", "the runs' file"}}},
    {"sweep status", "count them", {{{}, "DIR", "the folder", true}}},
};
const std::vector<ParameterGroupText> kParameters = {
    {"PMoffset HMoffset", "decimal numbers, -1..1"}};

TEST(ManualPage, FillsEveryMarkFromTheOptionsAndTheReadme) {
    std::string page, error;
    ASSERT_TRUE(manualPage("@VERSION@\n@SYNOPSIS@\n@OPTIONS@\n@PARAMETERS@\n@KEYS@\n@FILES@\n",
                           kReadme, kCommands, kParameters, {{"VERSION", "9.9"}}, page, error))
        << error;
    EXPECT_EQ(page,
              "9.9\n"
              ".br\n\\fBkesmir\\fR\n[\\fB\\-\\-cycles\\fR\\ \\fIN\\fR]\n[\\fB\\-\\-headless\\fR]\n"
              ".br\n\\fBkesmir sweep\\fR\n\\fIEXPERIMENT\\fR\n\\fB\\-\\-out\\fR\\ \\fIDIR\\fR\n"
              "[\\fB\\-\\-runs\\fR\\ \\fIFILE\\fR]\n"
              ".br\n\\fBkesmir sweep status\\fR\n\\fIDIR\\fR\n"
              ".TP\n\\fB\\-\\-cycles\\fR\\ \\fIN\\fR\nstop after N cycles\n"
              ".TP\n\\fB\\-q\\fR, \\fB\\-\\-headless\\fR\nno window\n"
              ".SS \"kesmir sweep\"\nrun many\n"
              ".TP\n\\fIEXPERIMENT\\fR\nthe file\n"
              ".TP\n\\fB\\-\\-out\\fR\\ \\fIDIR\\fR\nthe folder\n"
              ".TP\n\\fB\\-\\-runs\\fR\\ \\fIFILE\\fR\nthe runs' file\n"
              ".SS \"kesmir sweep status\"\ncount them\n"
              ".TP\n\\fIDIR\\fR\nthe folder\n"
              ".TP\n\\fBPMoffset HMoffset\\fR\ndecimal numbers, \\-1..1\n"
              ".TP\n\\fBQ\\fR\nquit at once\n"
              ".TP\n\\fB+\\fR\nzoom in, \\fBa|b\\fR and a | bar\n"
              ".TP\n\\fBdt.dat\\fR\nWritten: every cycle; read: never.\n.br\n\\fB\"%d\\en\"\\fR\n");
}

TEST(ManualPage, RefusesAMissingTableOrAnUnfilledMark) {
    std::string page, error;
    EXPECT_FALSE(manualPage("@KEYS@\n", "no tables here\n", kCommands, {}, {}, page, error));
    EXPECT_NE(error.find("| Key | Action |"), std::string::npos) << error;
    EXPECT_FALSE(manualPage("@KEYS@ @DATE@ a@b.c\n", kReadme, kCommands, {}, {}, page, error));
    EXPECT_NE(error.find("@DATE@"), std::string::npos) << error;
}

TEST(Completion, ListsEachCommandsOptionsArgumentsAndWhatTheirValuesAre) {
    const std::string script =
        bashCompletion("# head\n@OPTIONS@\n# tail\n", kCommands, {"HRenergy", "it's"});
    EXPECT_EQ(script,
              "# head\n"
              "declare -gA _kesmir_subcommands=(\n"
              "    ['kesmir']='sweep'\n"
              "    ['sweep']='status'\n"
              ")\n"
              "declare -gA _kesmir_options=(\n"
              "    ['kesmir']='--cycles -q --headless'\n"
              "    ['sweep']='--out --runs'\n"
              "    ['sweep status']=''\n"
              ")\n"
              "declare -gA _kesmir_values=(\n"
              "    ['kesmir:--cycles']='N'\n"
              "    ['sweep:--out']='DIR'\n"
              "    ['sweep:--runs']='FILE'\n"
              ")\n"
              "declare -gA _kesmir_arguments=(\n"
              "    ['sweep']='EXPERIMENT'\n"
              "    ['sweep status']='DIR'\n"
              ")\n"
              "_kesmir_parameters='HRenergy it'\\''s'\n"
              "# tail\n");
}

// The manual page and the completion read the same texts that --help prints:
// each command's heading, then every option and argument of it in order,
// with its meaning (wrapped in its column); and no option line besides.
TEST(CommandTexts, AreWhatTheUsageTextShows) {
    const std::string continuation = "\n" + std::string(30, ' ');
    std::string usage = usageText();
    for (auto at = usage.find(continuation); at != std::string::npos;
         at = usage.find(continuation, at))
        usage.replace(at, continuation.size(), " ");
    const std::vector<CommandText> commands = commandTexts();
    ASSERT_GE(commands.size(), 4u);
    EXPECT_TRUE(commands.front().name.empty());
    std::size_t from = 0, named = 0;
    for (const CommandText& command : commands) {
        if (!command.name.empty()) {
            from = usage.find("\n" + synopsis(command) + "\n", from);
            ASSERT_NE(from, std::string::npos) << command.name;
        }
        for (const OptionText& option : command.options) {
            std::string line = "  ";
            for (const std::string& name : option.names)
                line += (line.size() > 2 ? "," : "") + name;
            if (!option.valueName.empty())
                line += (option.names.empty() ? "" : " ") + option.valueName;
            if (line.size() < 30) line.resize(30, ' ');
            const auto at = usage.find("\n" + line + option.meaning + "\n", from);
            ASSERT_NE(at, std::string::npos) << line << option.meaning << "\n" << usage;
            from = at + 1;
            named += !option.names.empty();
        }
    }
    std::size_t optionLines = 0;
    for (auto at = usage.find("\n  -"); at != std::string::npos; at = usage.find("\n  -", at + 1))
        ++optionLines;
    EXPECT_EQ(named, optionLines);
}

}  // namespace
}  // namespace kesmir::packaging
