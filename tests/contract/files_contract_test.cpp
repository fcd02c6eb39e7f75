// File and folder behaviour that every backend shares, inside the test's scratch folder.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/contract/contract_environment.h"

namespace {

using platform::ShareMode;

bool WriteFile(platform::Files& files, const std::string& path, const std::string& bytes) {
  auto file = files.CreateForWrite(path);
  return file && file->Write(bytes.data(), bytes.size());
}

std::string ReadAll(platform::Files& files, const std::string& path) {
  std::string out = "sentinel";
  EXPECT_TRUE(files.ReadBytes(path, 0, 1 << 20, ShareMode::Read, out)) << path;
  return out;
}

TEST(FilesContract, ExistenceTellsFilesFromFolders) {
  auto env = MakeContractEnvironment();
  platform::Files& files = env->Machine().Fs;
  const std::string scratch = env->ScratchFolder();
  ASSERT_TRUE(files.CreateDirectory(scratch + "Folder"));
  ASSERT_TRUE(WriteFile(files, scratch + "File.txt", "x"));

  EXPECT_FALSE(files.FileExists(scratch + "Folder"));
  EXPECT_TRUE(files.DirectoryExists(scratch + "Folder"));
  EXPECT_TRUE(files.DirectoryExists(scratch + "Folder\\"));
  EXPECT_TRUE(files.FileExists(scratch + "File.txt"));
  EXPECT_TRUE(files.FileExists(scratch + "FILE.TXT"));
  EXPECT_FALSE(files.DirectoryExists(scratch + "File.txt"));
  EXPECT_FALSE(files.FileExists(scratch + "File.txt\\")) << "a trailing backslash names a folder";
  EXPECT_FALSE(files.FileExists(scratch + "Nothing.txt"));
  EXPECT_FALSE(files.DirectoryExists(scratch + "Nothing"));
}

TEST(FilesContract, CreateDirectoryMakesOneLevelOnly) {
  auto env = MakeContractEnvironment();
  platform::Files& files = env->Machine().Fs;
  const std::string scratch = env->ScratchFolder();

  EXPECT_FALSE(files.CreateDirectory(scratch + "Parent\\Child"));
  EXPECT_FALSE(files.DirectoryExists(scratch + "Parent"));
  EXPECT_TRUE(files.CreateDirectory(scratch + "Parent"));
  EXPECT_FALSE(files.CreateDirectory(scratch + "Parent")) << "it exists already";
  EXPECT_TRUE(files.CreateDirectory(scratch + "Parent\\Child\\"));
  EXPECT_TRUE(files.DirectoryExists(scratch + "Parent\\Child"));
}

TEST(FilesContract, MoveFileRenamesButNeverOverwrites) {
  auto env = MakeContractEnvironment();
  platform::Files& files = env->Machine().Fs;
  const std::string scratch = env->ScratchFolder();
  ASSERT_TRUE(WriteFile(files, scratch + "new.exe0", "new"));
  ASSERT_TRUE(WriteFile(files, scratch + "new.exe", "old"));

  EXPECT_FALSE(files.MoveFile(scratch + "new.exe0", scratch + "new.exe"));
  EXPECT_EQ(ReadAll(files, scratch + "new.exe"), "old");
  EXPECT_EQ(ReadAll(files, scratch + "new.exe0"), "new");

  ASSERT_TRUE(files.DeleteFile(scratch + "new.exe"));
  EXPECT_TRUE(files.MoveFile(scratch + "new.exe0", scratch + "new.exe"));
  EXPECT_FALSE(files.FileExists(scratch + "new.exe0"));
  EXPECT_EQ(ReadAll(files, scratch + "new.exe"), "new");
}

TEST(FilesContract, CreateForWriteTruncatesAndNeedsTheFolder) {
  auto env = MakeContractEnvironment();
  platform::Files& files = env->Machine().Fs;
  const std::string scratch = env->ScratchFolder();
  ASSERT_TRUE(WriteFile(files, scratch + "data.bin", "a much longer content"));
  ASSERT_TRUE(WriteFile(files, scratch + "data.bin", "ab"));
  EXPECT_EQ(ReadAll(files, scratch + "data.bin"), "ab");

  {
    auto file = files.CreateForWrite(scratch + "pieces.bin");
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->Write("12", 2));
    EXPECT_TRUE(file->Write(std::string("3\0" "4", 3).data(), 3));
  }
  EXPECT_EQ(ReadAll(files, scratch + "pieces.bin"), std::string("123\0" "4", 5));

