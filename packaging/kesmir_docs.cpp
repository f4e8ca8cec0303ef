// Makes the manual page and the bash completion at build time, from the
// program's option table and the README:
//   kesmir_docs manual TEMPLATE OUTPUT README [MARK=TEXT]...
//   kesmir_docs completion TEMPLATE OUTPUT
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_texts.h"
#include "packaging/completion.h"
#include "packaging/manual_page.h"
#include "world/named_params.h"

namespace {

bool readText(const char* path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    text = contents.str();
    return static_cast<bool>(in);
}

bool writeText(const char* path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out.flush());
}

int fail(const std::string& message) {
    std::fprintf(stderr, "kesmir_docs: %s\n", message.c_str());
    return 1;
}

std::vector<std::string> parameterNames() {
    std::vector<std::string> names;
    for (const kesmir::NamedParameter& parameter : kesmir::namedParameters())
        names.emplace_back(parameter.name);
    return names;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    std::string templateText, readme, output;
    const char* outputPath = argc > 3 ? argv[3] : "";
    if (what == "manual" && argc >= 5) {
        if (!readText(argv[2], templateText)) return fail(std::string("cannot read ") + argv[2]);
        if (!readText(argv[4], readme)) return fail(std::string("cannot read ") + argv[4]);
        kesmir::packaging::GivenMarks marks;
        for (int i = 5; i < argc; ++i) {
            const std::string mark = argv[i];
            const auto equals = mark.find('=');
            if (equals == std::string::npos) return fail("not MARK=TEXT: " + mark);
            marks.emplace_back(mark.substr(0, equals), mark.substr(equals + 1));
        }
        std::string error;
        if (!kesmir::packaging::manualPage(templateText, readme, kesmir::commandTexts(),
                                           kesmir::parameterGroupTexts(), marks, output, error))
            return fail(error);
    } else if (what == "completion" && argc == 4) {
        if (!readText(argv[2], templateText)) return fail(std::string("cannot read ") + argv[2]);
        output = kesmir::packaging::bashCompletion(templateText, kesmir::commandTexts(),
                                                   parameterNames());
    } else {
        return fail(
            "usage: kesmir_docs manual TEMPLATE OUTPUT README [MARK=TEXT]... | "
            "completion TEMPLATE OUTPUT");
    }
    if (!writeText(outputPath, output)) return fail(std::string("cannot write ") + outputPath);
    return 0;
}
