// Resources and version information read from a real module: this test program carries a
// custom resource like a payload file and a Russian version resource (test_resources.rc).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/machine.h"
#include "platform/win32/windows_api.h"
#include "tests/contract/contract_environment.h"

namespace {

std::string OwnPath() {
  char path[MAX_PATH + 1] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

std::string ProbeBytes() {
  std::string bytes;
  for (int round = 0; round < 2; ++round)
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  return bytes;
}

class ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override { Env = MakeContractEnvironment(); }
  std::unique_ptr<ContractEnvironment> Env;
};

TEST_F(ModuleTest, FindsACustomResourceInAnyLetterCase) {
  auto& res = Env->Machine().Res;
  for (const auto& [type, name] : {std::pair<const char*, const char*>{"DAT", "PROBE"},
                                   {"dat", "probe"},
                                   {"Dat", "Probe"}}) {
    SCOPED_TRACE(std::string(type) + " " + name);
    platform::ResourceView view;
    ASSERT_TRUE(res.Find(type, name, view));
    EXPECT_EQ(std::string(view.Data, view.Size), ProbeBytes());
    res.Release(view);
  }
}

TEST_F(ModuleTest, MissingResourceIsNotFound) {
  platform::ResourceView view;
  EXPECT_FALSE(Env->Machine().Res.Find("DAT", "ABSENT", view));
  EXPECT_FALSE(Env->Machine().Res.Find("EXE", "PROBE", view));
  EXPECT_EQ(view.Data, nullptr);
}

TEST_F(ModuleTest, ReadsTheFileVersionUnderTheFirstTranslation) {
  auto& versions = Env->Machine().Versions;
  const std::string self = OwnPath();
  EXPECT_NE(versions.ExeType(self), 0u);

  const std::uint32_t size = versions.InfoSize(self);
  ASSERT_GT(size, 0u);
  std::string block;
  ASSERT_TRUE(versions.LoadInfo(self, size, block));
  EXPECT_EQ(block.size(), size);

  std::string table;
  ASSERT_TRUE(versions.QueryTranslations(block, table));
  ASSERT_EQ(table.size(), 4u);
  std::uint32_t first = 0;
  std::memcpy(&first, table.data(), 4);
  EXPECT_EQ(first, 0x04E30419u) << "language 0x0419 low, code page 1251 high";

  std::string text;
  ASSERT_TRUE(versions.QueryString(block, "\\StringFileInfo\\041904e3\\FileVersion", text));
  EXPECT_EQ(text, "1.0.2.0");
  EXPECT_FALSE(versions.QueryString(block, "\\StringFileInfo\\040904e4\\FileVersion", text));
}

TEST_F(ModuleTest, FilesWithoutVersionInformation) {
  auto& versions = Env->Machine().Versions;
  auto& fs = Env->Machine().Fs;
  const std::string textExe = Env->ScratchFolder() + "notes.exe";
  {
    auto file = fs.CreateForWrite(textExe);
    ASSERT_TRUE(file);
    const std::string text = "just text, not a program\r\n";
    ASSERT_TRUE(file->Write(text.data(), text.size()));
  }
  EXPECT_EQ(versions.ExeType(textExe), 0u);
  EXPECT_EQ(versions.ExeType(Env->ScratchFolder() + "missing.exe"), 0u);
  EXPECT_EQ(versions.InfoSize(textExe), 0u);
  EXPECT_EQ(versions.InfoSize(Env->ScratchFolder() + "missing.exe"), 0u);
  std::string block;
  EXPECT_FALSE(versions.LoadInfo(textExe, 64, block));
}

}  // namespace
