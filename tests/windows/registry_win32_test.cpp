// The shared registry object (TRegistry) over the real registry. Values are planted and
// checked with advapi32 directly, so a fault shared by the backend's reads and writes
// cannot hide behind a round trip through the seam.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win32/owners.h"
#include "platform/win32/windows_api.h"
#include "platform/win_constants.h"
#include "setup/shared_registry.h"
#include "tests/contract/contract_environment.h"

namespace {

class RealRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Env = MakeContractEnvironment();
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, Env->ScratchKey().c_str(), 0, nullptr,
                                REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, Raw.put(),
                                nullptr),
              ERROR_SUCCESS);
  }

  // Stores `bytes` exactly, bypassing the code under test.
  void SetRaw(const char* name, DWORD type, const std::string& bytes) {
    ASSERT_EQ(::RegSetValueExA(Raw.get(), name, 0, type,
                               reinterpret_cast<const BYTE*>(bytes.data()),
                               static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
  }

  // The value's type and bytes as advapi32 reports them.
  std::string GetRaw(const char* name, DWORD* type) {
    char buffer[256];
    std::memset(buffer, 0xA5, sizeof(buffer));
    DWORD size = sizeof(buffer);
    EXPECT_EQ(::RegQueryValueExA(Raw.get(), name, nullptr, type,
                                 reinterpret_cast<BYTE*>(buffer), &size),
              ERROR_SUCCESS);
    return std::string(buffer, size);
  }

  std::unique_ptr<ContractEnvironment> Env;
  win32::UniqueHkey Raw;
  TRegistry Registry;
};

TEST_F(RealRegistryTest, SwitchingRootsClosesTheKeyAndReopensUnderTheOtherRoot) {
  ASSERT_TRUE(Registry.OpenKey(Env->ScratchKey(), false));
  Registry.SetRootKey(platform::RootKey::CurrentUser);
  EXPECT_TRUE(Registry.HasCurrentKey()) << "selecting the selected root keeps the key";

  Registry.SetRootKey(platform::RootKey::LocalMachine);
  EXPECT_FALSE(Registry.HasCurrentKey());
  // The scratch key exists only under HKEY_CURRENT_USER.
  EXPECT_FALSE(Registry.OpenKey(Env->ScratchKey(), false));
  EXPECT_TRUE(Registry.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion", false));
  EXPECT_TRUE(Registry.ValueExists("ProgramFilesDir"));

  Registry.SetRootKey(platform::RootKey::CurrentUser);
  EXPECT_FALSE(Registry.HasCurrentKey());
  EXPECT_TRUE(Registry.OpenKey(Env->ScratchKey(), false));
}

TEST_F(RealRegistryTest, ReadsTextsAsStoredUpToTheFirstNul) {
  SetRaw("Expand", REG_EXPAND_SZ, std::string("%SystemRoot%\\x\0", 15));
  SetRaw("Embedded", REG_SZ, std::string("abc\0def\0", 8));
  SetRaw("NoTerminator", REG_SZ, "xyz");
  SetRaw("Empty", REG_SZ, "");
  SetRaw("Long", REG_SZ, std::string(5000, 'L') + '\0');
  ASSERT_TRUE(Registry.OpenKey(Env->ScratchKey(), false));

  EXPECT_EQ(Registry.ReadString("Expand"), "%SystemRoot%\\x") << "not expanded";
  EXPECT_EQ(Registry.ReadString("Embedded"), "abc");
  EXPECT_EQ(Registry.ReadString("NoTerminator"), "xyz");
  EXPECT_EQ(Registry.ReadString("Empty"), "");
  EXPECT_EQ(Registry.ReadString("Long"), std::string(5000, 'L'));
  EXPECT_EQ(Registry.ReadString("Missing"), "");
}

TEST_F(RealRegistryTest, ReadingANonTextValueRaises) {
  SetRaw("Number", REG_DWORD, std::string("\x01\x00\x00\x00", 4));
  SetRaw("Many", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
  ASSERT_TRUE(Registry.OpenKey(Env->ScratchKey(), false));
  EXPECT_THROW(Registry.ReadString("Number"), ERegistryError);
  EXPECT_THROW(Registry.ReadString("Many"), ERegistryError);
}

TEST_F(RealRegistryTest, WritesExactlyTheTextWithOneNulAndDwordsLittleEndian) {
  ASSERT_TRUE(Registry.OpenKey(Env->ScratchKey(), false));
  Registry.WriteString("Text", "Tarvelon");
  Registry.WriteString("Blank", "");
  Registry.WriteInteger("Minus", -1);
  Registry.WriteInteger("Number", 0x01020304);

  DWORD type = 0;
  EXPECT_EQ(GetRaw("Text", &type), std::string("Tarvelon\0", 9));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(GetRaw("Blank", &type), std::string(1, '\0'));
  EXPECT_EQ(GetRaw("Minus", &type), std::string(4, '\xFF'));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(GetRaw("Number", &type), std::string("\x04\x03\x02\x01", 4));
}

}  // namespace
