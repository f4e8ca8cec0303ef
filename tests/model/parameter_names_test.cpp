// The parameters by name: the table, their values as text, "NAME=VALUE"
// settings and parameter files.
#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
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
    for (float value : {3.1f, 0.1f, 1e-7f, -FLT_MAX, FLT_MAX, 1.0f / 3.0f}) {
        PMoffset = value;
        const std::string text = parameterText(*findParameter("PMoffset"));
        const float back = std::get<float>(parsed("PMoffset", text.c_str()));
        EXPECT_EQ(std::memcmp(&back, &value, sizeof value), 0) << text;
    }
    EXPECT_EQ(parameterText(*findParameter("HSoffset")), "56.1");
    HNoffset = INT32_MIN;
    EXPECT_EQ(parameterText(*findParameter("HNoffset")), "-2147483648");
    EXPECT_EQ(std::get<int32_t>(parsed("HNoffset", "-2147483648")), INT32_MIN);
    EXPECT_EQ(std::get<int32_t>(parsed("HNoffset", "+7")), 7);
    EXPECT_EQ(std::get<float>(parsed("HRenergy", "1e3")), 1000.0f);
}

TEST_F(ParameterNamesTest, ValuesTheDialogsCannotHoldAreRefused) {
    EXPECT_EQ(refusal("HRenergy", "1e39"), "is outside the range of a float");
    EXPECT_EQ(refusal("HRenergy", "inf"), "is not a finite decimal number");
    EXPECT_EQ(refusal("HRenergy", "nan"), "is not a finite decimal number");
    EXPECT_EQ(refusal("HRenergy", "12abc"), "is not a finite decimal number");
    EXPECT_EQ(refusal("HRenergy", ""), "is not a finite decimal number");
    EXPECT_EQ(refusal("HNoffset", "2147483648"), "is outside the range -2147483648..2147483647");
    EXPECT_EQ(refusal("HNoffset", "19.5"), "is not a whole number");
    EXPECT_EQ(refusal("HNoffset", "0x10"), "is not a whole number");
}

TEST_F(ParameterNamesTest, SettingsNameWhatIsWrong) {
    ParameterSetting setting{};
    std::string error;
    ASSERT_TRUE(parseParameterSetting(" HRenergy = 70.5 ", setting, error));
    EXPECT_EQ(setting.parameter, findParameter("HRenergy"));
    EXPECT_EQ(std::get<float>(setting.value), 70.5f);

    EXPECT_FALSE(parseParameterSetting("HRenergi=70", setting, error));
    EXPECT_EQ(error, "unknown parameter 'HRenergi' (see kesmir --print-params)");
    EXPECT_FALSE(parseParameterSetting("HRenergy", setting, error));
    EXPECT_EQ(error, "'HRenergy' is not of the form NAME=VALUE");
    EXPECT_FALSE(parseParameterSetting("HNoffset=1e3", setting, error));
    EXPECT_EQ(error, "HNoffset: '1e3' is not a whole number");
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
    EXPECT_EQ(error, "p.txt line 3: CSoffset: 'lots' is not a finite decimal number");
    EXPECT_FALSE(readParameterFile("no-such-file.txt", settings, error));
    EXPECT_NE(error.find("no-such-file.txt"), std::string::npos);
}

}  // namespace
}  // namespace kesmir::testing
