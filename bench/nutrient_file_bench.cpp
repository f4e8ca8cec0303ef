// Times the nutrient layer file at full size: formatting the levels and writing
// "nut.dat" through the safe writer, then reading it back and parsing it, both
// streamed through small buffers and with the whole text in one string.
// Prints the median of several repetitions of each step; it judges nothing.
//
// Usage: nutrient_file_bench [repetitions]   (default 5)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "files/nutrient_text.h"
#include "files/safe_file.h"

namespace {

constexpr std::size_t kLevels = 12'250'000;

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

[[noreturn]] void die(const std::string& message) {
    std::fprintf(stderr, "nutrient_file_bench: %s\n", message.c_str());
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    // A quarter of the cells at the usual starting level, the rest anywhere in
    // 0..6000 with arbitrary fractions.
    std::vector<float> levels(kLevels);
    std::mt19937 random(12345);
    std::uniform_real_distribution<float> anyLevel(0.0f, 6000.0f);
    for (float& level : levels)
        level = random() % 4 == 0 ? 250.0f : anyLevel(random);

    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "nutrient-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) die("cannot create a temporary directory");
    const fs::path directory = pattern;
    const std::string path = (directory / "nut.dat").string();

    // Streamed: the file functions, formatting and parsing through small buffers.
    std::vector<double> streamWrite, streamRead;
    // Whole text: one string for the whole file, as readWholeFile and
    // writeFileAtomically handle it.
    std::vector<double> format, write, read, parse;
    std::size_t fileSize = 0;
    std::vector<float> streamed(kLevels), parsed(kLevels);
    for (int i = 0; i < repetitions; ++i) {
        auto start = std::chrono::steady_clock::now();
        const kesmir::WriteResult streamWritten =
            kesmir::writeNutrientFile(path, levels.data(), levels.size());
        streamWrite.push_back(secondsSince(start));
        if (!streamWritten.ok) die(streamWritten.error);

        std::string error;
        start = std::chrono::steady_clock::now();
        const kesmir::ReadStatus status =
            kesmir::readNutrientFile(path, streamed.data(), streamed.size(), error);
        streamRead.push_back(secondsSince(start));
        if (status != kesmir::ReadStatus::ok) die(error);

        start = std::chrono::steady_clock::now();
        std::string text;
        kesmir::appendNutrientText(levels.data(), levels.size(), text);
        format.push_back(secondsSince(start));

        start = std::chrono::steady_clock::now();
        const kesmir::WriteResult written = kesmir::writeFileAtomically(path, text);
        write.push_back(secondsSince(start));
        if (!written.ok) die(written.error);
        fileSize = text.size();
        text = std::string();

        start = std::chrono::steady_clock::now();
        std::string contents;
        if (kesmir::readWholeFile(path, contents, error) != kesmir::ReadStatus::ok) die(error);
        read.push_back(secondsSince(start));

        start = std::chrono::steady_clock::now();
        const kesmir::ParseResult result =
            kesmir::parseNutrientText(contents, parsed.data(), parsed.size());
        parse.push_back(secondsSince(start));
        if (!result.ok) die(result.error);
        if (std::memcmp(streamed.data(), parsed.data(), kLevels * sizeof(float)) != 0) {
            die("the streamed and the whole-text reading differ");
        }
    }
    fs::remove_all(directory);

    std::vector<double> formatAndWrite, readAndParse;
    for (int i = 0; i < repetitions; ++i) {
        formatAndWrite.push_back(format[i] + write[i]);
        readAndParse.push_back(read[i] + parse[i]);
    }
    std::printf("nut.dat: %zu levels, %zu bytes, %d repetitions (medians)\n", kLevels, fileSize,
                repetitions);
    std::printf("  streamed:   write %.3f s, read %.3f s\n", median(streamWrite),
                median(streamRead));
    std::printf("  whole text: format %.3f s + safe write %.3f s = %.3f s\n", median(format),
                median(write), median(formatAndWrite));
    std::printf("              read   %.3f s + parse      %.3f s = %.3f s\n", median(read),
                median(parse), median(readAndParse));
    return 0;
}
