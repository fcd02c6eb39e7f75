// GetFileVersionString on real executables: the project's version samples (built beside this
// program), one without a version resource, a text file named .exe and a missing file.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "install/version_probes.h"
#include "platform/win32/win32_machine.h"
#include "platform/win32/windows_api.h"

namespace {

std::string OwnFolder() {
  char module[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, module, MAX_PATH);
  std::string path = module;
  return path.substr(0, path.find_last_of("\\/") + 1);
}

class FileVersionString : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetOs(&win32::TheMachine()); }
  void TearDown() override { platform::SetOs(nullptr); }

  static std::string Sample(const char* name) {
    const std::string path = OwnFolder() + "version_sample_" + name + ".exe";
    EXPECT_NE(::GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES)
        << path << " was not built";
    return path;
  }
};

TEST_F(FileVersionString, EnglishTranslation) {
  EXPECT_EQ(GetFileVersionString(Sample("english")), "3.1.4.15");
}

// The Russian table is the first translation entry; the English table after it, with another
// FileVersion, is not read.
TEST_F(FileVersionString, RussianTranslationFirstEntryOnly) {
  EXPECT_EQ(GetFileVersionString(Sample("russian")), "2.7.1.8");
}

TEST_F(FileVersionString, ExecutableWithoutVersionResource) {
  EXPECT_EQ(GetFileVersionString(Sample("plain")), "");
}

TEST_F(FileVersionString, TextFileNamedExeAndMissingFile) {
  char temp[MAX_PATH] = {};
  ASSERT_NE(::GetTempPathA(MAX_PATH, temp), 0u);
  const std::string text = std::string(temp) + "tvl-version-" +
                           std::to_string(::GetCurrentProcessId()) + ".exe";
  std::ofstream(text, std::ios::binary) << "FileVersion 1.0.0.0\r\nnot a program\r\n";
  EXPECT_EQ(GetFileVersionString(text), "");
  ::DeleteFileA(text.c_str());
  EXPECT_EQ(GetFileVersionString(text), "");  // gone now
}

}  // namespace
