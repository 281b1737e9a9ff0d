#include "prefs/ui/ColorDlg.h"

#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QLineEdit>
#include <fstream>
#include <gtest/gtest.h>
#include <set>

#include "app/ui/Application.h"
#include "platform/sjis.h"
#include "platform/ui/qtext.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace vendaro::prefs::ui {
namespace {

using vendaro::ui::u8;

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class TitleColourTest : public ::testing::Test {
 protected:
  void open() {
    form = app::ui::createWindows(dir.path(), dir.file("CARDATA"));
    form->Timer1->stop();
    form->show();
    QApplication::processEvents();
  }
  TColorDlg* dialog() const { return form->findChild<TColorDlg*>(); }
  /// Chooses a name through the menu item as a person would: typed into the box, then OK.
  void choose(const char* name) {
    dialogs.modals.push_back([name](QDialog& d) {
      auto& colours = dynamic_cast<TColorDlg&>(d);
      colours.ColorComboBox->lineEdit()->setText(u8(name));
      colours.OKBtn->click();
      return d.result();
    });
    form->menuItem(QStringLiteral("T1"))->trigger();
    EXPECT_TRUE(dialogs.modals.empty());
  }
  /// Every title panel's colour, by name.
  std::map<std::string, QColor> colours() const {
    std::map<std::string, QColor> out;
    for (const std::string& name : titlePanelNames()) {
      auto* panel = form->control(QString::fromStdString(name));
      out[name] = panel ? titlePanelColor(panel) : QColor();
    }
    return out;
  }
  void expectAll(const QColor& colour) {
    for (const auto& [name, c] : colours()) EXPECT_EQ(c, colour) << name;
    // What is on the screen: the background beside the caption text.
    for (const char* name : {"Panel1Title1", "Panel7Title3", "Panel14Title5"}) {
      QWidget* panel = form->control(QString::fromLatin1(name));
      QImage image = panel->grab().toImage();
      EXPECT_EQ(image.pixelColor(2, image.height() / 2), colour) << name;
    }
  }

  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<app::ui::TEstimateDataForm> form;
};

TEST_F(TitleColourTest, TheSheetHasExactlyTheSeventyThreeNamedTitlePanels) {
  open();
  std::set<std::string> marked;
  for (QWidget* w : form->findChildren<QWidget*>())
    if (w->property("titlePanel").toBool()) marked.insert(w->objectName().toStdString());
  const auto& names = titlePanelNames();
  EXPECT_EQ(marked, std::set<std::string>(names.begin(), names.end()));
  // The strips hold one character per panel after an empty first panel; "ー" is written "｜".
  struct Case {
    const char* name;
    const char* text;
  } cases[] = {{"Panel8Title1", ""},   {"Panel8Title2", "車"}, {"Panel14Title3", "｜"},
               {"Panel16Title8", "ン"}, {"Panel9Title3", "金"}, {"Panel13Title4", "車"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto* panel = form->control<QLabel>(QString::fromLatin1(c.name));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->text(), u8(c.text));
  }
}

TEST_F(TitleColourTest, WithoutTheFileThePanelsTakeTheInactiveTitleBarColour) {
  open();
  EXPECT_EQ(dialog()->ColorComboBox->currentText(), u8("アクティブでないウィンドウのタイトルバーの色"));
  EXPECT_EQ(dialog()->ColorComboBox->count(), 42);
  EXPECT_EQ(dialog()->windowTitle(), u8("ﾀｲﾄﾙ色変更"));
  EXPECT_TRUE(form->menuItem(QStringLiteral("T1"))->isEnabled());
  expectAll(systemColor(kInactiveCaptionColor));
  EXPECT_FALSE(std::ifstream(dir.file("EsTitleColor.INI")).good());  // nothing written at start
  dialog()->show();
  EXPECT_LE((dialog()->frameGeometry().center() - dialog()->screen()->availableGeometry().center()).manhattanLength(), 1);
}

TEST_F(TitleColourTest, AChosenColourAppliesAtOnceIsStoredAndReturnsAtTheNextStart) {
  struct Case {
    const char* name;
    QColor colour;
  } cases[] = {{"　赤　色", QColor(255, 0, 0)}, {"　黒　色", QColor(0, 0, 0)}, {"　空　色", QColor(0, 255, 255)}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    open();
    choose(c.name);
    expectAll(c.colour);
    EXPECT_EQ(slurp(dir.file("EsTitleColor.INI")), sjis::lit(c.name) + "\r\n");
    form.reset();
    open();
    expectAll(c.colour);
    EXPECT_EQ(dialog()->ColorComboBox->currentText(), u8(c.name));
    form.reset();
  }
}

TEST_F(TitleColourTest, ANameNotInTheListChangesNothing) {
  std::ofstream(dir.file("EsTitleColor.INI"), std::ios::binary) << sjis::lit("赤色") << "\r\n";
  open();
  // At start: the name is shown but the panels keep their designed colours.
  EXPECT_EQ(dialog()->ColorComboBox->currentText(), u8("赤色"));
  const QColor caption = systemColor(kInactiveCaptionColor), face = systemColor(kButtonFaceColor);
  for (const auto& [name, c] : colours()) EXPECT_EQ(c, isStripCharacterPanel(name) ? face : caption) << name;
  // At OK: a name with one blank too many closes the dialog and neither colours nor writes.
  std::map<std::string, QColor> before = colours();
  choose("　　赤　色");
  EXPECT_EQ(colours(), before);
  EXPECT_EQ(slurp(dir.file("EsTitleColor.INI")), sjis::lit("赤色") + "\r\n");
  EXPECT_FALSE(dialog()->isVisible());
}

TEST_F(TitleColourTest, AFileErrorIsReportedAfterThePanelsWereColoured) {
  open();
  TColorDlg colours(dir.file("no-such-directory"), form.get());
  colours.ColorComboBox->lineEdit()->setText(u8("　青　色"));
  colours.OKBtn->click();
  ASSERT_EQ(dialogs.shown.size(), 1);
  EXPECT_TRUE(dialogs.shown[0].contains(QStringLiteral("EsTitleColor.INI")));
  EXPECT_EQ(titlePanelColor(form->control(QStringLiteral("Panel10Title3"))), QColor(0, 0, 255));
}

TEST(SystemColours, EveryRoleHasAColourFromThePalette) {
  for (int i = 1; i <= 24; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(systemColor(i).isValid());
  }
  EXPECT_EQ(systemColor(kButtonFaceColor), QApplication::palette().color(QPalette::Button));
  EXPECT_FALSE(systemColor(25).isValid());
}

}  // namespace
}  // namespace vendaro::prefs::ui
