#include "prefs/ui/RestorePos.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/ui/Application.h"
#include "platform/user_registry.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace vendaro::prefs::ui {
namespace {

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

/// A scratch configuration directory, and windows that carry the placement memory.
class RestorePosTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    saved_ = old ? old : "";
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
  }
  void TearDown() override {
    if (saved_.empty()) unsetenv("XDG_CONFIG_HOME");
    else setenv("XDG_CONFIG_HOME", saved_.c_str(), 1);
  }

  /// A window designed at (50, 60) with size 400 x 300.
  static std::unique_ptr<QWidget> window(PlacedWindow which) {
    auto w = std::make_unique<QWidget>();
    w->setGeometry(50, 60, 400, 300);
    TRestorePos::attach(w.get(), which);
    return w;
  }
  void store(const std::string& key, const std::string& lines) {
    std::string path = config.file("Software");
    ::mkdir(path.c_str(), 0700);
    std::ofstream(path + "/" + key + ".ini", std::ios::binary) << lines;
  }

  test::TempDir config;

 private:
  std::string saved_;
};

TEST_F(RestorePosTest, FirstStartKeepsTheDesignAndExitCreatesTheValues) {
  auto w = window(PlacedWindow::PrintWidth);
  w->show();
  EXPECT_EQ(w->geometry(), QRect(50, 60, 400, 300));
  w->setGeometry(70, 80, 500, 350);
  w.reset();
  EXPECT_EQ(slurp(config.file("Software/Vendaro.ini")),
            "[\\Software\\Vendaro]\r\nInDataLen PosX=70\r\nInDataLen PosY=80\r\nInDataLen Width=500\r\n"
            "InDataLen Height=350\r\n");
  w = window(PlacedWindow::PrintWidth);
  w->show();
  EXPECT_EQ(w->geometry(), QRect(70, 80, 500, 350));
}

TEST_F(RestorePosTest, AMaximizedWindowStoresAndReopensInItsNormalRectangle) {
  auto w = window(PlacedWindow::LayoutEditor);
  w->show();
  w->setGeometry(30, 40, 420, 310);
  w->showMaximized();
  QApplication::processEvents();
  ASSERT_TRUE(w->isMaximized());
  ASSERT_NE(w->geometry(), QRect(30, 40, 420, 310));
  w.reset();
  w = window(PlacedWindow::LayoutEditor);
  w->show();
  EXPECT_FALSE(w->isMaximized());
  EXPECT_EQ(w->geometry(), QRect(30, 40, 420, 310));
}

TEST_F(RestorePosTest, EachStoredValueAppliesOnItsOwn) {
  store("Vendaro", "PostPosX=abc\r\nPostPosY=90\r\nPostWidth=333\r\nPostHeight=222\r\n");
  auto w = window(PlacedWindow::PostalImport);
  w->show();
  EXPECT_EQ(w->geometry(), QRect(50, 90, 333, 222));  // the left edge keeps its designed value
}

TEST_F(RestorePosTest, TheTwoTableWindowsOpenWhereTheOneClosedLastWas) {
  // Whichever is destroyed first, the place kept is that of the window the user closed last.
  struct Case {
    const char* what;
    bool taxClosedLast;
    bool taxDestroyedFirst;
  } cases[] = {
      {"insurance closed last, destroyed last", false, false},
      {"insurance closed last, destroyed first", false, true},
      {"vehicle tax closed last, destroyed last", true, false},
      {"vehicle tax closed last, destroyed first", true, true},
  };
  const QRect taxPlace(110, 100, 430, 300), insurancePlace(210, 120, 450, 320);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto tax = window(PlacedWindow::VehicleTaxTable);
    auto insurance = window(PlacedWindow::InsuranceTable);
    tax->show();
    insurance->show();
    tax->setGeometry(taxPlace);
    insurance->setGeometry(insurancePlace);
    QWidget* first = c.taxClosedLast ? insurance.get() : tax.get();
    QWidget* last = c.taxClosedLast ? tax.get() : insurance.get();
    first->close();
    last->close();
    if (c.taxDestroyedFirst) {
      tax.reset();
      insurance.reset();
    } else {
      insurance.reset();
      tax.reset();
    }
    const QRect expected = c.taxClosedLast ? taxPlace : insurancePlace;
    auto reopened = window(c.taxClosedLast ? PlacedWindow::InsuranceTable : PlacedWindow::VehicleTaxTable);
    reopened->show();
    EXPECT_EQ(reopened->geometry(), expected);
  }
}

TEST_F(RestorePosTest, AWindowLeftOpenAtExitCountsAsClosedLast) {
  auto tax = window(PlacedWindow::VehicleTaxTable);
  auto insurance = window(PlacedWindow::InsuranceTable);
  tax->show();
  tax->setGeometry(110, 100, 430, 300);
  tax->close();
  insurance->show();
  insurance->setGeometry(210, 120, 450, 320);
  insurance.reset();  // still open when the program ends
  tax.reset();
  tax = window(PlacedWindow::VehicleTaxTable);
  tax->show();
  EXPECT_EQ(tax->geometry(), QRect(210, 120, 450, 320));
}

