// The estimate sheet (明細書): header rows of captions and bound memos, then two columns of
// price lines in a scrolling box, split by Splitter1, and the quoted amount at the bottom.

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QVBoxLayout>

#include "app/ui/EstimateForm.h"
#include "book/estimate_fields.h"
#include "entry/ui/YomiEd32.h"
#include "platform/sjis.h"
#include "platform/ui/qtext.h"
#include "pricing/amounts.h"

namespace vendaro::app::ui {

using vendaro::ui::toQ;
using vendaro::ui::u8;

namespace {

const int kRowHeight = 24;
const QString kTitleStyle = QStringLiteral("background-color: #BFCDDB; border: 1px solid #8A9BB0; padding: 0 3px;");

/// The field a control of the sheet shows, by the control's name.
const book::EstimateField* fieldOfControl(const QString& name) {
  for (const auto& f : book::estimateFields())
    if (name == QLatin1String(f.control)) return &f;
  return nullptr;
}

/// A shaded caption cell (a title panel).
QLabel* title(QWidget* parent, const QString& name, const QString& text, int width = 0) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setStyleSheet(kTitleStyle);
  label->setAlignment(Qt::AlignCenter);
  label->setMinimumHeight(kRowHeight);
  if (width) label->setFixedWidth(width);
  label->setProperty("titlePanel", true);
  return label;
}

/// A group strip: the group name one character per title panel, top to bottom, after an empty
/// first panel.
QWidget* strip(QWidget* parent, int panel, const QString& text) {
  auto* box = new QWidget(parent);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  QStringList cells{QString()};
  for (QChar c : text) cells << QString(c);
  for (int i = 0; i < cells.size(); ++i) {
    auto* cell = title(box, QStringLiteral("Panel%1Title%2").arg(panel).arg(i + 1), cells[i], 20);
    cell->setMinimumHeight(0);
    layout->addWidget(cell, 1);
  }
  return box;
}

/// One line of a price column: tokens left to right; "@Name" is a control, anything else a
/// caption. Columns: caption or caption box, amount, tax or months, suffix.
struct Line {
  std::vector<const char*> tokens;
};

struct Group {
  int panel;          // title panel number of the strip, 0 for lines without a strip
  const char* strip;  // the strip's text
  std::vector<Line> lines;
};

const std::vector<Group>& leftColumn() {
  static const std::vector<Group> groups = {
      {8, "車両価格",
       {{{"車両本体価格", "@DBEdit1"}},
        {{"@DBComboBox2", "@DBEdit2"}},
        {{"　　車両本体課税対象額", "@DBEdit3", "@DBEdit4"}},
        {{"　　メーカーオプション", "@DBEdit5", "@DBEdit6"}},
        {{"　　付属品・特別仕様", "@DBEdit7", "@DBEdit8"}},
        {{"@DBComboBox3", "@DBEdit9", "@DBEdit10"}}}},
      {0, "", {{{"車両価格合計", "@DBEdit11", "@DBEdit12"}}}},
      {10, "販売費用",
       {{{"検査登録手続代行費用", "@DBEdit17"}},
        {{"車庫証明手続代行費用", "@DBEdit18"}},
        {{"下取車諸手続代行費用", "@DBEdit19"}},
        {{"納車費用", "@DBEdit20"}},
        {{"廃車処理費用", "@DBEdit21"}},
        {{"預り行政書士料", "@DBEdit22"}},
        {{"@DBComboBox5", "@DBEdit23"}},
        {{"@DBComboBox6", "@DBEdit24"}},
        {{"小　　計", "@DBEdit25", "@DBEdit26"}},
        {{"預り法定費用（非課税）", "@DBEdit27"}},
        {{"　・検査登録", "@DBEdit28"}},
        {{"　・車庫証明", "@DBEdit29"}},
        {{"　・下取車", "@DBEdit30"}},
        {{"@DBComboBox7", "@DBEdit31"}}}},
      {11, "自動車税",
       {{{"自動車税", "@DBEdit32", "@DBComboBox10", "ヶ月"}},
        {{"自動車取得税", "@DBEdit33"}},
        {{"自動車重量税", "@DBEdit34"}},
        {{"下取車未納自動車税", "@DBEdit35"}},
        {{"@DBComboBox8", "@DBEdit36"}}}},
      {12, "保険",
       {{{"自賠責保険", "@DBEdit37", "@DBComboBox11", "ヶ月"}},
        {{"任意保険", "@DBEdit38"}},
        {{"@DBComboBox9", "@DBEdit39"}}}},
      {0, "", {{{"諸費用合計", "@DBEdit41", "@DBEdit42"}}, {{"合　　計", "@DBEdit44"}}}},
      {9, "頭金",
       {{{"　　頭金(現金)", "@DBEdit13"}}, {{"　　下取車価格", "@DBEdit14"}}, {{"@DBComboBox4", "@DBEdit15"}}}},
      {0, "", {{{"頭金合計", "@DBEdit16"}}}},
  };
  return groups;
}

const std::vector<Group>& rightColumn() {
  static const std::vector<Group> groups = {
      {14, "メ｜カ｜オプション",
       {{{"@DBMemo16", "@DBEdit56"}},
        {{"@DBMemo17", "@DBEdit57"}},
        {{"@DBMemo18", "@DBEdit58"}},
        {{"@DBMemo19", "@DBEdit59"}},
        {{"@DBMemo21", "@DBEdit60"}},
        {{"@DBMemo22", "@DBEdit61"}},
        {{"合　計", "@DBEdit62"}}}},
      {15, "付属品・特別仕様",
       {{{"@DBMemo23", "@DBEdit63"}},
        {{"@DBMemo24", "@DBEdit64"}},
        {{"@DBMemo25", "@DBEdit65"}},
        {{"@DBMemo26", "@DBEdit66"}},
        {{"@DBMemo27", "@DBEdit67"}},
        {{"@DBMemo28", "@DBEdit68"}},
        {{"@DBMemo29", "@DBEdit69"}},
        {{"@DBMemo9", "@DBEdit71"}},
        {{"@DBMemo10", "@DBEdit72"}},
        {{"@DBMemo11", "@DBEdit73"}},
        {{"合　計", "@DBEdit70"}}}},
      {13, "下取車",
       {{{"　車　　　種", "@DBEdit40"}},
        {{"　登録番号", "@DBEdit50"}},
        {{"　車台番号", "@DBEdit51"}},
        {{"　型　　　式", "@DBEdit52"}},
        {{"　年　　　式", "@DBEdit53"}},
        {{"　車検満期", "@DBEdit54"}},
        {{"　走行距離", "@DBEdit55"}}}},
      {16, "お支払いプラン",
       {{{"プラン１支払い回数", "@DBComboBox12"}},
        {{"初　　回", "@DBEdit43"}},
        {{"月　々", "@DBEdit45"}},
        {{"ボーナス", "@DBEdit46", "@DBComboBox13", "回／年"}},
        {{"プラン２支払い回数", "@DBComboBox14"}},
        {{"初　　回", "@DBEdit47"}},
        {{"月　々", "@DBEdit48"}},
        {{"ボーナス", "@DBEdit49", "@DBComboBox15", "回／年"}}}},
      {0, "", {{{"@DBEdit74"}}}},
  };
  return groups;
}

/// A caption as it is read aloud: without the blanks that pad it to the width of its panel.
QString spoken(const QString& caption) {
  QString out;
  for (QChar c : caption)
    if (!c.isSpace()) out += c;
  // A strip written top to bottom draws the long vowel mark as a vertical bar.
  out.replace(QChar(0xFF5C), QChar(0x30FC));
  return out;
}

/// The current text of a control that holds a line's caption.
QString captionText(QWidget* w) {
  if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText();
  if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) return memo->toPlainText();
  return {};
}

