#include "files/nutrient_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>
#include <vector>

namespace kesmir {
namespace {

std::uint32_t bitsOf(float value) {
    return std::bit_cast<std::uint32_t>(value);
}

std::string printfField(float level) {
    char field[64];
    const int length = std::snprintf(field, sizeof field, "%f ", static_cast<double>(level));
    return std::string(field, static_cast<std::size_t>(length));
}

// Random bit patterns over the whole float range, then typical levels 0..6000.
std::vector<float> sampleLevels(std::size_t count, bool finiteOnly) {
    std::mt19937 random(20240611);
    std::vector<float> levels;
    while (levels.size() < count) {
        const float level = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (!finiteOnly || std::isfinite(level)) levels.push_back(level);
    }
    std::uniform_real_distribution<float> typical(0.0f, 6000.0f);
    for (std::size_t i = 0; i < count / 4; ++i)
        levels.push_back(typical(random));
    return levels;
}

TEST(NutrientTextFormat, WritesWhatPrintfWrites) {
    const float inf = std::numeric_limits<float>::infinity();
    // Glibc's text for these, ties in the seventh decimal going to even.
    const std::pair<float, const char*> known[] = {
        {250.0f, "250.000000 "},  {-0.0f, "-0.000000 "},
        {-1e-7f, "-0.000000 "},   {0x1p-7f, "0.007812 "},
        {0x3p-7f, "0.023438 "},   {-0x5p-7f, "-0.039062 "},
        {0x1p-149f, "0.000000 "}, {0.9999996f, "1.000000 "},
        {-inf, "-inf "},          {FLT_MAX, "340282346638528859811704183484516925440.000000 "}};
    std::string text = "kept ", expected = "kept ";  // appends to what is there
    for (const auto& [level, field] : known) {
        appendNutrientText(&level, 1, text);
        expected += field;
    }
    EXPECT_EQ(text, expected);

    std::vector<float> levels = sampleLevels(300'000, false);
    const float half = 5e-7f;  // where the sixth decimal starts rounding up
    for (float level : {std::nextafter(half, 0.0f), half, std::nextafter(half, 1.0f), -half,
                        FLT_MIN, -FLT_MIN, std::nextafter(0x1p64f, 0.0f), 0x1p64f, -1e20f,
                        std::numeric_limits<float>::quiet_NaN(), -std::nanf("")}) {
        levels.push_back(level);
    }
    text.clear();
    appendNutrientText(levels.data(), levels.size(), text);
    std::size_t offset = 0;
    for (float level : levels) {
        const std::string field = printfField(level);
        ASSERT_EQ(text.compare(offset, field.size(), field), 0)
            << "bits " << std::hex << bitsOf(level) << ": expected " << field << ", got "
            << text.substr(offset, field.size());
        offset += field.size();
    }
    EXPECT_EQ(offset, text.size());
}

TEST(NutrientTextParse, ReadsBackWhatStrtofReads) {
    const std::vector<float> levels = sampleLevels(200'000, true);
    std::string text;
    appendNutrientText(levels.data(), levels.size(), text);
    std::vector<float> parsed(levels.size());
    const ParseResult result = parseNutrientText(text, parsed.data(), parsed.size());
    ASSERT_TRUE(result.ok) << result.error;
    char* next = text.data();
    for (std::size_t i = 0; i < levels.size(); ++i) {
        ASSERT_EQ(bitsOf(parsed[i]), bitsOf(std::strtof(next, &next))) << printfField(levels[i]);
        // Six decimals keep every bit of a float from 16 upwards.
        if (std::fabs(levels[i]) >= 16.0f) {
            ASSERT_EQ(parsed[i], levels[i]);
        }
    }

    // Any white space, a '+' sign; numbers too small for a float become signed zeros.
    const std::string tiny =
        "\f0." + std::string(56, '0') + "1e10 " + std::string(60, '0') + "1e-50";
    const float expected[] = {1.5f,  2000.0f, -0.25f, 0.5f, 7.0f, std::strtof("1e-40", nullptr),
                              -0.0f, 0.0f,    0.0f};
    float read[9];
    const ParseResult mixed =
        parseNutrientText(" \t+1.5\n2e3\r\n-0.25\v.5 7. 1e-40 -1e-50" + tiny, read, 9);
    ASSERT_TRUE(mixed.ok) << mixed.error;
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(bitsOf(read[i]), bitsOf(expected[i])) << i;
}

TEST(NutrientTextParse, RejectsBadFilesSayingWhy) {
    const std::pair<const char*, const char*> cases[] = {
        // text of 3 values, error
        {"1 2", "holds 2 values, expected 3"},
        {"1 2x 3", "malformed number at value 2 (byte offset 2): \"2x\""},
        {"1 2 +-3", "malformed number at value 3"},
        {"0x1p3 1 2", "malformed number at value 1"},
        {"1 2 1e", "malformed number at value 3"},
        {"1,5 2 3", "malformed number at value 1"},
        {"1 nan 3", "non-finite number at value 2 (byte offset 2): \"nan\""},
        {"1 2 -infinity", "non-finite number at value 3"},
        {"1 2 1e39", "number out of range at value 3 (byte offset 4): \"1e39\""},
        {"-3.5e38 1 2", "number out of range at value 1"},
        {"1 0.001e42 2", "number out of range at value 2"},
        {"1 2 3 4", "extra content after value 3 (byte offset 6): \"4\""},
        {"1 2 3\n x", "extra content after value 3"}};
    for (const auto& [text, error] : cases) {
        float levels[3];
        const ParseResult result = parseNutrientText(text, levels, 3);
        EXPECT_FALSE(result.ok) << text;
        EXPECT_NE(result.error.find(error), std::string::npos) << text << ": " << result.error;
    }
}

TEST(NutrientFile, StreamsTheTextThroughSmallBuffers) {
    namespace fs = std::filesystem;
    std::string directory = (fs::temp_directory_path() / "kesmir-nutrient-XXXXXX").string();
    ASSERT_NE(::mkdtemp(directory.data()), nullptr);
    const std::string path = directory + "/nut.dat";
    const std::vector<float> levels = sampleLevels(200'000, true);  // about 2.5 MB
    std::string text, contents, message;
    appendNutrientText(levels.data(), levels.size(), text);
    ASSERT_TRUE(writeNutrientFile(path, levels.data(), levels.size()).ok);
    ASSERT_EQ(readWholeFile(path, contents, message), ReadStatus::ok);
    EXPECT_TRUE(contents == text);

    std::vector<float> fromText(levels.size()), fromFile(levels.size());
    ASSERT_TRUE(parseNutrientText(text, fromText.data(), fromText.size()).ok);
    ASSERT_EQ(readNutrientFile(path, fromFile.data(), fromFile.size(), message), ReadStatus::ok)
        << message;
    EXPECT_TRUE(std::memcmp(fromText.data(), fromFile.data(), 4 * levels.size()) == 0);

    // An error past the first read buffer is reported where the whole text puts it.
    text[text.find('.', 1'500'000)] = 'x';
    ASSERT_TRUE(writeFileAtomically(path, text).ok);
    const ParseResult parsed = parseNutrientText(text, fromText.data(), fromText.size());
    EXPECT_EQ(readNutrientFile(path, fromFile.data(), fromFile.size(), message),
              ReadStatus::failed);
    EXPECT_EQ(message, "'" + path + "': " + parsed.error);

    // A number longer than the read buffer, a short file and a missing one.
    ASSERT_TRUE(writeFileAtomically(path, "1 0." + std::string(3'000'000, '0') + "1 2").ok);
    EXPECT_EQ(readNutrientFile(path, fromFile.data(), 3, message), ReadStatus::ok) << message;
    EXPECT_EQ(fromFile[0] + fromFile[1] + fromFile[2], 3.0f);
    EXPECT_EQ(readNutrientFile(path, fromFile.data(), 4, message), ReadStatus::failed);
    EXPECT_EQ(message, "'" + path + "': holds 3 values, expected 4");
    fs::remove_all(directory);
    EXPECT_EQ(readNutrientFile(path, fromFile.data(), 3, message), ReadStatus::missing);
}

}  // namespace
}  // namespace kesmir