  EXPECT_EQ(files.CreateForWrite(scratch + "NoFolder\\data.bin"), nullptr);
  EXPECT_FALSE(files.DirectoryExists(scratch + "NoFolder"));
}

TEST(FilesContract, ReadBytesFromAnOffset) {
  auto env = MakeContractEnvironment();
  platform::Files& files = env->Machine().Fs;
  const std::string path = env->ScratchFolder() + "header.pak";
  ASSERT_TRUE(WriteFile(files, path, "0123456789"));
  struct Row {
    std::uint64_t Offset;
    std::size_t MaxBytes;
    const char* Expected;
  };
  const Row rows[] = {{6, 2, "67"}, {8, 4, "89"}, {10, 2, ""}, {50, 2, ""}, {0, 3, "012"}};
  for (const Row& row : rows) {
    SCOPED_TRACE("offset " + std::to_string(row.Offset));
    std::string out = "sentinel";
    EXPECT_TRUE(files.ReadBytes(path, row.Offset, row.MaxBytes, ShareMode::None, out))
        << "reading past the end is no failure";
    EXPECT_EQ(out, row.Expected);
  }
  std::string out;
  EXPECT_FALSE(files.ReadBytes(env->ScratchFolder() + "missing.pak", 0, 2, ShareMode::None, out));
}

TEST(FilesContract, AFileHeldWithoutSharingCannotBeOpenedOrDeleted) {
  auto env = MakeContractEnvironment();
  platform::Files& files = env->Machine().Fs;
  const std::string path = env->ScratchFolder() + "busy.exe";
  ASSERT_TRUE(WriteFile(files, path, "busy"));
  {
    auto held = env->HoldOpen(path);
    std::string out;
    EXPECT_FALSE(files.ReadBytes(path, 0, 4, ShareMode::None, out));
    EXPECT_FALSE(files.DeleteFile(path));
    EXPECT_EQ(files.CreateForWrite(path), nullptr);
    EXPECT_TRUE(files.FileExists(path)) << "existence does not need an open";
  }
  std::string out;
  EXPECT_TRUE(files.ReadBytes(path, 0, 4, ShareMode::None, out));
  EXPECT_EQ(out, "busy");
  EXPECT_TRUE(files.DeleteFile(path));
  EXPECT_FALSE(files.FileExists(path));
}

TEST(FilesContract, DeleteFileRefusesFoldersAndMissingFiles) {
  auto env = MakeContractEnvironment();
  platform::Files& files = env->Machine().Fs;
  const std::string scratch = env->ScratchFolder();
  ASSERT_TRUE(files.CreateDirectory(scratch + "Folder"));
  EXPECT_FALSE(files.DeleteFile(scratch + "Folder"));
  EXPECT_TRUE(files.DirectoryExists(scratch + "Folder"));
  EXPECT_FALSE(files.DeleteFile(scratch + "missing.txt"));
}

TEST(FilesContract, MoveFileReplacingPutsTheFileInTheTargetsPlace) {
  auto env = MakeContractEnvironment();
  platform::Files& files = env->Machine().Fs;
  const std::string scratch = env->ScratchFolder();
  ASSERT_TRUE(WriteFile(files, scratch + "app.exe0", "new"));
  ASSERT_TRUE(WriteFile(files, scratch + "app.exe", "installed, longer"));

  EXPECT_TRUE(files.MoveFileReplacing(scratch + "app.exe0", scratch + "app.exe"));
  EXPECT_EQ(ReadAll(files, scratch + "app.exe"), "new");
  EXPECT_FALSE(files.FileExists(scratch + "app.exe0"));

  // No target yet: a plain rename.
  ASSERT_TRUE(WriteFile(files, scratch + "fresh.exe0", "fresh"));
  EXPECT_TRUE(files.MoveFileReplacing(scratch + "fresh.exe0", scratch + "fresh.exe"));
  EXPECT_EQ(ReadAll(files, scratch + "fresh.exe"), "fresh");

  // The temporary file was taken away: the installed file stays.
  EXPECT_FALSE(files.MoveFileReplacing(scratch + "gone.exe0", scratch + "app.exe"));
  EXPECT_EQ(ReadAll(files, scratch + "app.exe"), "new");
}

