// The full-screen frontend as a person uses it: real programs on a
// pseudo-terminal, keys typed, the screen read cell by cell.
#include <gtest/gtest.h>

#include "tests/e2e_support.h"
#include "testing/interactive_runner.h"
#include "testing/pty_screen.h"

namespace {

using orvik_testing::PtyScreen;

std::map<std::string, std::string> ScreenEnv(const orvik_testing::Sandbox& box) {
  std::map<std::string, std::string> env = orvik_testing::ConsoleEnv(box);
  env["ORVIK_UI"] = "screen";
  return env;
}

bool TranscriptHas(const orvik_testing::Sandbox& box, const std::string& line) {
  for (const std::string& l : orvik_testing::Lines(box.Transcript())) {
    if (l == line) return true;
  }
  return false;
}

class ScreenSample : public ::testing::Test {
 protected:
  std::unique_ptr<PtyScreen> Start(const std::vector<std::string>& args, int rows = 24, int cols = 80,
                                   std::map<std::string, std::string> extra = {}) {
    std::map<std::string, std::string> env = ScreenEnv(box);
    for (auto& [k, v] : extra) env[k] = v;
    auto screen = std::make_unique<PtyScreen>(UI_SAMPLE_PATH, args, env, box.root, rows, cols);
    // The key line is the last row drawn: the whole page is there.
    EXPECT_TRUE(screen->WaitFor([&] {
      return screen->Find("Sample Settings").first >= 0 && screen->Find("Esc cancel").first == rows - 1;
    })) << screen->Text();
    return screen;
  }
  orvik_testing::Sandbox box;
};

TEST_F(ScreenSample, LongListIsFilteredScrolledAndSelectedByKeys) {
  auto s = Start({"big", "20000"});
  s->Type("\t\t");  // Folder, Count, then the list
  ASSERT_TRUE(s->WaitForText("/ filter")) << s->Text();
  s->Type(PtyScreen::kEnd);
  ASSERT_TRUE(s->WaitForText("[ ] PROC20000")) << s->Text();
  EXPECT_LT(s->Find("PROC1 ").first, 0) << "the top of the list scrolled away\n" << s->Text();
  s->Type("/19999");
  ASSERT_TRUE(s->WaitForText("1 of 20000")) << s->Text();
  s->Type("\r ");
  ASSERT_TRUE(s->WaitFor([&] { return s->Find("[x] PROC19999").first >= 0 && s->Find("PROC20000").first < 0; }))
      << s->Text();
  // Type-ahead after clearing the filter jumps to the first match.
  s->Type("\x1b");
  ASSERT_TRUE(s->WaitForText("[ ] PROC1 ")) << s->Text();
  s->Type("proc77");
  ASSERT_TRUE(s->WaitForText("PROC77 ")) << s->Text();
  s->Type("\r");
  EXPECT_EQ(s->WaitForEnd(), 0);
  EXPECT_TRUE(TranscriptHas(box, "answer toggle 1004 \"PROC19999\"")) << box.Transcript();
  EXPECT_TRUE(TranscriptHas(box, "end 100 1")) << box.Transcript();
}

TEST_F(ScreenSample, BoxOverThePageThenEscapeCancelsThePage) {
  auto s = Start({});
  s->Type("\x1bk");  // Alt+K presses As&k
  ASSERT_TRUE(s->WaitFor([&] { return s->Find("Keep the settings?").first >= 0 && s->Find("[No]").first >= 0; }))
      << s->Text();
  EXPECT_GE(s->Find("Sample Settings").first, 0) << "the page stays beneath the box\n" << s->Text();
  EXPECT_GE(s->Find("[Yes]").first, 0) << s->Text();
  s->Type("y");
  ASSERT_TRUE(s->WaitForText("kept")) << s->Text();
  EXPECT_LT(s->Find("Keep the settings?").first, 0) << s->Text();
  s->Type("\x1b");
  EXPECT_EQ(s->WaitForEnd(), 0);
  EXPECT_TRUE(TranscriptHas(box, "answer Yes")) << box.Transcript();
  EXPECT_TRUE(TranscriptHas(box, "answer close")) << box.Transcript();
  EXPECT_TRUE(TranscriptHas(box, "end 100 2")) << box.Transcript();
  EXPECT_TRUE(s->LineModeRestored());
  EXPECT_FALSE(s->AltScreen());
}

TEST_F(ScreenSample, ResizeRedrawsThePageCentred) {
  auto s = Start({});
  int before = s->Find("Sample Settings").second;
  s->Type("typed");  // into the Folder field
  ASSERT_TRUE(s->WaitForText("typed")) << s->Text();
  s->Resize(30, 120);
  // Centred anew, and the text being typed survives.
  ASSERT_TRUE(s->WaitFor([&] {
    return s->Find("Sample Settings").second > before + 10 && s->Find("C:\\ORVIK\\typed").first >= 0;
  })) << s->Text();
  s->Type("\r");
  EXPECT_EQ(s->WaitForEnd(), 0);
  EXPECT_TRUE(TranscriptHas(box, "answer set 1001 \"C:\\\\ORVIK\\\\typed\"")) << box.Transcript();
}

TEST_F(ScreenSample, ColourUnlessNoColorIsSet) {
  auto coloured = [](PtyScreen& s) {
    for (int r = 0; r < s.Rows(); ++r) {
      for (int c = 0; c < s.Cols(); ++c) {
        orvik_testing::Cell cell = s.At(r, c);
        if (!cell.defaultBg || !cell.defaultFg) return true;
      }
    }
    return false;
  };
  auto reversed = [](PtyScreen& s) {
    for (int r = 0; r < s.Rows(); ++r) {
      for (int c = 0; c < s.Cols(); ++c) {
        if (s.At(r, c).reverse) return true;
      }
    }
    return false;
  };
  {
    auto s = Start({});
    EXPECT_TRUE(coloured(*s)) << s->Text();
    s->Type("\x1b");
    s->WaitForEnd();
  }
  auto s = Start({}, 24, 80, {{"NO_COLOR", "1"}});
  EXPECT_FALSE(coloured(*s));
  EXPECT_TRUE(reversed(*s)) << "focus and key line in reverse video";
  s->Type("\x1b");
  EXPECT_EQ(s->WaitForEnd(), 0);
}

// The whole installation from the sample CD by keys alone.
TEST(ScreenInstallation, SampleCdByKeys) {
  orvik_testing::Sandbox box;
  e2e::SampleMedia media{box};
  std::string medium = media.MakeCd(box.root + "/medium");
  box.MapDrive('a', medium);
  e2e::MakeTargetFolders(box);
  // orvik_run waits for the installer that setup.exe leaves running (on a
  // terminal of its own, the installer would lose it with setup.exe).
  std::map<std::string, std::string> env = ScreenEnv(box);
  env["PATH"] = box.root;  // no less
  const std::string record = box.root + "/recorded.txt";
  env["ORVIK_RECORD"] = record;
  PtyScreen s(orvik_testing::BinDir() + "/orvik_run", {"--drive", "a:=" + medium, "A:\\setup.exe"}, env, box.root,
              24, 80);
  // The bootstrap stages in one handler: its bar moves all the same.
  ASSERT_TRUE(s.WaitFor([&] {
    return s.Find("Creating Temporary Files").first >= 0 && s.Find(" 0%").first < 0 && s.Find("%").first >= 0;
  })) << s.Text();
  ASSERT_TRUE(s.WaitForText("Welcome to ORVIK")) << s.Text();
  s.Type("\r");
  ASSERT_TRUE(s.WaitForText("Confirm Target Directories")) << s.Text();
  s.Type("\r");
  ASSERT_TRUE(s.WaitForText("Unable to change permission")) << s.Text();
  s.Type("\r");
  ASSERT_TRUE(s.WaitForText("Procedure Selection")) << s.Text();
  s.Type("/DMM 45\r ");
  ASSERT_TRUE(s.WaitForText("[x] DMM 45A")) << s.Text();  // its aliases come with it
  s.Type("\x1b");  // clears the filter
  ASSERT_TRUE(s.WaitForText("[ ] Bench Supply 60")) << s.Text();
  s.Type("/Counter 220\r ");
  ASSERT_TRUE(s.WaitForText("[x] Counter 220B")) << s.Text();
  s.Type("\x1bn");
  ASSERT_TRUE(s.WaitForText("Finish")) << s.Text();
  // View ReadMe.txt and Quit: without less on the PATH the built-in pager
  // shows the read-me on the terminal; q ends it, and with it the run.
  s.Type("\x1bv");
  ASSERT_TRUE(s.WaitForText("ORVIK Sample Procedure Set")) << s.Text();
  s.Type("q");
  EXPECT_EQ(s.WaitForEnd(), 0) << s.Text();
  const e2e::Installed installed = e2e::DmmAndCounter();
  e2e::ExpectInstalled(box, media.source, installed);
  EXPECT_TRUE(TranscriptHas(box, "answer toggle 1014 \"DMM 45\"")) << box.Transcript();
  EXPECT_TRUE(s.LineModeRestored());
  EXPECT_FALSE(s.AltScreen()) << s.Text();

  // The session recorded as it went replays unattended on another
  // workstation to the same index and files.
  orvik_testing::Sandbox other;
  e2e::MakeTargetFolders(other);
  orvik_testing::RunResult r =
      orvik_testing::RunProgram(orvik_testing::BinDir() + "/orvik_run", {"--drive", "a:=" + medium, "A:\\setup.exe"},
                              other.ScriptEnv(orvik_testing::ReadFile(record)), other.root);
  ASSERT_EQ(r.exitStatus, 0) << r.err << orvik_testing::ReadFile(record) << other.Transcript();
  e2e::ExpectInstalled(other, media.source, installed);
}

// Two disks: the copy worker opens Insert Disk over the running progress
// window; the transcript is the one the other frontends write.
TEST(ScreenInstallation, TwoDisksWithTheWorkersWindowOverTheProgress) {
  orvik_testing::Sandbox box;
  e2e::SampleMedia media{box};
  std::vector<std::string> disks = media.MakeTwoDisks(box.root + "/floppies");
  ASSERT_EQ(disks.size(), 2u);
  box.MapDrive('a', disks[0]);
  e2e::MakeTargetFolders(box);
  PtyScreen s(orvik_testing::BinDir() + "/orvik_run", {"A:\\setup.exe"}, ScreenEnv(box), box.root, 24, 80);
  auto windows = [&](const std::string& id) { return box.TranscriptCount("window " + id + " "); };
  ASSERT_TRUE(s.WaitForText("Welcome to ORVIK")) << s.Text();
  s.Type("\r");
  ASSERT_TRUE(s.WaitForText("Confirm Target Directories")) << s.Text();
  s.Type("\r");
  ASSERT_TRUE(s.WaitForText("Unable to change permission")) << s.Text();
  s.Type("\r");
  ASSERT_TRUE(s.WaitForText("Procedure Selection")) << s.Text();
  s.Type("\x1b" "a");  // Select &All, then its box
  ASSERT_TRUE(s.WaitFor([&] { return box.TranscriptCount("box ") == 2; })) << s.Text();
  s.Type("\r");
  ASSERT_TRUE(s.WaitFor([&] { return box.TranscriptCount("answer OK") == 2; })) << s.Text();
  s.Type("\x1b" "n");
  // The progress window stays beneath the worker's window.
  ASSERT_TRUE(s.WaitFor([&] {
    return windows("1048") == 1 && s.Find("Please insert Disk2").first >= 0 && s.Find("Copying Files...").first >= 0;
  })) << s.Text() << box.Transcript();
  s.Type("\r");  // disk 1 is still in: asked again
  ASSERT_TRUE(s.WaitFor([&] { return windows("1048") == 2 && s.Find("Please insert Disk2").first >= 0; }))
      << s.Text() << box.Transcript();
  box.MapDrive('a', disks[1]);
  s.Type("\r");
  ASSERT_TRUE(s.WaitForText("Completed Procedure Installation")) << s.Text();
  s.Type("\x1b");
  EXPECT_EQ(s.WaitForEnd(), 0) << s.Text();
  std::string t = box.Transcript();
  EXPECT_EQ(e2e::WindowIds(t),
            (std::vector<std::string>{"102", "1050", "105", "108", "1046", "1048", "1048", "1049", "107"}))
      << t;
  EXPECT_EQ(e2e::LinesStartingWith(t, "end 1048 "), (std::vector<std::string>{"end 1048 1", "end 1048 1"}));
  EXPECT_TRUE(orvik_testing::Exists(box.OnC("C:\\orvik\\proc\\proc.dir")));
  EXPECT_TRUE(s.LineModeRestored());
}

}  // namespace
