// Shell links saved through the real shell link object and read back with IShellLinkA, and
// folder trees removed with the shell's file operation.
#include <gtest/gtest.h>

#include <string>

#include "platform/machine.h"
#include "platform/win32/owners.h"
#include "platform/win32/windows_api.h"
#include "platform/win_constants.h"
#include "shell/shortcuts.h"
#include "tests/contract/contract_environment.h"

#include <objidl.h>
#include <shlobj.h>

namespace {

// What a saved link file holds, as the shell reads it back.
struct LinkOnDisk {
  bool Loaded = false;
  std::string Target;
  std::string WorkingDirectory;
  std::string Arguments;
  std::string Description;
  std::string IconPath;
  int IconIndex = -1;
};

LinkOnDisk ReadLink(const std::string& linkPath) {
  LinkOnDisk result;
  win32::ComPtr<IShellLinkA> link;
  win32::ComPtr<IPersistFile> file;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.put_void())) ||
      FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())))
    return result;
  const std::wstring wide(linkPath.begin(), linkPath.end());  // ASCII paths only here
  if (FAILED(file->Load(wide.c_str(), STGM_READ))) return result;
  result.Loaded = true;
  char text[MAX_PATH * 2];
  // SLGP_RAWPATH: the path as stored, not resolved against the file system.
  if (SUCCEEDED(link->GetPath(text, sizeof(text), nullptr, SLGP_RAWPATH))) result.Target = text;
  if (SUCCEEDED(link->GetWorkingDirectory(text, sizeof(text)))) result.WorkingDirectory = text;
  if (SUCCEEDED(link->GetArguments(text, sizeof(text)))) result.Arguments = text;
  if (SUCCEEDED(link->GetDescription(text, sizeof(text)))) result.Description = text;
  if (SUCCEEDED(link->GetIconLocation(text, sizeof(text), &result.IconIndex)))
    result.IconPath = text;
  return result;
}

// The ShowCommand field of a link file's header: a little-endian DWORD at offset 0x3C.
int StoredShowCommand(const std::string& linkPath) {
  std::string header;
  if (!platform::Os().Fs.ReadBytes(linkPath, 0x3C, 4, platform::ShareMode::Read, header) ||
      header.size() != 4)
    return -1;
  return static_cast<unsigned char>(header[0]) | static_cast<unsigned char>(header[1]) << 8 |
         static_cast<unsigned char>(header[2]) << 16 | static_cast<unsigned char>(header[3]) << 24;
}

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Env = MakeContractEnvironment();
    ComStarted = SUCCEEDED(::CoInitialize(nullptr));
    Root = Env->ScratchFolder();
  }
  void TearDown() override {
    if (ComStarted) ::CoUninitialize();
  }

  void WriteFile(const std::string& path, const std::string& bytes) {
    auto file = Env->Machine().Fs.CreateForWrite(path);
    ASSERT_TRUE(file) << path;
    ASSERT_TRUE(file->Write(bytes.data(), bytes.size()));
  }

  // The properties the setup gives every link to a program in `folder`.
  platform::ShellLinkFields ProgramLink(const std::string& folder, const std::string& linkPath) {
    platform::ShellLinkFields fields;
    fields.Target = folder + "Tarvelon.exe";
    fields.WorkingDirectory = folder;
    fields.Description = "Tarvelon Workbench";
    fields.Arguments = "";
    fields.ShowCommand = win::kSwShow;
    fields.IconPath = fields.Target;
    fields.IconIndex = 0;
    fields.LinkPath = linkPath;
    return fields;
  }

  std::unique_ptr<ContractEnvironment> Env;
  bool ComStarted = false;
  std::string Root;
};

TEST_F(ShellTest, SavedLinkReadsBackWithEveryProperty) {
  for (const std::string folderName : {"Plain", "Program Files With Spaces"}) {
    SCOPED_TRACE(folderName);
    const std::string folder = Root + folderName + "\\";
    ASSERT_TRUE(Env->Machine().Fs.CreateDirectory(folder));
    WriteFile(folder + "Tarvelon.exe", "MZ");
    const std::string linkPath = Root + folderName + ".lnk";

    // The whole path the setup takes: CreateShortcut derives the working folder.
    ASSERT_TRUE(CreateShortcut(folder + "Tarvelon.exe", linkPath, "", "Tarvelon Workbench", 0));

    const LinkOnDisk link = ReadLink(linkPath);
    ASSERT_TRUE(link.Loaded);
    EXPECT_STRCASEEQ(link.Target.c_str(), (folder + "Tarvelon.exe").c_str());
    EXPECT_EQ(link.WorkingDirectory, folder) << "the trailing backslash stays";
    EXPECT_EQ(link.Arguments, "");
    EXPECT_EQ(link.Description, "Tarvelon Workbench");
    // A link loader maps show commands other than 1, 3 and 7 to SW_SHOWNORMAL, so the
    // stored header field is what tells that SW_SHOW was saved.
    EXPECT_EQ(StoredShowCommand(linkPath), SW_SHOW);
    EXPECT_STRCASEEQ(link.IconPath.c_str(), (folder + "Tarvelon.exe").c_str());
    EXPECT_EQ(link.IconIndex, 0);
  }
}

TEST_F(ShellTest, SavingReplacesAnExistingFileOfTheLinkName) {
  const std::string linkPath = Root + "Tarvelon.lnk";
  WriteFile(Root + "Tarvelon.exe", "MZ");
  WriteFile(linkPath, std::string(4096, 'x'));

  ASSERT_EQ(Env->Machine().Sh.SaveShellLink(ProgramLink(Root, linkPath)),
            platform::LinkResult::Saved);

  const LinkOnDisk link = ReadLink(linkPath);
  ASSERT_TRUE(link.Loaded) << "the old bytes are gone";
  EXPECT_STRCASEEQ(link.Target.c_str(), (Root + "Tarvelon.exe").c_str());
}

TEST_F(ShellTest, DeleteFolderTreeRemovesANestedTreeForGood) {
  auto& fs = Env->Machine().Fs;
  const std::string group = Root + "Group With Spaces\\";
  ASSERT_TRUE(fs.CreateDirectory(group));
  ASSERT_TRUE(fs.CreateDirectory(group + "Sub"));
  ASSERT_TRUE(fs.CreateDirectory(group + "Sub\\Deeper"));
  WriteFile(group + "Tarvelon.lnk", "link");
  WriteFile(group + "Sub\\note.txt", "note");
  WriteFile(group + "Sub\\Deeper\\data.bin", std::string(1000, '\0'));
  WriteFile(Root + "Sibling.txt", "stays");

  EXPECT_TRUE(DeleteFolderTree(group));
  EXPECT_FALSE(fs.DirectoryExists(group));
  EXPECT_TRUE(fs.FileExists(Root + "Sibling.txt"));
}

TEST_F(ShellTest, AMissingFolderIsAnError) {
  EXPECT_FALSE(DeleteFolderTree(Root + "Missing\\"));
  // The shell itself reports an error for it too.
  EXPECT_NE(Env->Machine().Sh.FileOperation(win::kFoDelete, Root + "Missing" + '\0',
                                            win::kFofSilent | win::kFofNoConfirmation),
            0);
  EXPECT_TRUE(Env->Machine().Fs.DirectoryExists(Root));
}

}  // namespace
