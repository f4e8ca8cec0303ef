// Whatever stands in the working directory under the names the program
// reads: only regular files of a sane size are read, in bounded memory, and
// every message about them is one whole, printable line.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "files/nutrient_file.h"
#include "files/nutrient_text.h"
#include "files/safe_file.h"
#include "model_fixture.h"
#include "seed/gene_sample_file.h"
#include "seed/seeding.h"

namespace kesmir::testing {
namespace {

namespace fs = std::filesystem;

class AwkwardDataFilesTest : public ModelTest {
  protected:
    ScratchDirectory scratch_;

    // What loading the gene sample said, checking it is one printable line.
    static std::string loadSampleSays() {
        ::testing::internal::CaptureStderr();
        loadGMSamples();
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
        for (char c : said.substr(0, said.size() - 1))
            EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "byte " << int(c) << " in: " << said;
        return said;
    }

    static std::string goodSample() {
        std::string text;
        for (int i = 0; i < 1000; ++i)
            text += "1 2 3 4.5 6\n";
        for (int i = 0; i < 2000; ++i)
            text += "1 2 3 4 5 6.5 7\n";
        return text;
    }

    // The sample with line `line` (from 1) replaced.
    static std::string sampleWithLine(int line, const std::string& replacement) {
        std::string text = goodSample();
        std::size_t start = 0;
        for (int i = 1; i < line; ++i)
            start = text.find('\n', start) + 1;
        return text.replace(start, text.find('\n', start) - start, replacement);
    }
};

// A FIFO would block the open for ever and /dev/zero never ends: neither is
// opened. The alarm ends the test, rather than the run, if one is.
TEST_F(AwkwardDataFilesTest, OnlyRegularFilesAreOpened) {
    ASSERT_EQ(::mkfifo("fifo", 0600), 0) << std::strerror(errno);
    fs::create_symlink("/dev/zero", "zero");
    fs::create_directory("directory");
    const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, "socket");
    ASSERT_EQ(::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    ::alarm(20);
    const std::pair<const char*, const char*> cases[] = {{"fifo", "is a named pipe (FIFO)"},
                                                         {"zero", "is a character device"},
                                                         {"directory", "is a directory"},
                                                         {"socket", "is a socket"}};
    for (const auto& [name, kind] : cases) {
        std::string contents, error;
        EXPECT_EQ(readWholeFile(name, contents, error), ReadStatus::failed) << name;
        EXPECT_EQ(error, "'" + std::string(name) + "' " + kind + ", not a data file");
        float levels[3];
        EXPECT_EQ(readNutrientFile(name, levels, 3, error), ReadStatus::failed) << name;
        EXPECT_NE(error.find(kind), std::string::npos) << error;
    }
    ::close(listening);

    // The program's own files: told in one line each, and the run starts as
    // without them.
    fs::rename("fifo", kGeneSampleFile);
    fs::rename("zero", kNutrientFile);
    setNutrient(5, 7.0f);
    ::testing::internal::CaptureStderr();
    loadNutrients();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said,
              "kesmir: 'nut.dat' is a character device, not a data file; starting with a fresh "
              "nutrient layer\n");
    EXPECT_EQ(nutrientAt(5), 250.0f);
    EXPECT_EQ(loadSampleSays(),
              "kesmir: 'sample9GM.dat' is a named pipe (FIFO), not a data file; starting with a "
              "generated seed sample\n");
    EXPECT_EQ(seedSampleBSize, kSeedSampleSize);
    ::alarm(0);
}

// Refused from the size alone, before any byte is read; and while reading,
// no number longer than a few MB is held.
TEST_F(AwkwardDataFilesTest, OversizedFilesAndEndlessNumbersAreRefused) {
    float levels[4];
    std::string error;
    writeFile("sparse", "");
    ASSERT_EQ(::truncate("sparse", 2'000'000'000), 0);
    EXPECT_EQ(readNutrientFile("sparse", levels, 4, error), ReadStatus::failed);
    EXPECT_NE(error.find("is 2000000000 bytes, larger than any valid file"), std::string::npos)
        << error;
    EXPECT_EQ(largestNutrientFile(kCells), 12'250'000u * 64 + (4u << 20));

    std::vector<float> many(100'000);  // so that the file's size is no reason
    writeFile("endless", "1 " + std::string(6'000'000, '7') + " 2 3");
    EXPECT_EQ(readNutrientFile("endless", many.data(), many.size(), error), ReadStatus::failed);
    EXPECT_NE(error.find("a number of more than 4194304 characters (byte offset 2)"),
              std::string::npos)
        << error;

    const std::string padded = goodSample() + std::string(400'000, ' ');
    writeFile(kGeneSampleFile, padded);
    EXPECT_NE(loadSampleSays().find("is " + std::to_string(padded.size()) +
                                    " bytes, larger than any valid file of its kind (at most "
                                    "384000)"),
              std::string::npos);
}

// A NUL ends no message early and an escape sequence never reaches the
// terminal; a line short of a number is named, not the line where the read
// stumbles; an age that ageing would overflow is refused.
TEST_F(AwkwardDataFilesTest, BadSampleLinesAreNamedAndQuotedSafely) {
    writeFile(kGeneSampleFile, sampleWithLine(7, std::string("1 2 3 4.5 6\0", 12)));
    EXPECT_NE(loadSampleSays().find("line 7: \"6\\x00\" is not a whole number; starting"),
              std::string::npos);
    writeFile(kGeneSampleFile, sampleWithLine(2, "1 2 \x1b[2J 4.5 6"));
    EXPECT_NE(loadSampleSays().find("line 2: \"\\x1b[2J\" is not an unsigned"), std::string::npos);
    writeFile(kNutrientFile, "250.0 \x1b]0;title\x07 1.0");
    ::testing::internal::CaptureStderr();
    loadNutrients();
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("\"\\x1b]0;title\\x07\""),
              std::string::npos);

    writeFile(kGeneSampleFile, sampleWithLine(5, "1 2 3 4.5"));
    EXPECT_NE(loadSampleSays().find("line 5: 4 numbers where a plant line has 5"),
              std::string::npos);
    writeFile(kGeneSampleFile, sampleWithLine(1501, "1 2 3 4 5 6.5 7 8"));
    EXPECT_NE(loadSampleSays().find("line 1501: 8 numbers where an animal line has 7"),
              std::string::npos);
    writeFile(kGeneSampleFile, goodSample() + "\n1 2 3\n");
    EXPECT_NE(loadSampleSays().find("line 3002: more than 3000 records"), std::string::npos);

    writeFile(kGeneSampleFile, sampleWithLine(10, "1 2 3 4.5 1000000001"));
    EXPECT_NE(loadSampleSays().find("line 10: \"1000000001\" is too large for an age"),
              std::string::npos);
    writeFile(kGeneSampleFile, sampleWithLine(2000, "1 2 3 4 5 6.5 2147483647"));
    EXPECT_NE(loadSampleSays().find("line 2000: \"2147483647\" is too large for an age (at most "
                                    "1000000000)"),
              std::string::npos);
    EXPECT_EQ(seedSampleBSize, kSeedSampleSize);
    writeFile(kGeneSampleFile, sampleWithLine(2000, "1 2 3 4 5 6.5 1000000000"));
    loadGMSamples();
    EXPECT_EQ(seedSampleBSize, kLoadedSeedSampleSize);
    EXPECT_EQ(HB[999].age, 1'000'000'000);
}

}  // namespace
}  // namespace kesmir::testing
