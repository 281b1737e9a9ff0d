#include "prefs/window_placement.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/user_registry.h"
#include "support/temp_dir.h"

namespace vendaro::prefs {
namespace {

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

/// The user's configuration directory moved into a scratch directory for one test.
class PlacementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    if (old) saved_ = old;
    hadOld_ = old != nullptr;
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
  }
  void TearDown() override {
    if (hadOld_) setenv("XDG_CONFIG_HOME", saved_.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
  }
  void spit(const std::string& relative, const std::string& content) {
    std::string path = config.file(relative);
    ::mkdir(path.substr(0, path.rfind('/')).c_str(), 0700);
    std::ofstream(path, std::ios::binary) << content;
  }

  test::TempDir config;

 private:
  std::string saved_;
  bool hadOld_ = false;
};

TEST_F(PlacementTest, KeyPathsMapToFilesUnderTheConfigurationDirectory) {
  struct Case {
    const char* key;
    const char* file;
  } cases[] = {
      {"\\Software\\Vendaro", "/Software/Vendaro.ini"},
      {"\\Software\\Brisvane", "/Software/Brisvane.ini"},
      {"\\Software\\A\\B", "/Software/A/B.ini"},
      {"\\Software\\..\\..\\x", "/Software/_/_/x.ini"},  // a key name never leaves the directory
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(userRegistryFile(c.key), config.path() + c.file);
  }
}

TEST_F(PlacementTest, NoKeyRestoresNothingAndSavingCreatesItWithTheValueNames) {
  PlacementSettings main = placementSettingsOf(PlacedWindow::Main);
  StoredPlacement none = readPlacement(main);
  EXPECT_FALSE(none.x || none.y || none.width || none.height);
  writePlacement(main, {10, -20, 800, 600});
  // The main window also keeps whether it was maximized, after the four values.
  EXPECT_EQ(slurp(config.file("Software/Vendaro.ini")),
            "[\\Software\\Vendaro]\r\nCarData PosX=10\r\nCarData PosY=-20\r\nCarData Width=800\r\n"
            "CarData Height=600\r\nCarData Maximized=0\r\n");
  StoredPlacement back = readPlacement(main);
  EXPECT_EQ(back.x, 10);
  EXPECT_EQ(back.y, -20);
  EXPECT_EQ(back.width, 800);
  EXPECT_EQ(back.height, 600);
  EXPECT_FALSE(back.maximized);
  writePlacement(main, {10, -20, 800, 600}, true);
  EXPECT_TRUE(readPlacement(main).maximized);
  EXPECT_EQ(readPlacement(main).width, 800);  // the normal size, for un-maximizing
}

TEST_F(PlacementTest, WindowsSharingAKeyKeepEachOthersValues) {
  writePlacement(placementSettingsOf(PlacedWindow::Main), {1, 2, 3, 4});
  writePlacement(placementSettingsOf(PlacedWindow::LayoutEditor), {5, 6, 7, 8});
  writePlacement(placementSettingsOf(PlacedWindow::Main), {9, 9, 9, 9});
  EXPECT_EQ(readPlacement(placementSettingsOf(PlacedWindow::LayoutEditor)).x, 5);
  EXPECT_EQ(readPlacement(placementSettingsOf(PlacedWindow::Main)).x, 9);
  // The two reference table windows share one set of values.
  writePlacement(placementSettingsOf(PlacedWindow::InsuranceTable), {300, 200, 640, 480});
  StoredPlacement tax = readPlacement(placementSettingsOf(PlacedWindow::VehicleTaxTable));
  EXPECT_EQ(tax.x, 300);
  EXPECT_EQ(tax.height, 480);
  EXPECT_TRUE(slurp(config.file("Software/Brisvane.ini")).find("FList PosX=300\r\n") != std::string::npos);
}

TEST_F(PlacementTest, EachValueIsReadOnItsOwn) {
  spit("Software/Vendaro.ini",
       "[\\Software\\Vendaro]\r\nCarData PosX=left\r\nCarData PosY= 40 \r\nCarData Width=12x\r\n"
       "CarData Height=99999999999\r\nunrelated line\r\n");
  StoredPlacement s = readPlacement(placementSettingsOf(PlacedWindow::Main));
  EXPECT_EQ(s.x, std::nullopt);
  EXPECT_EQ(s.y, 40);
  EXPECT_EQ(s.width, std::nullopt);
  EXPECT_EQ(s.height, std::nullopt);
}

TEST_F(PlacementTest, SwitchesAndKeyName) {
  PlacementSettings s;
  s.keyName = "Test";
  s.restoreSize = false;
  writePlacement(s, {1, 2, 3, 4});
  EXPECT_EQ(slurp(config.file("Software/Test.ini")), "[\\Software\\Test]\r\nPosX=1\r\nPosY=2\r\n");
  s.restoreSize = true;
  StoredPlacement sized = readPlacement(s);
  EXPECT_EQ(sized.x, 1);
  EXPECT_EQ(sized.width, std::nullopt);
  writePlacement(s, {5, 6, 7, 8});
  s.restoreSize = false;
  EXPECT_EQ(readPlacement(s).width, std::nullopt);  // stored, but not asked for
  s.enabled = false;
  EXPECT_EQ(readPlacement(s).x, std::nullopt);
  writePlacement(s, {0, 0, 0, 0});
  s.enabled = true;
  EXPECT_EQ(readPlacement(s).x, 5);
  PlacementSettings unnamed;
  writePlacement(unnamed, {1, 1, 1, 1});
  EXPECT_FALSE(std::ifstream(config.file("Software.ini")).good());
}

TEST(KeepOnScreen, OnlyARectangleOffEveryScreenIsMoved) {
  const std::vector<ScreenRect> screens = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
  const ScreenRect primary = {0, 0, 1920, 1040};
  struct Case {
    const char* what;
    ScreenRect in, out;
  } cases[] = {
      {"inside", {100, 100, 800, 600}, {100, 100, 800, 600}},
      {"partly off the left", {-700, 100, 800, 600}, {-700, 100, 800, 600}},
      {"on the second screen", {2000, 500, 800, 600}, {2000, 500, 800, 600}},
      {"right of every screen", {3200, 100, 800, 600}, {560, 220, 800, 600}},
      {"a minimized window's spot", {-32000, -32000, 160, 24}, {880, 508, 160, 24}},
      {"below the second screen", {2000, 1024, 800, 600}, {560, 220, 800, 600}},
      {"larger than the screen", {5000, 5000, 4000, 3000}, {0, 0, 4000, 3000}},
      {"at the far end of the range", {2147483000, 0, 2000, 10}, {0, 515, 2000, 10}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(keepOnScreen(c.in, screens, primary), c.out);
  }
}

}  // namespace
}  // namespace vendaro::prefs
