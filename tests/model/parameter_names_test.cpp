// The parameters by name: the table, their values as text, "NAME=VALUE"
// settings and parameter files.
#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <filesystem>
#include <limits>
#include <set>

#include "files/parameter_file.h"
#include "model_fixture.h"
#include "world/named_params.h"

namespace kesmir::testing {
namespace {

using ParameterNamesTest = ModelTest;

ParameterValue parsed(const char* name, const char* text) {
    ParameterValue value;
    std::string why;
    EXPECT_TRUE(parseParameterValue(*findParameter(name), text, value, why)) << text << ": " << why;
    return value;
}

std::string refusal(const char* name, const char* text) {
    ParameterValue value;
    std::string why;
    EXPECT_FALSE(parseParameterValue(*findParameter(name), text, value, why)) << text;
    return why;
}

TEST_F(ParameterNamesTest, EveryParameterIsNamedOnceAndFoundByItsName) {
    std::set<std::string> names;
    std::set<const void*> globals;
    for (const NamedParameter& parameter : namedParameters()) {
        names.insert(parameter.name);
        globals.insert(std::visit([](auto* p) -> const void* { return p; }, parameter.global));
        EXPECT_EQ(findParameter(parameter.name), &parameter);
    }
    EXPECT_EQ(names.size(), 15u);
    EXPECT_EQ(globals.size(), 15u);
    EXPECT_EQ(findParameter("hrenergy"), nullptr);  // names are the code's, case and all
    setParameter(*findParameter("HRenergy"), 70.25f);
    setParameter(*findParameter("CAoffset"), int32_t{-4});
    EXPECT_EQ(float(HRenergy), 70.25f);
    EXPECT_EQ(int32_t(CAoffset), -4);
    EXPECT_FALSE(setParameter(*findParameter("CAoffset"), 1.5f));  // wrong type: nothing set
    EXPECT_EQ(int32_t(CAoffset), -4);
}

// What --print-params writes must read back to the very same bits.
TEST_F(ParameterNamesTest, ValuesReadBackExactlyFromTheirText) {
    for (float value : {3.1f, 0.1f, 1e-7f, -1e6f, 999999.94f, 1.0f / 3.0f}) {
        PMoffset = value;
        const std::string text = parameterText(*findParameter("PMoffset"));
        const float back = std::get<float>(parsed("PMoffset", text.c_str()));
        EXPECT_EQ(std::memcmp(&back, &value, sizeof value), 0) << text;
    }
    EXPECT_EQ(parameterText(*findParameter("HSoffset")), "56.1");
    HNoffset = -1'000'000'000;
    EXPECT_EQ(parameterText(*findParameter("HNoffset")), "-1000000000");
    EXPECT_EQ(std::get<int32_t>(parsed("HNoffset", "-1000000000")), -1'000'000'000);
    EXPECT_EQ(std::get<int32_t>(parsed("HNoffset", "+7")), 7);
    EXPECT_EQ(std::get<float>(parsed("HRenergy", "1e3")), 1000.0f);
}

TEST_F(ParameterNamesTest, ValuesTheModelCannotHoldAreRefused) {
    EXPECT_EQ(refusal("HRenergy", "1e39"), "is outside the range -1000000..1000000");
    EXPECT_EQ(refusal("HRenergy", "inf"), "is not a finite decimal number");
    EXPECT_EQ(refusal("HRenergy", "nan"), "is not a finite decimal number");
    EXPECT_EQ(refusal("HRenergy", "12abc"), "is not a finite decimal number");
    EXPECT_EQ(refusal("HRenergy", ""), "is not a finite decimal number");
    EXPECT_EQ(refusal("HNoffset", "2147483648"), "is outside the range -1000000000..1000000000");
    EXPECT_EQ(refusal("HNoffset", "19.5"), "is not a whole number");
    EXPECT_EQ(refusal("HNoffset", "0x10"), "is not a whole number");
}

// Every sum the steps make of a parameter must stay finite and within int32.
TEST_F(ParameterNamesTest, EachParameterKeepsToItsRangeAtBothEnds) {
    EXPECT_EQ(std::get<int32_t>(parsed("CAoffset", "1000000000")), 1'000'000'000);
    EXPECT_EQ(std::get<int32_t>(parsed("PNoffset", "-1000000000")), -1'000'000'000);
    EXPECT_EQ(std::get<float>(parsed("PMoffset", "1e6")), 1e6f);
    EXPECT_EQ(std::get<float>(parsed("CSoffset", "-1000000")), -1e6f);
    EXPECT_EQ(refusal("HNoffset", "1000000001"), "is outside the range -1000000000..1000000000");
    EXPECT_EQ(refusal("HNoffset", "-1000000001"), "is outside the range -1000000000..1000000000");
    EXPECT_EQ(refusal("HRenergy", "1000000.1"), "is outside the range -1000000..1000000");
    EXPECT_EQ(refusal("HRenergy", "-1000000.1"), "is outside the range -1000000..1000000");

    const NamedParameter& offset = *findParameter("HNoffset");
    const NamedParameter& energy = *findParameter("HRenergy");
    EXPECT_FALSE(setParameter(offset, int32_t{INT32_MAX}));
    EXPECT_FALSE(setParameter(energy, std::numeric_limits<float>::quiet_NaN()));
    EXPECT_FALSE(setParameter(energy, 3e38f));
    EXPECT_EQ(int32_t(HNoffset), 19);
    EXPECT_EQ(float(HRenergy), 65.0f);
    EXPECT_EQ(std::get<int32_t>(clampedToBounds(offset, INT32_MAX)), 1'000'000'000);
    EXPECT_EQ(std::get<int32_t>(clampedToBounds(offset, INT32_MIN)), -1'000'000'000);
    EXPECT_EQ(std::get<float>(clampedToBounds(energy, -FLT_MAX)), -1e6f);
    EXPECT_EQ(std::get<float>(clampedToBounds(energy, 12.5f)), 12.5f);
}

TEST_F(ParameterNamesTest, SettingsNameWhatIsWrong) {
    ParameterSetting setting{};
    std::string error;
    ASSERT_TRUE(parseParameterSetting(" HRenergy = 70.5 ", setting, error));
    EXPECT_EQ(setting.parameter, findParameter("HRenergy"));
    EXPECT_EQ(std::get<float>(setting.value), 70.5f);

    EXPECT_FALSE(parseParameterSetting("HRenergi=70", setting, error));
    EXPECT_EQ(error, "unknown parameter \"HRenergi\" (see kesmir --print-params)");
    EXPECT_FALSE(parseParameterSetting("HRenergy", setting, error));
    EXPECT_EQ(error, "\"HRenergy\" is not of the form NAME=VALUE");
    EXPECT_FALSE(parseParameterSetting("HNoffset=1e3", setting, error));
    EXPECT_EQ(error, "HNoffset: \"1e3\" is not a whole number");
}

TEST_F(ParameterNamesTest, ParameterFileReadsBackWhatWasPrinted) {
    HRenergy = 71.3f;
    CNoffset = 12;
    const std::string printed = parameterFileText();
    EXPECT_NE(printed.find("\nHRenergy = 71.3\n"), std::string::npos);
    resetParameters();

    std::vector<ParameterSetting> settings;
    std::string error;
    ASSERT_TRUE(parseParameterFile(printed, "p.txt", settings, error)) << error;
    ASSERT_EQ(settings.size(), 15u);
    for (const ParameterSetting& setting : settings)
        setParameter(*setting.parameter, setting.value);
    EXPECT_EQ(float(HRenergy), 71.3f);
    EXPECT_EQ(int32_t(CNoffset), 12);
    EXPECT_EQ(parameterFileText(), printed);
}

TEST_F(ParameterNamesTest, ParameterFileAllowsCommentsAndBlankLinesAndNamesTheBadLine) {
    std::vector<ParameterSetting> settings;
    std::string error;
    // Windows line endings after a comment, on a comment line and after a value.
    ASSERT_TRUE(parseParameterFile(
        "# experiment 4\r\n\n  HRenergy = 80 # was 65\r\nHNoffset = 25\r\nCSoffset=2", "p.txt",
        settings, error))
        << error;
    ASSERT_EQ(settings.size(), 3u);
    EXPECT_EQ(std::get<float>(settings[0].value), 80.0f);
    EXPECT_EQ(std::get<int32_t>(settings[1].value), 25);
    EXPECT_EQ(settings[2].parameter, findParameter("CSoffset"));

    settings.clear();
    EXPECT_FALSE(
        parseParameterFile("HRenergy = 80\n\nCSoffset = lots\n", "p.txt", settings, error));
    EXPECT_EQ(error, "p.txt line 3: CSoffset: \"lots\" is not a finite decimal number");
    EXPECT_FALSE(readParameterFile("no-such-file.txt", settings, error));
    EXPECT_NE(error.find("no-such-file.txt"), std::string::npos);
}

TEST_F(ParameterNamesTest, ParameterFileSkipsAByteOrderMarkAndQuotesBadBytesSafely) {
    std::vector<ParameterSetting> settings;
    std::string error;
    ASSERT_TRUE(parseParameterFile("\xEF\xBB\xBFHRenergy = 80\n", "p.txt", settings, error))
        << error;
    EXPECT_EQ(std::get<float>(settings.at(0).value), 80.0f);

    using namespace std::string_literals;
    EXPECT_FALSE(parseParameterFile("HRe\x1b[2Jnergy\0 = 80"s, "p.txt", settings, error));
    EXPECT_EQ(error,
              "p.txt line 1: unknown parameter \"HRe\\x1b[2Jnergy\\x00\" (see kesmir "
              "--print-params)");
    EXPECT_FALSE(
        parseParameterFile("HRenergy = " + std::string(4000, '7'), "p.txt", settings, error));
    EXPECT_LT(error.size(), 120u);
    EXPECT_NE(error.find("7...\" is outside the range"), std::string::npos) << error;
    EXPECT_FALSE(parseParameterFile("\n# " + std::string(4095, 'x'), "p.txt", settings, error));
    EXPECT_EQ(error, "p.txt line 2: longer than 4096 bytes");
}

// A parameter file larger than any a person writes is refused from its size,
// never read: a sparse one of 2 GB takes no time and no memory.
TEST_F(ParameterNamesTest, OversizedParameterFileIsRefusedFromItsSize) {
    ScratchDirectory scratch;
    writeFile("huge.txt", "HRenergy = 80\n");
    std::filesystem::resize_file("huge.txt", std::uintmax_t{1} << 31);
    std::vector<ParameterSetting> settings;
    std::string error;
    EXPECT_FALSE(readParameterFile("huge.txt", settings, error));
    EXPECT_NE(error.find("'huge.txt' is 2147483648 bytes, larger than any valid file"),
              std::string::npos)
        << error;
    std::filesystem::resize_file("huge.txt", 1 << 20);  // the largest that is read at all
    EXPECT_FALSE(readParameterFile("huge.txt", settings, error));
    EXPECT_EQ(error, "huge.txt line 2: longer than 4096 bytes");
}

}  // namespace
}  // namespace kesmir::testing
