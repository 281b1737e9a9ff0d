#include "prefs/title_colors.h"

#include <cstdio>

#include "platform/settings_file.h"
#include "platform/sjis.h"

namespace vendaro::prefs {
namespace {

struct Entry {
  const char* nameUtf8;
  TitleColor color;
};

constexpr TitleColor rgb(uint32_t value) { return TitleColor{false, 0, value}; }
constexpr TitleColor sys(int index) { return TitleColor{true, index, 0}; }

// Every name but three begins with one ideographic blank; the blanks inside a name are
// ideographic blanks too. Stored files hold these names byte for byte.
const Entry kEntries[] = {
    {"　空　色", rgb(0x00FFFF)},
    {"　黒　色", rgb(0x000000)},
    {"　青　色", rgb(0x0000FF)},
    {"　灰色（暗）", rgb(0x808080)},
    {"　赤紫色", rgb(0xFF00FF)},
    {"　灰　色", rgb(0x808080)},
    {"　緑　色", rgb(0x008000)},
    {"　淡緑色", rgb(0x00FF00)},
    {"　灰色（明）", rgb(0xC0C0C0)},
    {"　栗　色", rgb(0x800000)},
    {"　濃紺色", rgb(0x000080)},
    {"　黄緑色", rgb(0x808000)},
    {"　紫　色", rgb(0x800080)},
    {"　赤　色", rgb(0xFF0000)},
    {"　銀　色", rgb(0xC0C0C0)},
    {"　暗青緑色", rgb(0x008080)},
    {"　白　色", rgb(0xFFFFFF)},
    {"　黄　色", rgb(0xFFFF00)},
    {"　Windows デスクトップの背景色", sys(1)},
    {"　アクティブウィンドウのタイトルバーの色", sys(2)},
    {"アクティブでないウィンドウのタイトルバーの色", sys(3)},
    {"　メニューの背景色", sys(4)},
    {"　ウィンドウの背景色", sys(5)},
    {"　ウィンドウ枠の色", sys(6)},
    {"　メニュー上の文字の色", sys(7)},
    {"　ウィンドウ内の文字の色", sys(8)},
    {"アクティブウィンドウのタイトルバーの文字の色", sys(9)},
    {"　アクティブウィンドウの境界色", sys(10)},
    {"　アクティブでないウィンドウの境界色", sys(11)},
    {"　アプリケーション作業領域の色", sys(12)},
    {"　選択した文字の背景色", sys(13)},
    {"　選択した文字の色", sys(14)},
    {"　ボタン面の色", sys(15)},
    {"　ボタンのシャドウキャストの色", sys(16)},
    {"　淡色表示されている文字の色", sys(17)},
    {"　ボタンの文字の色", sys(18)},
    {"アクティブでないウィンドウのタイトルバーの文字の色", sys(19)},
    {"　ボタンの強調表示の色", sys(20)},
    {"　3次元表示要素の暗い影", sys(21)},
    {"　3次元表示要素の明るい色（明るい面の縁用）", sys(22)},
    {"　ツールチップコントロールの文字の色", sys(23)},
    {"　ツールチップコントロールの背景色", sys(24)},
};

const std::size_t kCaptionPanelCount = 30;

}  // namespace

const std::vector<std::string>& titleColorNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> out;
    for (const Entry& e : kEntries) out.push_back(sjis::lit(e.nameUtf8));
    return out;
  }();
  return names;
}

std::optional<TitleColor> lookupTitleColor(const std::string& name) {
  const auto& names = titleColorNames();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return kEntries[i].color;
  return std::nullopt;
}

std::string defaultTitleColorName() { return sjis::lit("アクティブでないウィンドウのタイトルバーの色"); }

std::string loadTitleColorName(const std::string& programDirectory) {
  SettingsLines file = SettingsLines::load(joinPath(programDirectory, titleColorFileName()));
  return file.exists() ? file.text(0) : defaultTitleColorName();
}

void saveTitleColorName(const std::string& programDirectory, const std::string& name) {
  writeSettingsLines(joinPath(programDirectory, titleColorFileName()), {name});
}

const std::vector<std::string>& titlePanelNames() {
  static const std::vector<std::string> names = [] {
    // Panel group and its panel count: the caption rows 1 to 7, then the group strips 8 to 16.
    const int counts[] = {2, 3, 1, 1, 4, 5, 5, 5, 3, 5, 5, 3, 4, 10, 9, 8};
    std::vector<std::string> captions, cells;
    for (int group = 1; group <= 16; ++group) {
      for (int i = 1; i <= counts[group - 1]; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Panel%dTitle%d", group, i);
        (group >= 8 && i >= 2 ? cells : captions).push_back(name);
      }
    }
    captions.insert(captions.end(), cells.begin(), cells.end());
    return captions;
  }();
  return names;
}

bool isStripCharacterPanel(const std::string& panelName) {
  const auto& names = titlePanelNames();
  // The list holds the 30 caption panels first, then the 43 one-character panels.
  for (std::size_t i = kCaptionPanelCount; i < names.size(); ++i)
    if (names[i] == panelName) return true;
  return false;
}

}  // namespace vendaro::prefs
