#include "files/safe_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace kesmir {
namespace {

namespace fs = std::filesystem;

class SafeFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kesmir-safe-file-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr) << std::strerror(errno);
        dir_ = pattern;
        target_ = (dir_ / "nut.dat").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    // The target's contents, checking that nothing else (no temporary file) is left.
    std::string onlyFile() const {
        EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
        std::string contents, error;
        EXPECT_EQ(readWholeFile(target_, contents, error), ReadStatus::ok) << error;
        return contents;
    }

    static bool mentions(const WriteResult& result, int errorNumber) {
        return !result.ok && result.error.find(std::strerror(errorNumber)) != std::string::npos;
    }

    fs::path dir_;
    std::string target_;
};

TEST_F(SafeFileTest, WritesNewFileAndReplacesOldOne) {
    std::string large(300'000, ' ');  // more than one read chunk
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i * 7 % 251);
    for (const std::string& contents : {large, std::string("a\0b\n", 4), std::string()}) {
        const WriteResult result = writeFileAtomically(target_, contents);
        ASSERT_TRUE(result.ok) << result.error;
        EXPECT_EQ(onlyFile(), contents);
    }
    AtomicFileWriter pieces(target_);
    EXPECT_TRUE(pieces.write("ab") && pieces.write("") && pieces.write("cd"));
    EXPECT_TRUE(pieces.commit().ok);
    {
        AtomicFileWriter abandoned(target_);
        EXPECT_TRUE(abandoned.write("never committed"));
    }
    EXPECT_EQ(onlyFile(), "abcd");
}

TEST_F(SafeFileTest, FailuresLeaveOldFileWholeAndNoTemporaryFile) {
    const WriteResult missingDirectory = writeFileAtomically((dir_ / "no/nut.dat").string(), "x");
    EXPECT_TRUE(mentions(missingDirectory, ENOENT)) << missingDirectory.error;
    EXPECT_NE(missingDirectory.error.find("no/nut.dat"), std::string::npos);

    // A file size limit makes write() fail part way through, as a full disk would.
    ASSERT_TRUE(writeFileAtomically(target_, "old contents").ok);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const bool limitSet = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    const WriteResult tooLarge = writeFileAtomically(target_, std::string(100'000, 'n'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    ASSERT_TRUE(limitSet);
    EXPECT_TRUE(mentions(tooLarge, EFBIG)) << tooLarge.error;
    EXPECT_EQ(onlyFile(), "old contents");

    // A directory cannot be replaced by a file: the write succeeds, the rename fails.
    ASSERT_TRUE(fs::remove(target_) && fs::create_directory(target_));
    EXPECT_TRUE(mentions(writeFileAtomically(target_, "x"), EISDIR));
    EXPECT_TRUE(fs::is_directory(target_));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(SafeFileTest, ReadTellsMissingFileFromUnreadableOne) {
    std::string contents = "stale", error;
    EXPECT_EQ(readWholeFile(target_, contents, error), ReadStatus::missing);
    EXPECT_NE(error.find(std::strerror(ENOENT)), std::string::npos) << error;
    EXPECT_TRUE(contents.empty());
    EXPECT_EQ(readWholeFile(dir_.string(), contents, error), ReadStatus::failed);
    EXPECT_NE(error.find("is a directory"), std::string::npos) << error;
}

}  // namespace
}  // namespace kesmir
