// Lookups in language support files on the simulated machine: the active file first, then
// the default file of the UI language; texts of several lines; placeholders.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_machine.h"
#include "setup/setup_state.h"
#include "ui/language_file_format.h"
#include "ui/language_files.h"

namespace {

const char kLanguageFolder[] = "C:\\Program Files\\Tarvelon\\language\\";

class LanguageFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    SetupState.InstallDir = "C:\\Program Files\\Tarvelon\\";
    SetupState.ShortNameEn = "Tarvelon";
    SetupState.UiRussian = false;
    Put("english.lng",
        "[filesinstall]\r\nInstalling files\r\n"
        "[soundquest]\r\nQuestion\r\n"
        "[olderfilever]\r\nThe file %1\r\nis newer.\r\nReplace it?\r\n\r\nnot part of it\r\n"
        "[onlydefault]\r\nfirst\r\nsecond\r\n");
    Put("russian.lng", "[soundquest]\r\nVopros\r\n[onlydefault]\r\npervaya\r\n");
    Put("german.lng",
        "; the active language\r\n"
        "[soundquest]\r\n\r\n"  // empty value: counts as missing
        "[olderfilever]\r\nDie Datei %1\r\n  ist neuer.\r\n \t \r\nnicht dabei\r\n"
        "[format]\r\n%2 then %1 then %2, %3%12\r\n\r\n"
        "[only2]\r\nonly %2 here\r\n\r\n"
        "[last]\r\nat the end");
    Use(2);
  }
  void TearDown() override {
    DoneLanguageFiles();
    SetupState = TSetupState();
  }

  void Put(const std::string& name, const std::string& text) {
    machine.Files().PutFile(kLanguageFolder + name, text);
  }
  void Use(std::int32_t active, std::int32_t defaultEn = 0, std::int32_t defaultRu = 1) {
    TLanguageTable table;
    table.Files = {"english.lng", "russian.lng", "german.lng"};
    table.Active = active;
    table.DefaultEn = defaultEn;
    table.DefaultRu = defaultRu;
    table.MessageLanguage = 0x0407;
    SetLanguageTable(table);
  }
  std::vector<std::string> BoxTexts() {
    std::vector<std::string> texts;
    for (const auto& box : machine.Dialogs().Boxes()) texts.push_back(box.Text);
    return texts;
  }

  sim::SimMachine machine;
};

