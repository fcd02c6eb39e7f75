// Path helpers and the mapping from file-list entries to payload resources and targets.
#include <gtest/gtest.h>

#include "install/install_files.h"
#include "setup/folders.h"

namespace {

TEST(Paths, AddBackslashAppendsOnlyWhereMissing) {
  struct Row { const char* in; const char* out; };
  const Row rows[] = {{"C:", "C:\\"}, {"C:\\", "C:\\"}, {"", ""}, {"C", "C\\"},
                      {"C:\\Program Files", "C:\\Program Files\\"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.in);
    std::string path = row.in;
    AddBackslash(path);
    EXPECT_EQ(path, row.out);
  }
}

TEST(Paths, StripBackslashRemovesExactlyOne) {
  EXPECT_EQ(StripBackslash("C:\\Program Files\\Tarvelon\\"), "C:\\Program Files\\Tarvelon");
  EXPECT_EQ(StripBackslash("C:\\Program Files\\Tarvelon"), "C:\\Program Files\\Tarvelon");
  EXPECT_EQ(StripBackslash("C:\\a\\\\"), "C:\\a\\");
  EXPECT_EQ(StripBackslash(""), "");
  EXPECT_EQ(StripBackslash("\\"), "");
}

TEST(Paths, AbsolutePathsHaveADriveOrAServer) {
  EXPECT_TRUE(IsAbsolutePath("C:\\x"));
  EXPECT_TRUE(IsAbsolutePath("\\\\server\\share\\x"));
  EXPECT_FALSE(IsAbsolutePath("Tarvelon\\"));
  EXPECT_FALSE(IsAbsolutePath("\\Tarvelon\\"));
  EXPECT_FALSE(IsAbsolutePath("C:Tarvelon"));
  EXPECT_FALSE(IsAbsolutePath(""));
}

TEST(Paths, FolderOfUninstallString) {
  struct Row { const char* value; const char* folder; };
  const Row rows[] = {
      {"D:\\Apps\\Tarvelon\\Uninstall.exe", "D:\\Apps\\Tarvelon\\"},
      // The last character is never examined.
      {"D:\\Apps\\Tarvelon\\", "D:\\Apps\\"},
      // Quoted commands are taken as the quoted path, arguments and all dropped.
      {"\"D:\\Apps\\Tarvelon\\Uninstall.exe\"", "D:\\Apps\\Tarvelon\\"},
      {"\"D:\\My Apps\\Uninstall.exe\" /quiet", "D:\\My Apps\\"},
      {"\"D:\\Apps\\Uninstall.exe", "D:\\Apps\\"},
      // Nothing to find: the caller keeps the folder composed from Program Files.
      {"Uninstall.exe", ""},
      {"", ""},
      {"\\", ""},
      {"\\x", "\\"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.value);
    EXPECT_EQ(FolderOfUninstallString(row.value), row.folder);
  }
}

TEST(FileList, EntriesMapToResourceAndTarget) {
  const std::string dir = "C:\\Program Files\\Tarvelon\\";
  struct Row { const char* entry; const char* name; const char* type; std::string target; };
  const Row rows[] = {
      {"Tarvelon.exe", "Tarvelon", "exe", dir + "Tarvelon.exe"},
      {"Uninstall.exe", "Uninstall", "exe", dir + "Uninstall.exe"},
      {"Tarvelon.bar", "Tarvelon", "bar", dir + "Tarvelon.bar"},
      {"rus_codes.lng", "rus_codes", "lng", dir + "language\\rus_!codes.lng"},
      {"eng.lng", "eng", "lng", dir + "language\\eng.lng"},
      // Only lower-case "lng" marks a language file.
      {"RUS.LNG", "RUS", "LNG", dir + "RUS.LNG"},
      {"D:\\Other\\data.pak", "data", "pak", "D:\\Other\\data.pak"},
      {"README", "README", "", dir + "README"},
      {"archive.tar.gz", "archive.tar", "gz", dir + "archive.tar.gz"},
      {"D:\\x.y\\noext", "noext", "", "D:\\x.y\\noext"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.entry);
    const TPayloadTarget t = ResolveEntry(row.entry, dir);
    EXPECT_EQ(t.Name, row.name);
    EXPECT_EQ(t.Type, row.type);
    EXPECT_EQ(t.Target, row.target);
  }
}

TEST(FileList, CodesMarkGoesBeforeTheFirstOccurrenceInTheWholePath) {
  // "codes" in the installation folder itself is the first occurrence.
  const TPayloadTarget t = ResolveEntry("rus_codes.lng", "C:\\codes\\");
  EXPECT_EQ(t.Target, "C:\\!codes\\language\\rus_codes.lng");
}

}  // namespace
