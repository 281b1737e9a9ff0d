// The main menu. Items whose feature belongs to a part of the program that is not there yet are
// present and disabled.

#include <QMenuBar>

#include "app/ui/EstimateForm.h"
#include "app/ui/HelpWindow.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"

namespace vendaro::app::ui {

using vendaro::ui::u8;

namespace {
struct Item {
  const char* name;     // "-" for a separator, ">" opens a submenu, "<" closes it
  const char* caption;
  const char* shortcut;
  bool enabled;
};

struct Menu {
  const char* caption;
  std::vector<Item> items;
};

const std::vector<Menu>& menus() {
  static const std::vector<Menu> all = {
      {"ﾌｧｲﾙ(&F)",
       {{"Back1", "ﾊﾞｯｸｱｯﾌﾟ(&B)", "Ctrl+B", false},
        {"ReSt1", "ﾘｽﾄｱ(&R)", "Ctrl+R", false},
        {"PostData1", "郵便番号データ読込(&Y)...", "", false},
        {"-", "", "", true},
        {"PrintB", "一覧印刷(&P)", "Ctrl+P", false},
        {"Print1", "定型印刷", "", false},
        {"Print2", "定型印刷", "", false},
        {"Print3", "定型印刷", "", false},
        {"Print4", "定型印刷", "", false},
        {"Print5", "定型印刷", "", false},
        {"Print6", "定型印刷", "", false},
        {"Print7", "定型印刷", "", false},
        {"Print8", "定型印刷", "", false},
        {"Print9", "定型印刷", "", false},
        {"Print10", "定型印刷", "", false},
        {"-", "", "", true},
        {"Exit1", "終了(&X)", "", true}}},
      {"編集(&E)",
       {{"N3", "現在のデータを複写", "F9", false},
        {"N16", "データ整理", "", false},
        {"Refresh1", "最新の情報に更新(&U)", "F5", true},
        {"-", "", "", true},
        {">E1", "ﾘｽﾄ修正(&E)", "", true},
        {"N7", "ミッション", "", false},
        {"N9", "車両価格", "", false},
        {"N10", "頭金", "", false},
        {"N11", "販売費用", "", false},
        {"N14", "法定費用", "", false},
        {"N12", "自動車税", "", false},
        {"N13", "保険", "", false},
        {"N15", "プラン", "", false},
        {"List1", "一覧", "", false},
        {"N20", "自動車税", "", false},
        {"N21", "自賠責", "", false},
        {"N22", "クレジット", "", false},
        {"<", "", "", true},
        {"N6", "自社情報(&J)", "", false},
        {"N8", "消費税(&Z)", "", false},
        {"S1", "印刷等桁数設定(&S)", "", false},
        {"T1", "ﾀｲﾄﾙ色変更(&T)", "", false},
        {">Settle0", "決済日", "", true},
        {"settle1", "月末", "", true},
        {"settle2", "　５日", "", true},
        {"settle3", "１０日", "", true},
        {"settle4", "１５日", "", true},
        {"settle5", "２０日", "", true},
        {"settle6", "２５日", "", true},
        {"<", "", "", true},
        {"N18", "パスワード設定", "", false},
        {">N19", "バックアップ方法", "", true},
        {"Limit1", "期間限定", "", true},
        {"<", "", "", true},
        {"-", "", "", true},
        {"PrintSB", "一覧印刷設定", "", false},
        {"PrintS1", "印刷設定", "", false},
        {"PrintS2", "印刷順序変更", "", false}}},
      {"検索(&S)",
       {{"Find2", "検索(&F)", "Ctrl+F", false},
        {"FindNext1", "次を検索(&S)", "F3", false},
        {"FindBack1", "前を検索(&B)", "Shift+F3", false}}},
      {"ﾍﾙﾌﾟ(&H)", {{"Contents1", "目次(&C)", "", true}, {"-", "", "", true}, {"Var1", "ﾊﾞｰｼﾞｮﾝ情報（&A)", "", true}}},
  };
  return all;
}
}  // namespace

void TEstimateDataForm::buildMenu() {
  auto* bar = new QMenuBar(this);
  bar->setObjectName(QStringLiteral("EstimateMainMenu"));
  for (const Menu& m : menus()) {
    QMenu* top = bar->addMenu(u8(m.caption));
    QMenu* current = top;
    for (const Item& item : m.items) {
      std::string name = item.name;
      if (name == "-") {
        current->addSeparator();
      } else if (name == "<") {
        current = top;
      } else if (name[0] == '>') {
        current = top->addMenu(u8(item.caption));
        current->setObjectName(QString::fromLatin1(item.name + 1));
        menu_.insert(current->objectName(), current->menuAction());
      } else {
        QAction* action = current->addAction(u8(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        if (*item.shortcut) action->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
        action->setEnabled(item.enabled);
        menu_.insert(action->objectName(), action);
      }
    }
  }
  setMenuBar(bar);

  connect(menu_.value(QStringLiteral("Exit1")), &QAction::triggered, this, [this] { close(); });
  for (int i = 0; i < 6; ++i) {
    QAction* settle = menu_.value(QStringLiteral("settle%1").arg(i + 1));
    settle->setCheckable(true);
    int day = book::kSettlementDays[i];
    connect(settle, &QAction::triggered, this, [this, day] { chooseSettlementDay(day); });
  }
  menu_.value(QStringLiteral("Limit1"))->setCheckable(true);
  connect(menu_.value(QStringLiteral("Refresh1")), &QAction::triggered, this, [this] { refreshView(); });
  connect(menu_.value(QStringLiteral("Contents1")), &QAction::triggered, this, [this] {
    auto* help = findChild<THelpWindow*>();
    if (!help) help = new THelpWindow(this);
    help->showContents();
  });
  connect(menu_.value(QStringLiteral("Var1")), &QAction::triggered, this, [this] {
    if (versionDialog_) vendaro::ui::dialogs().exec(*versionDialog_);
  });
}

}  // namespace vendaro::app::ui