TEST(LanguageFileFormat, HeaderMatching) {
  struct Row {
    const char* line;
    bool header;
  };
  const Row rows[] = {
      {"[filesinstall]", true},        {"[FILESINSTALL]", true},
      {"[FilesInstall]   ", true},     {"[filesinstall]\t", true},
      {"[filesinstall] extra", true},  {"[filesinstall]x", true},
      {" [filesinstall]", false},      {"\t[filesinstall]", false},
      {"[files install]", false},      {"[filesinstal]", false},
      {"[filesinstalls]", false},      {"filesinstall", false},
      {"[filesinstall", false},        {"", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    EXPECT_EQ(IsLangHeader(row.line, "filesinstall"), row.header);
  }
  // Only A to Z are folded: Windows-1251 capitals do not match their small letters.
  EXPECT_FALSE(IsLangHeader("[\xc0]", "\xe0"));
  EXPECT_TRUE(IsLangHeader("[\xe0]", "\xe0"));
}

TEST_F(LanguageFiles, StateOfAProductWithoutATable) {
  DoneLanguageFiles();
  EXPECT_EQ(ActiveLanguage, -1);
  EXPECT_EQ(DefaultLanguageRu, -1);
  EXPECT_EQ(DefaultLanguageEn, -1);
  EXPECT_EQ(MessageLanguageId, 0xFFFF);
  EXPECT_TRUE(::LanguageFiles.empty());
}

TEST_F(LanguageFiles, SingleLinesFromTheActiveFileThenTheDefault) {
  EXPECT_EQ(MessageLanguageId, 0x0407);
  EXPECT_EQ(LangString("olderfilever"), "Die Datei %1");
  EXPECT_EQ(LangString("soundquest"), "Question");        // empty value in the active file
  EXPECT_EQ(LangString("filesinstall"), "Installing files");  // missing in the active file
  EXPECT_EQ(LangString("last"), "at the end");
  EXPECT_EQ(LangString("FORMAT"), "%2 then %1 then %2, %3%12");
  EXPECT_EQ(LangString("nowhere"), "");
  EXPECT_EQ(LangText("nowhere", false), "");
  EXPECT_EQ(LangFormat("nowhere", {"a"}, false), "");

  SetupState.UiRussian = true;  // the default file follows the UI language
  EXPECT_EQ(LangString("soundquest"), "Vopros");
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(LanguageFiles, TextsOfSeveralLines) {
  EXPECT_EQ(LangText("olderfilever", false), "Die Datei %1\r\n  ist neuer.");
  EXPECT_EQ(LangText("olderfilever", true), "  ist neuer.");
  EXPECT_EQ(LangText("last", false), "at the end");
  EXPECT_EQ(LangText("last", true), "");
  // From the default file when the active one lacks the key; the whole text.
  EXPECT_EQ(LangText("onlydefault", false), "first\r\nsecond");
  SetupState.UiRussian = true;
  EXPECT_EQ(LangText("onlydefault", false), "pervaya");
  EXPECT_TRUE(BoxTexts().empty());
}

// Each multi-line lookup clears the marker when it ends: a later single-line lookup that
// falls back gets one line, not the default file's whole text.
TEST_F(LanguageFiles, SingleLineAfterAMultiLineFallback) {
  EXPECT_EQ(LangText("onlydefault", false), "first\r\nsecond");
  EXPECT_EQ(LangString("onlydefault"), "first");
  EXPECT_EQ(LangText("olderfilever", false), "Die Datei %1\r\n  ist neuer.");
  EXPECT_EQ(LangString("onlydefault"), "first");
}

TEST_F(LanguageFiles, Placeholders) {
  const std::string path = "C:\\Program Files\\Tarvelon\\Tarvelon.exe";
  EXPECT_EQ(LangFormat("olderfilever", {path}, false), "Die Datei " + path + "\r\n  ist neuer.");
  // "%2" is looked at only once "%1" was there.
  EXPECT_EQ(LangFormat("only2", {"a", "b"}, false), "only %2 here");
  // One argument: "%1" replaced, the rest stays; "%12" is "%1" followed by a 2.
  EXPECT_EQ(LangFormat("format", {"A"}, false), "%2 then A then %2, %3A2");
  // An argument that brings "%2" in has it replaced in the next step.
  EXPECT_EQ(LangFormat("format", {"<%2>", "B", "C"}, false), "B then <B> then B, C<B>2");
  EXPECT_EQ(LangFormat("format", {"1", "2", "3", "4"}, true), "");
}

TEST_F(LanguageFiles, UnreadableActiveFile) {
  machine.Files().Remove(kLanguageFolder + std::string("german.lng"));
  EXPECT_EQ(LangString("filesinstall"), "");  // no fallback after a failure
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Can't handle the language support file german.lng"});
  EXPECT_EQ(LangText("onlydefault", false), "");
  EXPECT_EQ(BoxTexts().size(), 2u);  // one box per lookup
}

TEST_F(LanguageFiles, ActiveFileHeldWithoutSharing) {
  auto hold = machine.Files().HoldOpen(kLanguageFolder + std::string("german.lng"),
                                       platform::ShareMode::None);
  EXPECT_EQ(LangString("olderfilever"), "");
  EXPECT_EQ(BoxTexts().size(), 1u);
}

TEST_F(LanguageFiles, UnreadableDefaultFile) {
  machine.Files().Remove(kLanguageFolder + std::string("english.lng"));
  EXPECT_EQ(LangString("filesinstall"), "");
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Can't handle the language support file english.lng"});
  // The multi-line fallback fails at its first line and again at its continuation; the text
  // cut short is a single CR LF.
  EXPECT_EQ(LangText("onlydefault", false), "\r\n");
  EXPECT_EQ(BoxTexts().size(), 3u);
  // The failure left no marker behind: a single line again, one box.
  EXPECT_EQ(LangString("filesinstall"), "");
  EXPECT_EQ(BoxTexts().size(), 4u);
}

TEST_F(LanguageFiles, IndicesOutsideTheTableReadNothing) {
  Use(3);
  EXPECT_EQ(LangString("soundquest"), "");
  EXPECT_EQ(LangText("olderfilever", false), "");
  Use(2, 7, 7);  // the default index lies outside
  EXPECT_EQ(LangString("filesinstall"), "");
  EXPECT_EQ(LangText("onlydefault", false), "");
  EXPECT_EQ(LangString("olderfilever"), "Die Datei %1");
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(LanguageFiles, LineEndsAndCtrlZ) {
  Put("german.lng", "[a]\nlf only\nsecond\n\n[b]\r\nlone\rcr\r\n[c]\r\nbefore\x1a\r\n[d]\r\nafter\r\n");
  EXPECT_EQ(LangText("a", false), "lf only\r\nsecond");
  EXPECT_EQ(LangString("b"), "lonecr");
  EXPECT_EQ(LangText("c", false), "before");
  EXPECT_EQ(LangString("d"), "");  // beyond the Ctrl-Z, so missing in both files
}

}  // namespace