TEST_F(RestorePosTest, APositionOffEveryScreenComesBackOntoThePrimaryScreen) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  struct Case {
    const char* what;
    const char* stored;
    QRect expected;
  } cases[] = {
      {"far right", "CarData PosX=9000\r\nCarData PosY=100\r\n", QRect(0, 0, 400, 300)},
      {"minimized spot", "CarData PosX=-32000\r\nCarData PosY=-32000\r\n", QRect(0, 0, 400, 300)},
      {"partly visible stays", "CarData PosX=-200\r\nCarData PosY=-100\r\n", QRect(-200, -100, 400, 300)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    store("Vendaro", c.stored);
    auto w = window(PlacedWindow::Main);
    w->show();
    QRect expected = c.expected;
    if (expected.topLeft() == QPoint(0, 0))
      expected.moveTo(screen.x() + (screen.width() - 400) / 2, screen.y() + (screen.height() - 300) / 2);
    EXPECT_EQ(w->geometry(), expected);
    EXPECT_TRUE(screen.intersects(w->geometry()));
  }
}

TEST_F(RestorePosTest, AWindowNeverShownStoresNothing) {
  // Something stored before stays as it was.
  store("Vendaro", "PrintPosX=11\r\nPrintPosY=22\r\nPrintWidth=333\r\nPrintHeight=244\r\n");
  window(PlacedWindow::LayoutEditor).reset();
  UserRegistryKey key = *UserRegistryKey::open("\\Software\\Vendaro");
  EXPECT_EQ(key.readInteger("PrintPosX"), 11);
  EXPECT_EQ(key.readInteger("PrintHeight"), 244);
  // Nothing stored before: nothing is stored now either, so the window opens where it was
  // designed to the first time it is shown, not in the screen's corner.
  window(PlacedWindow::PostalImport).reset();
  key = *UserRegistryKey::open("\\Software\\Vendaro");
  EXPECT_EQ(key.readInteger("PostPosX"), std::nullopt);
  EXPECT_EQ(key.readInteger("PostWidth"), std::nullopt);
  window(PlacedWindow::VehicleTaxTable).reset();
  EXPECT_FALSE(UserRegistryKey::open("\\Software\\Brisvane"));
}

TEST_F(RestorePosTest, PropertiesDefaultsAndSwitches) {
  QWidget w;
  w.setGeometry(50, 60, 400, 300);
  auto* rp = new TRestorePos(&w);
  EXPECT_TRUE(rp->property("Enabled").toBool());
  EXPECT_EQ(rp->property("KeyName").toString(), QString());
  EXPECT_EQ(rp->property("PosXValueName").toString(), QStringLiteral("PosX"));
  EXPECT_EQ(rp->property("HeightValueName").toString(), QStringLiteral("Height"));
  EXPECT_EQ(rp->Options(), TRestorePos::rpRestoreSize | TRestorePos::rpSaveNormal);
  // Without rpRestoreSize only the position comes back.
  store("Own", "PosX=5\r\nPosY=6\r\nWidth=111\r\nHeight=99\r\n");
  rp->setProperty("KeyName", QStringLiteral("Own"));
  rp->setOptions(TRestorePos::rpSaveNormal);
  w.show();
  EXPECT_EQ(w.geometry(), QRect(5, 6, 400, 300));
  // Disabled: nothing is written.
  rp->setEnabled(false);
  w.move(70, 70);
  delete rp;
  EXPECT_EQ(slurp(config.file("Software/Own.ini")), "PosX=5\r\nPosY=6\r\nWidth=111\r\nHeight=99\r\n");
  // Only a window can own one.
  QWidget child(&w);
  EXPECT_THROW(TRestorePos{&child}, std::invalid_argument);
  EXPECT_THROW(TRestorePos{nullptr}, std::invalid_argument);
}

TEST_F(RestorePosTest, TheMainWindowRemembersItsPlace) {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  auto form = app::ui::createWindows(dir.path(), dir.file("CARDATA"));
  form->Timer1->stop();
  form->show();
  form->setGeometry(20, 30, 900, 640);
  form.reset();
  UserRegistryKey key = *UserRegistryKey::open("\\Software\\Vendaro");
  EXPECT_EQ(key.readInteger("CarData PosX"), 20);
  EXPECT_EQ(key.readInteger("CarData Width"), 900);
  form = app::ui::createWindows(dir.path(), dir.file("CARDATA"));
  form->Timer1->stop();
  form->show();
  EXPECT_EQ(form->geometry(), QRect(20, 30, 900, 640));
  EXPECT_FALSE(form->isMaximized());

  // Maximized at exit: maximized again at the next start, and un-maximizing gives back the
  // rectangle it had before it was maximized.
  form->showMaximized();
  QApplication::processEvents();
  ASSERT_TRUE(form->isMaximized());
  form.reset();
  key = *UserRegistryKey::open("\\Software\\Vendaro");
  EXPECT_EQ(key.readInteger("CarData PosX"), 20);
  EXPECT_EQ(key.readInteger("CarData Height"), 640);
  form = app::ui::createWindows(dir.path(), dir.file("CARDATA"));
  form->Timer1->stop();
  form->show();
  QApplication::processEvents();
  EXPECT_TRUE(form->isMaximized());
  EXPECT_EQ(form->normalGeometry(), QRect(20, 30, 900, 640));
  form->showNormal();
  QApplication::processEvents();
  EXPECT_EQ(form->geometry(), QRect(20, 30, 900, 640));
  form.reset();
  form = app::ui::createWindows(dir.path(), dir.file("CARDATA"));
  form->Timer1->stop();
  form->show();
  EXPECT_FALSE(form->isMaximized());
}

}  // namespace
}  // namespace vendaro::prefs::ui