/// Names the controls of a price line after the caption a dealer reads on that line: the first
/// control is called by the caption, a second one by the caption and its column (消費税) or the
/// unit after it (ヶ月, 回／年). Where the caption is a box the dealer types, the names follow
/// what it holds, and fall back to `group` and the column while it is empty.
void nameLine(const std::vector<QWidget*>& controls, QWidget* captionBox, const QString& caption,
              const QString& suffix, const QString& group) {
  auto apply = [=] {
    QString c = captionBox ? spoken(captionText(captionBox)) : spoken(caption);
    if (c.isEmpty()) c = group + u8("金額");
    for (size_t i = 0; i < controls.size(); ++i)
      controls[i]->setAccessibleName(i == 0 ? c : c + u8("（") + (suffix.isEmpty() ? u8("消費税") : suffix) + u8("）"));
  };
  apply();
  if (auto* combo = qobject_cast<QComboBox*>(captionBox)) {
    combo->setAccessibleName(group + u8("内容"));
    QObject::connect(combo, &QComboBox::editTextChanged, combo, apply);
  } else if (auto* memo = qobject_cast<QPlainTextEdit*>(captionBox)) {
    memo->setAccessibleName(group + u8("内容"));
    QObject::connect(memo, &QPlainTextEdit::textChanged, memo, apply);
  }
}