// Whatever stops the replacing move, both files stay as they were.
TEST(FilesContract, MoveFileReplacingRefusedLeavesBothFiles) {
  enum class Obstacle { HeldWithoutSharing, HeldSharingDelete, ReadOnly, Folder };
  const std::pair<const char*, Obstacle> rows[] = {
      {"held without sharing", Obstacle::HeldWithoutSharing},
      {"held with delete sharing", Obstacle::HeldSharingDelete},
      {"read-only", Obstacle::ReadOnly},
      {"a folder", Obstacle::Folder},
  };
  for (const auto& [name, obstacle] : rows) {
    SCOPED_TRACE(name);
    auto env = MakeContractEnvironment();
    platform::Files& files = env->Machine().Fs;
    const std::string target = env->ScratchFolder() + "app.exe";
    const std::string temp = target + "0";
    ASSERT_TRUE(WriteFile(files, temp, "new"));
    std::unique_ptr<HeldFile> held;
    if (obstacle == Obstacle::Folder) {
      ASSERT_TRUE(files.CreateDirectory(target));
    } else {
      ASSERT_TRUE(WriteFile(files, target, "installed"));
      if (obstacle == Obstacle::HeldWithoutSharing) held = env->HoldOpen(target);
      if (obstacle == Obstacle::HeldSharingDelete) held = env->HoldOpenSharingDelete(target);
      if (obstacle == Obstacle::ReadOnly) {
        ASSERT_TRUE(env->MakeReadOnly(target));
      } else {
        ASSERT_NE(held, nullptr);
      }
    }

    if (obstacle == Obstacle::ReadOnly && env->ReplacesReadOnlyFiles()) {
      EXPECT_TRUE(files.MoveFileReplacing(temp, target)) << "the known gap has gone";
      continue;
    }
    EXPECT_FALSE(files.MoveFileReplacing(temp, target));
    held.reset();
    EXPECT_EQ(ReadAll(files, temp), "new");
    if (obstacle == Obstacle::Folder)
      EXPECT_TRUE(files.DirectoryExists(target));
    else
      EXPECT_EQ(ReadAll(files, target), "installed");
  }
}

// Deleting a file that another program holds with delete sharing succeeds, but the name stays
// until that program lets go: a rename onto it fails meanwhile.
TEST(FilesContract, DeleteOfAFileHeldWithDeleteSharingWaitsForItsHolder) {
  auto env = MakeContractEnvironment();
  platform::Files& files = env->Machine().Fs;
  const std::string target = env->ScratchFolder() + "app.exe";
  ASSERT_TRUE(WriteFile(files, target, "installed"));
  ASSERT_TRUE(WriteFile(files, target + "0", "new"));
  {
    auto held = env->HoldOpenSharingDelete(target);
    ASSERT_NE(held, nullptr);
    EXPECT_TRUE(files.DeleteFile(target));
    EXPECT_FALSE(files.MoveFile(target + "0", target));
    EXPECT_EQ(files.CreateForWrite(target), nullptr);
  }
  EXPECT_FALSE(files.FileExists(target));
  EXPECT_TRUE(files.MoveFile(target + "0", target));
  EXPECT_EQ(ReadAll(files, target), "new");
}

TEST(FilesContract, FlushKeepsWhatWasWritten) {
  auto env = MakeContractEnvironment();
  platform::Files& files = env->Machine().Fs;
  const std::string path = env->ScratchFolder() + "flushed.bin";
  {
    auto file = files.CreateForWrite(path);
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->Flush()) << "nothing written yet";
    ASSERT_TRUE(file->Write("abc", 3));
    EXPECT_TRUE(file->Flush());
    ASSERT_TRUE(file->Write("d", 1));
  }
  EXPECT_EQ(ReadAll(files, path), "abcd");
}

}  // namespace
