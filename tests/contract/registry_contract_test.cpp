// Raw registry behaviour that every backend shares. Everything happens below the scratch key
// under HKEY_CURRENT_USER, which any user may write.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/win_constants.h"
#include "tests/contract/contract_environment.h"

namespace {

using platform::RegistryKey;
using platform::RootKey;

std::unique_ptr<RegistryKey> CurrentUser(ContractEnvironment& env) {
  return env.Machine().Reg.Root(RootKey::CurrentUser);
}

std::unique_ptr<RegistryKey> Open(ContractEnvironment& env, const std::string& path, bool create,
                                  long* status = nullptr) {
  std::unique_ptr<RegistryKey> key;
  const long result = CurrentUser(env)->OpenSubKey(path, create, key);
  if (status) *status = result;
  return key;
}

struct Stored {
  long Status = -1;
  std::uint32_t Type = 0xDEADBEEF;
  std::string Data = "sentinel";
};

Stored Query(RegistryKey& key, const std::string& name) {
  Stored stored;
  stored.Status = key.QueryValue(name, &stored.Type, &stored.Data);
  return stored;
}

TEST(RegistryContract, CreateMakesMissingParentsAndOpensByEitherRoute) {
  auto env = MakeContractEnvironment();
  const std::string scratch = env->ScratchKey();
  long status = -1;
  auto scratchKey = Open(*env, scratch, true, &status);
  ASSERT_EQ(status, win::kErrorSuccess);
  ASSERT_NE(scratchKey, nullptr);

  std::unique_ptr<RegistryKey> deep;
  ASSERT_EQ(scratchKey->OpenSubKey("One\\Two\\Three", true, deep), win::kErrorSuccess);
  ASSERT_NE(deep, nullptr);
  ASSERT_EQ(deep->SetValue("Marker", win::kRegDword, std::string("\x2A\0\0\0", 4)),
            win::kErrorSuccess);

  // The same key, reached from the root with the whole path and from a parent relatively.
  auto absolute = Open(*env, scratch + "\\One\\Two\\Three", false, &status);
  ASSERT_EQ(status, win::kErrorSuccess);
  EXPECT_EQ(Query(*absolute, "Marker").Data, std::string("\x2A\0\0\0", 4));
  std::unique_ptr<RegistryKey> middle;
  ASSERT_EQ(scratchKey->OpenSubKey("One", false, middle), win::kErrorSuccess);
  std::unique_ptr<RegistryKey> relative;
  ASSERT_EQ(middle->OpenSubKey("Two\\Three", false, relative), win::kErrorSuccess);
  EXPECT_EQ(Query(*relative, "Marker").Status, win::kErrorSuccess);
}

TEST(RegistryContract, TrailingBackslashAndLetterCaseDoNotMatter) {
  auto env = MakeContractEnvironment();
  const std::string scratch = env->ScratchKey();
  auto created = Open(*env, scratch + "\\Shell Folders", true);
  ASSERT_NE(created, nullptr);
  ASSERT_EQ(created->SetValue("Programs", win::kRegSz, std::string("P\0", 2)), win::kErrorSuccess);

  long status = -1;
  auto withBackslash = Open(*env, scratch + "\\Shell Folders\\", false, &status);
  EXPECT_EQ(status, win::kErrorSuccess);
  ASSERT_NE(withBackslash, nullptr);
  EXPECT_EQ(Query(*withBackslash, "PROGRAMS").Status, win::kErrorSuccess);

  auto otherCase = Open(*env, scratch + "\\SHELL FOLDERS", false, &status);
  EXPECT_EQ(status, win::kErrorSuccess);
  ASSERT_NE(otherCase, nullptr);
  EXPECT_EQ(Query(*otherCase, "programs").Data, std::string("P\0", 2));
}

TEST(RegistryContract, OpeningAMissingKeyFailsAndCreatesNothing) {
  auto env = MakeContractEnvironment();
  const std::string scratch = env->ScratchKey();
  ASSERT_NE(Open(*env, scratch, true), nullptr);

  long status = -1;
  auto missing = Open(*env, scratch + "\\Missing\\Deeper", false, &status);
  EXPECT_EQ(status, win::kErrorFileNotFound);
  EXPECT_EQ(missing, nullptr);
  Open(*env, scratch + "\\Missing", false, &status);
  EXPECT_EQ(status, win::kErrorFileNotFound) << "a failed open must not leave a parent behind";
}

TEST(RegistryContract, ValuesKeepTheirTypeAndExactBytes) {
  auto env = MakeContractEnvironment();
  auto key = Open(*env, env->ScratchKey(), true);
  ASSERT_NE(key, nullptr);
  struct Row {
    const char* Label;
    const char* Name;
    std::uint32_t Type;
    std::string Data;
  };
  const Row rows[] = {
      {"text with its NUL", "Text", win::kRegSz, std::string("abc\0", 4)},
      {"Windows-1251 text", "Russian", win::kRegSz,
       std::string("\xD2\xE0\xF0\xE2\xE5\xEB\xEE\xED\0", 9)},
      {"expandable text stays raw", "Expand", win::kRegExpandSz,
       std::string("%SystemRoot%\\x\0", 15)},
      {"text with an embedded NUL", "Embedded", win::kRegSz, std::string("ab\0cd\0", 6)},
      {"dword, little-endian", "Number", win::kRegDword, std::string("\x04\x03\x02\x01", 4)},
      {"binary with zero bytes", "Blob", win::kRegBinary, std::string("\0\xFF\0\x01", 4)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Label);
    ASSERT_EQ(key->SetValue(row.Name, row.Type, row.Data), win::kErrorSuccess);
    const Stored stored = Query(*key, row.Name);
    EXPECT_EQ(stored.Status, win::kErrorSuccess);
    EXPECT_EQ(stored.Type, row.Type);
    EXPECT_EQ(stored.Data, row.Data);
  }
}

TEST(RegistryContract, RewritingAValueReplacesTypeAndData) {
  auto env = MakeContractEnvironment();
  auto key = Open(*env, env->ScratchKey(), true);
  ASSERT_NE(key, nullptr);
  ASSERT_EQ(key->SetValue("Value", win::kRegSz, std::string("a long text\0", 12)),
            win::kErrorSuccess);
  ASSERT_EQ(key->SetValue("VALUE", win::kRegDword, std::string("\x01\0\0\0", 4)),
            win::kErrorSuccess);
  const Stored stored = Query(*key, "value");
  EXPECT_EQ(stored.Type, win::kRegDword);
  EXPECT_EQ(stored.Data, std::string("\x01\0\0\0", 4));
}

TEST(RegistryContract, MissingValueGivesFileNotFound) {
  auto env = MakeContractEnvironment();
  auto key = Open(*env, env->ScratchKey(), true);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->QueryValue("Absent", nullptr, nullptr), win::kErrorFileNotFound);
  std::uint32_t type = 0;
  std::string data;
  EXPECT_EQ(key->QueryValue("Absent", &type, &data), win::kErrorFileNotFound);
  // Asking for neither type nor data still tells whether the value exists.
  ASSERT_EQ(key->SetValue("Present", win::kRegSz, std::string("x\0", 2)), win::kErrorSuccess);
  EXPECT_EQ(key->QueryValue("Present", nullptr, nullptr), win::kErrorSuccess);
}

}  // namespace
