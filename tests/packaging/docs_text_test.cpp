// The manual page and the completion, made from the option table and the
// README's tables: what is read from Markdown, how it is escaped for troff,
// and that every option --help lists reaches both.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/options.h"
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
    {"sweep", "run many", {{{"--runs"}, "FILE", "the runs' file"}}},
};

TEST(ManualPage, FillsEveryMarkFromTheOptionsAndTheReadme) {
    std::string page, error;
    ASSERT_TRUE(manualPage("@VERSION@\n@SYNOPSIS@\n@OPTIONS@\n@KEYS@\n@FILES@\n", kReadme,
                           kCommands, {{"VERSION", "9.9"}}, page, error))
        << error;
    EXPECT_EQ(page,
              "9.9\n"
              ".br\n\\fBkesmir\\fR\n[\\fB\\-\\-cycles\\fR\\ \\fIN\\fR]\n[\\fB\\-\\-headless\\fR]\n"
              ".br\n\\fBkesmir sweep\\fR\n[\\fB\\-\\-runs\\fR\\ \\fIFILE\\fR]\n"
              ".TP\n\\fB\\-\\-cycles\\fR\\ \\fIN\\fR\nstop after N cycles\n"
              ".TP\n\\fB\\-q\\fR, \\fB\\-\\-headless\\fR\nno window\n"
              ".SS \"kesmir sweep\"\nrun many\n"
              ".TP\n\\fB\\-\\-runs\\fR\\ \\fIFILE\\fR\nthe runs' file\n"
              ".TP\n\\fBQ\\fR\nquit at once\n"
              ".TP\n\\fB+\\fR\nzoom in, \\fBa|b\\fR and a | bar\n"
              ".TP\n\\fBdt.dat\\fR\nWritten: every cycle; read: never.\n.br\n\\fB\"%d\\en\"\\fR\n");
}

TEST(ManualPage, RefusesAMissingTableOrAnUnfilledMark) {
    std::string page, error;
    EXPECT_FALSE(manualPage("@KEYS@\n", "no tables here\n", kCommands, {}, page, error));
    EXPECT_NE(error.find("| Key | Action |"), std::string::npos) << error;
    EXPECT_FALSE(manualPage("@KEYS@ @DATE@ a@b.c\n", kReadme, kCommands, {}, page, error));
    EXPECT_NE(error.find("@DATE@"), std::string::npos) << error;
}

TEST(Completion, ListsEachCommandsOptionsAndWhatTheirValuesAre) {
    const std::string script =
        bashCompletion("# head\n@OPTIONS@\n# tail\n", kCommands, {"HRenergy", "it's"});
    EXPECT_EQ(script,
              "# head\n"
              "_kesmir_subcommands='sweep'\n"
              "declare -gA _kesmir_options=(\n"
              "    ['kesmir']='--cycles -q --headless'\n"
              "    ['sweep']='--runs'\n"
              ")\n"
              "declare -gA _kesmir_values=(\n"
              "    ['kesmir:--cycles']='N'\n"
              "    ['sweep:--runs']='FILE'\n"
              ")\n"
              "_kesmir_parameters='HRenergy it'\\''s'\n"
              "# tail\n");
}

// The manual page and the completion read the same list that --help prints:
// every option line of the usage text, and nothing else.
TEST(CommandTexts, AreTheOptionsTheUsageTextShows) {
    const std::vector<CommandText> commands = commandTexts();
    ASSERT_FALSE(commands.empty());
    const CommandText& program = commands.front();
    EXPECT_TRUE(program.name.empty());
    const std::string usage = usageText();
    for (const OptionText& option : program.options) {
        std::string line = "  " + option.names.front();
        for (std::size_t i = 1; i < option.names.size(); ++i)
            line += "," + option.names[i];
        if (!option.valueName.empty()) line += " " + option.valueName;
        const auto at = usage.find(line + " ");
        ASSERT_NE(at, std::string::npos) << line;
        const std::string usageLine = usage.substr(at, usage.find('\n', at) - at);
        EXPECT_TRUE(usageLine.ends_with(option.meaning)) << usageLine;
    }
    std::size_t optionLines = 0;
    for (auto at = usage.find("\n  -"); at != std::string::npos; at = usage.find("\n  -", at + 1))
        ++optionLines;
    EXPECT_EQ(program.options.size(), optionLines);
}

}  // namespace
}  // namespace kesmir::packaging
