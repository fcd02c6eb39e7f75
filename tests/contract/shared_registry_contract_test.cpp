// The shared registry object on top of each backend: the rules the setup relies on for
// roots, paths, reading and writing.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/win_constants.h"
#include "setup/shared_registry.h"
#include "tests/contract/contract_environment.h"

namespace {

using platform::RootKey;

class SharedRegistryContract : public ::testing::Test {
 protected:
  void SetUp() override {
    env = MakeContractEnvironment();
    scratch = env->ScratchKey();
  }

  // The raw key below the scratch key, or null.
  std::unique_ptr<platform::RegistryKey> Raw(const std::string& below = "") {
    std::unique_ptr<platform::RegistryKey> key;
    env->Machine().Reg.Root(RootKey::CurrentUser)
        ->OpenSubKey(below.empty() ? scratch : scratch + "\\" + below, false, key);
    return key;
  }

  void Plant(const std::string& name, std::uint32_t type, const std::string& data) {
    std::unique_ptr<platform::RegistryKey> key;
    ASSERT_EQ(env->Machine().Reg.Root(RootKey::CurrentUser)->OpenSubKey(scratch, true, key),
              win::kErrorSuccess);
    ASSERT_EQ(key->SetValue(name, type, data), win::kErrorSuccess);
  }

  std::unique_ptr<ContractEnvironment> env;
  std::string scratch;
  TRegistry registry;
};

TEST_F(SharedRegistryContract, SelectingTheSameRootKeepsTheKeyAndTheOtherClosesIt) {
  EXPECT_EQ(registry.RootKey(), RootKey::CurrentUser);
  ASSERT_TRUE(registry.OpenKey(scratch, true));
  registry.SetRootKey(RootKey::CurrentUser);
  EXPECT_TRUE(registry.HasCurrentKey());
  registry.SetRootKey(RootKey::LocalMachine);
  EXPECT_FALSE(registry.HasCurrentKey());
  EXPECT_EQ(registry.RootKey(), RootKey::LocalMachine);
}

TEST_F(SharedRegistryContract, PathsAreRelativeToTheOpenKeyUnlessTheyStartWithABackslash) {
  ASSERT_TRUE(registry.OpenKey(scratch, true));  // no key open yet: from the root
  ASSERT_TRUE(registry.OpenKey("Child", true));  // below the open key
  registry.WriteInteger("Level", 2);
  ASSERT_TRUE(registry.OpenKey("\\" + scratch + "\\Sibling", true));  // from the root again
  registry.WriteInteger("Level", 3);

  ASSERT_NE(Raw("Child"), nullptr);
  ASSERT_NE(Raw("Sibling"), nullptr);
  EXPECT_EQ(Raw("Child\\Sibling"), nullptr);
  std::string data;
  ASSERT_EQ(Raw("Child")->QueryValue("Level", nullptr, &data), win::kErrorSuccess);
  EXPECT_EQ(data, std::string("\x02\0\0\0", 4));
}

TEST_F(SharedRegistryContract, AFailedOpenKeepsTheOpenKey) {
  ASSERT_TRUE(registry.OpenKey(scratch, true));
  EXPECT_FALSE(registry.OpenKey("Missing", false));
  EXPECT_FALSE(registry.OpenKey("\\" + scratch + "\\Missing", false));
  ASSERT_TRUE(registry.HasCurrentKey());
  registry.WriteString("StillHere", "yes");
  std::string data;
  ASSERT_EQ(Raw()->QueryValue("StillHere", nullptr, &data), win::kErrorSuccess);
  EXPECT_EQ(data, std::string("yes\0", 4));
  EXPECT_EQ(Raw("Missing"), nullptr);
}

TEST_F(SharedRegistryContract, WritesStoreExactBytes) {
  ASSERT_TRUE(registry.OpenKey(scratch, true));
  registry.WriteString("Text", "C:\\Program Files\\Tarvelon\\Uninstall.exe");
  registry.WriteString("Russian", "\xD2\xE0\xF0\xE2\xE5\xEB\xEE\xED");
  registry.WriteString("Empty", "");
  registry.WriteInteger("One", 1);
  registry.WriteInteger("MinusTwo", -2);
  struct Row {
    const char* Name;
    std::uint32_t Type;
    std::string Data;
  };
  const Row rows[] = {
      {"Text", win::kRegSz, std::string("C:\\Program Files\\Tarvelon\\Uninstall.exe") + '\0'},
      {"Russian", win::kRegSz, std::string("\xD2\xE0\xF0\xE2\xE5\xEB\xEE\xED\0", 9)},
      {"Empty", win::kRegSz, std::string(1, '\0')},
      {"One", win::kRegDword, std::string("\x01\0\0\0", 4)},
      {"MinusTwo", win::kRegDword, std::string("\xFE\xFF\xFF\xFF", 4)},
  };
  auto raw = Raw();
  ASSERT_NE(raw, nullptr);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    std::uint32_t type = 0;
    std::string data;
    ASSERT_EQ(raw->QueryValue(row.Name, &type, &data), win::kErrorSuccess);
    EXPECT_EQ(type, row.Type);
    EXPECT_EQ(data, row.Data);
  }
}

TEST_F(SharedRegistryContract, ReadStringTakesTextUpToItsFirstNulUnexpanded) {
  Plant("Plain", win::kRegSz, std::string("C:\\Apps\0", 8));
  Plant("Expand", win::kRegExpandSz, std::string("%ProgramFiles%\\Tarvelon\0", 24));
  Plant("Embedded", win::kRegSz, std::string("first\0second\0", 13));
  ASSERT_TRUE(registry.OpenKey(scratch, false));

  EXPECT_EQ(registry.ReadString("Plain"), "C:\\Apps");
  EXPECT_EQ(registry.ReadString("Expand"), "%ProgramFiles%\\Tarvelon");
  EXPECT_EQ(registry.ReadString("Embedded"), "first");
  EXPECT_EQ(registry.ReadString("Missing"), "");
}

TEST_F(SharedRegistryContract, ReadStringRejectsOtherTypes) {
  Plant("Number", win::kRegDword, std::string("\x01\0\0\0", 4));
  Plant("Blob", win::kRegBinary, std::string("ab", 2));
  ASSERT_TRUE(registry.OpenKey(scratch, false));
  EXPECT_THROW(registry.ReadString("Number"), ERegistryError);
  EXPECT_THROW(registry.ReadString("Blob"), ERegistryError);
}

TEST_F(SharedRegistryContract, ValueExistsNeedsAnOpenKey) {
  Plant("Present", win::kRegSz, std::string("x\0", 2));
  EXPECT_FALSE(registry.ValueExists("Present"));
  ASSERT_TRUE(registry.OpenKey(scratch, false));
  EXPECT_TRUE(registry.ValueExists("Present"));
  EXPECT_TRUE(registry.ValueExists("PRESENT"));
  EXPECT_FALSE(registry.ValueExists("Absent"));
  registry.CloseKey();
  EXPECT_FALSE(registry.ValueExists("Present"));
}

TEST_F(SharedRegistryContract, WritingWithoutAnOpenKeyRaises) {
  EXPECT_THROW(registry.WriteString("Name", "text"), ERegistryError);
  EXPECT_THROW(registry.WriteInteger("Name", 1), ERegistryError);
}

}  // namespace