QStringList numbers(std::initializer_list<int> values) {
  QStringList out;
  for (int v : values) out << QString::number(v);
  return out;
}

QStringList range(int from, int to) {
  QStringList out;
  for (int v = from; v <= to; ++v) out << QString::number(v);
  return out;
}

}  // namespace

QWidget* TEstimateDataForm::makeControl(const QString& name, QWidget* parent) {
  const book::EstimateField* f = fieldOfControl(name);
  if (!f) return nullptr;
  std::string field = sjis::lit(f->nameUtf8);
  bool amount = f->kind == book::FieldKind::Yen || f->kind == book::FieldKind::DerivedYen ||
                f->kind == book::FieldKind::PlanYen;
  bool numberBox = amount || f->kind == book::FieldKind::Count;
  QWidget* w = nullptr;
  if (name.startsWith(QLatin1String("DBComboBox"))) {
    auto* combo = new vendaro::ui::DBComboBox(source_.get(), field, parent);
    static const QHash<QString, QStringList> designItems = {
        {QStringLiteral("DBComboBox1"), {u8("オートマ"), u8("マニュアル")}},
        {QStringLiteral("DBComboBox10"), range(1, 12)},
        {QStringLiteral("DBComboBox11"), range(1, 36)},
        {QStringLiteral("DBComboBox12"), numbers({2, 6, 12, 24, 36})},
        {QStringLiteral("DBComboBox13"), numbers({1, 2})},
        {QStringLiteral("DBComboBox14"), numbers({2, 6, 12, 24, 36})},
        {QStringLiteral("DBComboBox15"), numbers({1, 2})},
    };
    combo->setItems(designItems.value(name));
    combo->setMaxVisibleItems(16);
    w = combo;
  } else if (name.startsWith(QLatin1String("DBEdit"))) {
    auto* edit = new vendaro::ui::DBEdit(source_.get(), field, parent);
    edit->setReadOnly(f->readOnly);
    // Amounts are taken as people type them: 1,200,000 or １２０００００ or ￥1,200,000.
    if (amount) edit->readTyped = [](const std::string& typed) { return pricing::amountToStore(typed); };
    // Its messages name it as a person hears it: by the caption of its line, else its field.
    edit->caption = [edit, field] { return edit->accessibleName().isEmpty() ? toQ(field) : edit->accessibleName(); };
    if (amount) edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (f->readOnly) edit->setStyleSheet(QStringLiteral("background-color: #F4F4F4;"));
    w = edit;
  } else {
    auto* memo = name == QLatin1String("YomiDBMemo1") ? new entry::ui::TYomiDBMemo(source_.get(), field, parent)
                                                      : new vendaro::ui::DBMemo(source_.get(), field, parent);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setFixedHeight(kRowHeight);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->document()->setDocumentMargin(2);
    w = memo;
  }
  w->setObjectName(name);
  w->setMinimumHeight(kRowHeight);
  // Amounts, months, plans and the postal code are typed without the input method.
  if (numberBox || name == QLatin1String("DBMemo1")) w->setAttribute(Qt::WA_InputMethodEnabled, false);
  return w;
}

