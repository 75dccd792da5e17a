// The window reference: message texts read as ovtext.mdb's source gives them,
// and the table of boxes in step with the templates and the texts.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "resources/kelmar_resources.h"
#include "resources/setup_resources.h"
#include "resources/window_reference.h"

namespace resources {
namespace {

using Strings = std::vector<std::string>;

TEST(WindowReference, MessageTextsWithEscapesAndFaults) {
  Strings problems;
  std::map<int, std::string> texts =
      ParseMessageTexts("# comment\n\n9220 One\\n\\ttwo \\\\ %s\r\n903 x\nnot a message\n903 again\n", &problems);
  EXPECT_EQ(texts, (std::map<int, std::string>{{9220, "One\n\ttwo \\ %s"}, {903, "x"}}));
  EXPECT_EQ(problems, (Strings{"line 5 is not \"<number> <text>\"", "line 6: message 903 is given twice"}));
}

TEST(WindowReference, EveryBoxNamesAKnownWindowAndText) {
  std::ifstream in(std::string(ORVIK_SOURCE_DIR) + "/text/ovtext.txt");
  std::ostringstream source;
  source << in.rdbuf();
  Strings problems;
  std::string reference = WindowReference(ParseMessageTexts(source.str(), &problems), &problems);
  EXPECT_EQ(problems, Strings{});
  // Without the texts every numbered box is reported.
  Strings missing;
  WindowReference({}, &missing);
  ASSERT_FALSE(missing.empty());
  EXPECT_NE(missing[0].find(": message "), std::string::npos) << missing[0];
  EXPECT_NE(reference.find("### 108 \"ORVIK Procedure Installation - Procedure Selection\""), std::string::npos);
}

// Pages, answer files and the frontends find a control by its id: no id may
// stand for two controls of one window.
TEST(WindowTemplates, ControlIdsAreUniqueWithinEachWindow) {
  for (const ui::ResourceModule* module : {&Kelmar(), &resources::Setup()}) {
    for (const auto& [id, dialog] : module->dialogs) {
      std::set<int> seen;
      for (const ui::ControlTemplate& control : dialog.controls) {
        if (control.id == -1) continue;
        EXPECT_TRUE(seen.insert(control.id).second) << "window " << id << ", control " << control.id;
      }
    }
  }
  EXPECT_EQ(Kelmar().dialogs.size(), 15u);
}

}  // namespace
}  // namespace resources
