// Message boxes that every backend shares: Enter answers with the box's default button.
#include <gtest/gtest.h>

#include <string>

#include "platform/win_constants.h"
#include "tests/contract/contract_environment.h"

namespace {

TEST(DialogsContract, EnterGivesTheDefaultButton) {
  struct Row {
    const char* name;
    std::uint32_t flags;
    int answer;
  };
  const Row rows[] = {
      {"ok", win::kMbOk, win::kIdOk},
      {"ok cancel, second", win::kMbOkCancel | win::kMbDefButton2, win::kIdCancel},
      {"yes no", win::kMbYesNo, win::kIdYes},
      {"yes no, second", win::kMbYesNo | win::kMbDefButton2, win::kIdNo},
      {"yes no cancel, third", win::kMbYesNoCancel | win::kMbDefButton3, win::kIdCancel},
      {"abort retry ignore, second", win::kMbAbortRetryIgnore | win::kMbDefButton2,
       win::kIdRetry},
      {"abort retry ignore, third", win::kMbAbortRetryIgnore | win::kMbDefButton3,
       win::kIdIgnore},
      {"retry cancel, second", win::kMbRetryCancel | win::kMbDefButton2, win::kIdCancel},
      // The program's own flag words.
      {"error box", 2097168, win::kIdOk},
      {"Russian question", 8228, win::kIdYes},
      {"English question", 8484, win::kIdNo},
      {"older-file question", 270372, win::kIdYes},
  };
  auto env = MakeContractEnvironment();
  platform::Dialogs& boxes = env->Machine().Boxes;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string caption = std::string("Tarvelon contract: ") + row.name;
    env->PressEnterOnNextBox(caption);
    EXPECT_EQ(boxes.MessageBox("Enter answers this box.", caption, row.flags), row.answer);
    env->PressEnterOnNextBox(caption);
    EXPECT_EQ(boxes.MessageBoxEx("Enter answers this box.", caption, row.flags,
                                 win::kLangRussianNeutral),
              row.answer);
  }
}

}  // namespace