void TEstimateDataForm::buildSheet(QWidget* page) {
  auto* pageLayout = new QVBoxLayout(page);
  pageLayout->setContentsMargins(4, 4, 4, 4);
  pageLayout->setSpacing(2);

  auto add = [&](const char* name, QWidget* parent) { return makeControl(QString::fromLatin1(name), parent); };
  auto row = [&]() {
    auto* w = new QWidget(page);
    auto* l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(2);
    pageLayout->addWidget(w);
    return std::make_pair(w, l);
  };
  const int captionWidth = 84;

  // Row 1: valid until, created.
  {
    auto [w, l] = row();
    l->addWidget(title(w, QStringLiteral("Panel1Title1"), u8("有効期限"), captionWidth));
    QWidget* valid = add("DBMemo31", w);
    valid->setFixedWidth(190);
    l->addWidget(valid);
    l->addStretch(1);
    l->addWidget(title(w, QStringLiteral("Panel1Title2"), u8("作　成"), captionWidth));
    QWidget* created = add("Memo1", w);
    created->setFixedWidth(190);
    l->addWidget(created);
  }
  // Row 2: address, two lines.
  {
    auto [w, l] = row();
    l->addWidget(title(w, QStringLiteral("Panel2Title1"), u8("住　　　所"), captionWidth));
    auto* lines = new QVBoxLayout;
    lines->setSpacing(2);
    auto* top = new QHBoxLayout;
    top->setSpacing(2);
    top->addWidget(title(w, QStringLiteral("Panel2Title2"), u8("郵便番号"), 70));
    QWidget* postal = add("DBMemo1", w);
    postal->setFixedWidth(100);
    top->addWidget(postal);
    auto* toAddress = new QLabel(u8("住所変換"), w);
    toAddress->setObjectName(QStringLiteral("Panel2Sub3"));
    toAddress->setFrameStyle(QFrame::Panel | QFrame::Raised);
    toAddress->setAlignment(Qt::AlignCenter);
    toAddress->setFixedWidth(70);
    top->addWidget(toAddress);
    top->addSpacing(12);
    top->addWidget(title(w, QStringLiteral("Panel2Title3"), u8("電話番号"), 70));
    top->addWidget(add("DBMemo2", w), 1);
    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(2);
    bottom->addWidget(add("DBMemo3", w), 1);
    auto* toPostal = new QLabel(u8("〒"), w);
    toPostal->setObjectName(QStringLiteral("Panel2Sub4"));
    toPostal->setToolTip(u8("郵便番号変換"));
    toPostal->setStatusTip(u8("郵便番号変換"));
    toPostal->setAccessibleName(u8("郵便番号変換"));
    toPostal->setFrameStyle(QFrame::Panel | QFrame::Raised);
    toPostal->setAlignment(Qt::AlignCenter);
    toPostal->setFixedWidth(30);
    bottom->addWidget(toPostal);
    lines->addLayout(top);
    lines->addLayout(bottom);
    l->addLayout(lines, 1);
    connect(control<vendaro::ui::DBMemo>(QStringLiteral("DBMemo1")), &QPlainTextEdit::textChanged, this,
            [this] { postalCodeEdited_ = true; });
    connect(control<vendaro::ui::DBMemo>(QStringLiteral("DBMemo1")), &vendaro::ui::DBMemo::exit, this,
            [this] { postalCodeEdited_ = false; });
  }
  // Row 3: the name with its reading above it.
  {
    auto [w, l] = row();
    l->addWidget(title(w, QStringLiteral("Panel3Title1"), u8("氏　　　名"), captionWidth));
    auto* lines = new QVBoxLayout;
    lines->setSpacing(2);
    QWidget* reading = add("DBMemo4", w);
    reading->setStyleSheet(QStringLiteral("background-color: #E8E8E8;"));
    lines->addWidget(reading);
    lines->addWidget(add("YomiDBMemo1", w));
    l->addLayout(lines, 1);
  }
  // Row 4: vehicle type.
  {
    auto [w, l] = row();
    l->addWidget(title(w, QStringLiteral("Panel4Title1"), u8("車　　　種"), captionWidth));
    l->addWidget(add("DBMemo45", w), 1);
  }
  // Row 5: displacement, model code, transmission, colour.
  {
    auto [w, l] = row();
    l->addWidget(title(w, QStringLiteral("Panel5Title1"), u8("排 気 量"), captionWidth));
    l->addWidget(add("DBMemo7", w), 1);
    l->addWidget(title(w, QStringLiteral("Panel5Title2"), u8("型　　式"), 70));
    l->addWidget(add("DBMemo5", w), 1);
    l->addWidget(title(w, QStringLiteral("Panel5Title4"), u8("ミッション"), 70));
    l->addWidget(add("DBComboBox1", w), 1);
    l->addWidget(title(w, QStringLiteral("Panel5Title3"), u8("車 体 色"), 70));
    l->addWidget(add("DBMemo6", w), 1);
  }
  // Row 6: comment.
  {
    auto [w, l] = row();
    l->addWidget(title(w, QStringLiteral("Panel6Title1"), u8("コメント"), captionWidth));
    l->addWidget(add("DBMemo8", w), 1);
  }
  // Row 7: model year, 車検 expiry, registration, mileage.
  {
    auto [w, l] = row();
    l->addWidget(title(w, QStringLiteral("Panel6Title2"), u8("年　　　式"), captionWidth));
    l->addWidget(add("DBMemo14", w), 1);
    l->addWidget(title(w, QStringLiteral("Panel6Title3"), u8("車検満期"), 70));
    l->addWidget(add("DBMemo12", w), 1);
    l->addWidget(title(w, QStringLiteral("Panel6Title4"), u8("登録番号"), 70));
    l->addWidget(add("DBMemo13", w), 1);
    l->addWidget(title(w, QStringLiteral("Panel6Title5"), u8("走行距離"), 70));
    l->addWidget(add("DBMemo15", w), 1);
  }
  // Row 8: column headings; the left part always as wide as the left column.
  {
    auto [w, l] = row();
    l->setSpacing(0);
    Panel4 = new QWidget(w);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    auto* left = new QHBoxLayout(Panel4);
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(0);
    left->addWidget(title(Panel4, QStringLiteral("Panel7Title1"), u8("内　　　　　　　　　　容")), 5);
    left->addWidget(title(Panel4, QStringLiteral("Panel7Title2"), u8("金　　　　額")), 3);
    left->addWidget(title(Panel4, QStringLiteral("Panel7Title3"), u8("消　費　税")), 2);
    l->addWidget(Panel4);
    l->addSpacing(6);
    l->addWidget(title(w, QStringLiteral("Panel7Title4"), u8("内　　　　　容")), 3);
    l->addWidget(title(w, QStringLiteral("Panel7Title5"), u8("金　　　　額")), 2);
  }

  // The two columns in the scrolling box.
  auto* scroll = new QScrollArea(page);
  scroll->setObjectName(QStringLiteral("ScrollBox1"));
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  Splitter1 = new QSplitter(Qt::Horizontal);
  Splitter1->setObjectName(QStringLiteral("Splitter1"));
  Splitter1->setChildrenCollapsible(false);
  Splitter1->setHandleWidth(6);
  auto column = [&](const char* name, const std::vector<Group>& groups, bool left) {
    auto* panel = new QWidget;
    panel->setObjectName(QString::fromLatin1(name));
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(2);
    grid->setVerticalSpacing(2);
    int r = 0;
    for (const Group& g : groups) {
      int first = r;
      for (const Line& line : g.lines) {
        int col = 1;
        std::vector<QWidget*> lineControls;
        QWidget* captionBox = nullptr;
        QString caption, suffix;
        for (const char* token : line.tokens) {
          QWidget* w = nullptr;
          if (token[0] == '@') {
            w = makeControl(QString::fromLatin1(token + 1), panel);
            if (col == 1 && line.tokens.size() > 1) captionBox = w;
            else lineControls.push_back(w);
          } else {
            (col == 1 ? caption : suffix) = u8(token);
            auto* label = new QLabel(u8(token), panel);
            label->setMinimumHeight(kRowHeight);
            w = label;
          }
          if (line.tokens.size() == 1 && g.panel == 0) {
            grid->addWidget(w, r, 0, 1, 5);  // a line across the column
          } else {
            grid->addWidget(w, r, col);
          }
          ++col;
        }
        // A line of its own without a caption (the remark) is named after its field.
        if (caption.isEmpty() && !captionBox && lineControls.size() == 1)
          caption = lineControls[0]->accessibleDescription();
        nameLine(lineControls, captionBox, caption, suffix, spoken(u8(g.strip)));
        ++r;
      }
      if (g.panel != 0) grid->addWidget(strip(panel, g.panel, u8(g.strip)), first, 0, r - first, 1);
    }
    grid->setRowStretch(r, 1);
    grid->setColumnStretch(1, left ? 5 : 3);
    grid->setColumnStretch(2, left ? 3 : 2);
    grid->setColumnStretch(3, left ? 2 : 0);
    return panel;
  };
  Panel5 = column("Panel5", leftColumn(), true);
  Panel12 = column("Panel12", rightColumn(), false);
  Panel5->setMinimumWidth(200);
  Splitter1->addWidget(Panel5);
  Splitter1->addWidget(Panel12);
  Splitter1->setStretchFactor(1, 1);
  scroll->setWidget(Splitter1);
  pageLayout->addWidget(scroll, 1);
  connect(Splitter1, &QSplitter::splitterMoved, this, [this] {
    int width = Splitter1->sizes().value(0);
    Panel5->setProperty("columnWidth", width);
    Panel4->setFixedWidth(width);
    Panel22->setFixedWidth(width);
  });

  // The bottom row: the quoted amount under the left column.
  auto* bottom = new QWidget(page);
  bottom->setObjectName(QStringLiteral("BottomPanel"));
  auto* bottomLayout = new QHBoxLayout(bottom);
  bottomLayout->setContentsMargins(0, 0, 0, 0);
  Panel22 = new QWidget(bottom);
  Panel22->setObjectName(QStringLiteral("Panel22"));
  auto* quoted = new QHBoxLayout(Panel22);
  quoted->setContentsMargins(0, 0, 0, 0);
  auto* quotedCaption = new QLabel(u8("お見積金額"), Panel22);
  QFont big = quotedCaption->font();
  big.setPointSizeF(big.pointSizeF() * 1.3);
  big.setBold(true);
  quotedCaption->setFont(big);
  quoted->addWidget(quotedCaption);
  QWidget* amount = makeControl(QStringLiteral("DBEdit75"), Panel22);
  amount->setFont(big);
  quoted->addWidget(amount, 1);
  bottomLayout->addWidget(Panel22);
  bottomLayout->addStretch(1);
  pageLayout->addWidget(bottom);

  setLeftColumnWidth(370);

  // The boxes of the header rows are called by the caption beside them.
  static const std::pair<const char*, const char*> headerNames[] = {
      {"DBMemo31", "有効期限"}, {"Memo1", "作成"},       {"DBMemo1", "郵便番号"},   {"DBMemo2", "電話番号"},
      {"DBMemo3", "住所"},      {"DBMemo4", "ふりがな"}, {"YomiDBMemo1", "氏名"},   {"DBMemo45", "車種"},
      {"DBMemo7", "排気量"},    {"DBMemo5", "型式"},     {"DBComboBox1", "ミッション"}, {"DBMemo6", "車体色"},
      {"DBMemo8", "コメント"},  {"DBMemo14", "年式"},    {"DBMemo12", "車検満期"},  {"DBMemo13", "登録番号"},
      {"DBMemo15", "走行距離"}, {"DBEdit75", "お見積金額"},
  };
  for (const auto& [control, caption] : headerNames)
    findChild<QWidget*>(QString::fromLatin1(control))->setAccessibleName(u8(caption));

  for (const char* dateMemo : {"Memo1", "DBMemo31"}) {
    auto* memo = control<vendaro::ui::DBMemo>(QString::fromLatin1(dateMemo));
    connect(memo, &vendaro::ui::DBMemo::clicked, this,
            [this] { showHint(u8(" ダブルクリックでカレンダー表示で入力出来ます。")); });
    const char* field = std::string(dateMemo) == "Memo1" ? "作成日" : "見積有効期限";
    connect(memo, &vendaro::ui::DBMemo::doubleClicked, this, [this, field] { editDate(field); });
    connect(memo, &vendaro::ui::DBMemo::exit, this, [this, memo] { dateBoxLeft(memo); });
  }
}

}  // namespace vendaro::app::ui
