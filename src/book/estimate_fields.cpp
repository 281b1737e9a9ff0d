#include "book/estimate_fields.h"

#include "platform/sjis.h"

namespace vendaro::book {
namespace {

const std::vector<EstimateField> kFields = {
    {"項番", FieldKind::Integer, "", false},
    {"作成日", FieldKind::EraDate, "Memo1", false},
    {"見積有効期限", FieldKind::EraDate, "DBMemo31", false},
    {"ふりがな", FieldKind::Text, "DBMemo4", false},
    {"氏名", FieldKind::Text, "YomiDBMemo1", false},
    {"電話番号", FieldKind::Text, "DBMemo2", false},
    {"郵便番号", FieldKind::Text, "DBMemo1", false},
    {"住所", FieldKind::Text, "DBMemo3", false},
    {"車種", FieldKind::Text, "DBMemo45", false},
    {"排気量", FieldKind::Text, "DBMemo7", false},
    {"型式", FieldKind::Text, "DBMemo5", false},
    {"ミッション", FieldKind::Text, "DBComboBox1", false},
    {"車体色", FieldKind::Text, "DBMemo6", false},
    {"コメント", FieldKind::Text, "DBMemo8", false},
    {"年式", FieldKind::Text, "DBMemo14", false},
    {"車検満期", FieldKind::Text, "DBMemo12", false},
    {"登録番号", FieldKind::Text, "DBMemo13", false},
    {"走行距離", FieldKind::Text, "DBMemo15", false},
    {"車両価格1", FieldKind::Yen, "DBEdit1", false},
    {"車両項目2", FieldKind::Text, "DBComboBox2", false},
    {"車両価格2", FieldKind::Yen, "DBEdit2", false},
    {"車両価格3", FieldKind::DerivedYen, "DBEdit3", true},
    {"車両消費税3", FieldKind::DerivedYen, "DBEdit4", true},
    {"車両価格4", FieldKind::DerivedYen, "DBEdit5", false},
    {"車両消費税4", FieldKind::DerivedYen, "DBEdit6", true},
    {"車両価格5", FieldKind::DerivedYen, "DBEdit7", false},
    {"車両消費税5", FieldKind::DerivedYen, "DBEdit8", true},
    {"車両項目6", FieldKind::Text, "DBComboBox3", false},
    {"車両価格6", FieldKind::Yen, "DBEdit9", false},
    {"車両消費税6", FieldKind::DerivedYen, "DBEdit10", true},
    {"車両合計", FieldKind::DerivedYen, "DBEdit11", true},
    {"車両消費税", FieldKind::DerivedYen, "DBEdit12", true},
    {"販売費用1", FieldKind::Yen, "DBEdit17", false},
    {"販売費用2", FieldKind::Yen, "DBEdit18", false},
    {"販売費用3", FieldKind::Yen, "DBEdit19", false},
    {"販売費用4", FieldKind::Yen, "DBEdit20", false},
    {"販売費用5", FieldKind::Yen, "DBEdit21", false},
    {"販売費用6", FieldKind::Yen, "DBEdit22", false},
    {"販売項目7", FieldKind::Text, "DBComboBox5", false},
    {"販売費用7", FieldKind::Yen, "DBEdit23", false},
    {"販売項目8", FieldKind::Text, "DBComboBox6", false},
    {"販売費用8", FieldKind::Yen, "DBEdit24", false},
    {"販売費用9", FieldKind::Yen, "DBEdit27", false},
    {"販売費用10", FieldKind::Yen, "DBEdit28", false},
    {"販売費用11", FieldKind::Yen, "DBEdit29", false},
    {"販売費用12", FieldKind::Yen, "DBEdit30", false},
    {"販売項目13", FieldKind::Text, "DBComboBox7", false},
    {"販売費用13", FieldKind::Yen, "DBEdit31", false},
    {"小計", FieldKind::DerivedYen, "DBEdit25", true},
    {"小計消費税", FieldKind::DerivedYen, "DBEdit26", true},
    {"税金1", FieldKind::Yen, "DBEdit32", false},
    {"税金月数", FieldKind::Count, "DBComboBox10", false},
    {"税金2", FieldKind::Yen, "DBEdit33", false},
    {"税金3", FieldKind::Yen, "DBEdit34", false},
    {"税金4", FieldKind::Yen, "DBEdit35", false},
    {"税金項目5", FieldKind::Text, "DBComboBox8", false},
    {"税金5", FieldKind::Yen, "DBEdit36", false},
    {"保険1", FieldKind::Yen, "DBEdit37", false},
    {"保険月数", FieldKind::Count, "DBComboBox11", false},
    {"保険2", FieldKind::Yen, "DBEdit38", false},
    {"保険項目3", FieldKind::Text, "DBComboBox9", false},
    {"保険3", FieldKind::Yen, "DBEdit39", false},
    {"諸費用合計", FieldKind::DerivedYen, "DBEdit41", true},
    {"諸費用消費税", FieldKind::DerivedYen, "DBEdit42", true},
    {"販売合計", FieldKind::DerivedYen, "DBEdit44", true},
    {"頭金1", FieldKind::Yen, "DBEdit13", false},
    {"頭金2", FieldKind::Yen, "DBEdit14", false},
    {"頭金3", FieldKind::Yen, "DBEdit15", false},
    {"頭金項目3", FieldKind::Text, "DBComboBox4", false},
    {"頭金合計", FieldKind::DerivedYen, "DBEdit16", false},
    {"見積金額", FieldKind::DerivedYen, "DBEdit75", true},
    {"オプション項目1", FieldKind::Text, "DBMemo16", false},
    {"オプション金額1", FieldKind::Yen, "DBEdit56", false},
    {"オプション項目2", FieldKind::Text, "DBMemo17", false},
    {"オプション金額2", FieldKind::Yen, "DBEdit57", false},
    {"オプション項目3", FieldKind::Text, "DBMemo18", false},
    {"オプション金額3", FieldKind::Yen, "DBEdit58", false},
    {"オプション項目4", FieldKind::Text, "DBMemo19", false},
    {"オプション金額4", FieldKind::Yen, "DBEdit59", false},
    {"オプション項目5", FieldKind::Text, "DBMemo21", false},
    {"オプション金額5", FieldKind::Yen, "DBEdit60", false},
    {"オプション項目6", FieldKind::Text, "DBMemo22", false},
    {"オプション金額6", FieldKind::Yen, "DBEdit61", false},
    {"オプション合計", FieldKind::DerivedYen, "DBEdit62", true},
    {"付属品項目1", FieldKind::Text, "DBMemo23", false},
    {"付属品金額1", FieldKind::Yen, "DBEdit63", false},
    {"付属品項目2", FieldKind::Text, "DBMemo24", false},
    {"付属品金額2", FieldKind::Yen, "DBEdit64", false},
    {"付属品項目3", FieldKind::Text, "DBMemo25", false},
    {"付属品金額3", FieldKind::Yen, "DBEdit65", false},
    {"付属品項目4", FieldKind::Text, "DBMemo26", false},
    {"付属品金額4", FieldKind::Yen, "DBEdit66", false},
    {"付属品項目5", FieldKind::Text, "DBMemo27", false},
    {"付属品金額5", FieldKind::Yen, "DBEdit67", false},
    {"付属品項目6", FieldKind::Text, "DBMemo28", false},
    {"付属品金額6", FieldKind::Yen, "DBEdit68", false},
    {"付属品項目7", FieldKind::Text, "DBMemo29", false},
    {"付属品金額7", FieldKind::Yen, "DBEdit69", false},
    {"付属品項目8", FieldKind::Text, "DBMemo9", false},
    {"付属品金額8", FieldKind::Yen, "DBEdit71", false},
    {"付属品項目9", FieldKind::Text, "DBMemo10", false},
    {"付属品金額9", FieldKind::Yen, "DBEdit72", false},
    {"付属品項目10", FieldKind::Text, "DBMemo11", false},
    {"付属品金額10", FieldKind::Yen, "DBEdit73", false},
    {"付属品合計", FieldKind::DerivedYen, "DBEdit70", true},
    {"下取車1", FieldKind::Text, "DBEdit40", false},
    {"下取車2", FieldKind::Text, "DBEdit50", false},
    {"下取車3", FieldKind::Text, "DBEdit51", false},
    {"下取車4", FieldKind::Text, "DBEdit52", false},
    {"下取車5", FieldKind::Text, "DBEdit53", false},
    {"下取車6", FieldKind::Text, "DBEdit54", false},
    {"下取車7", FieldKind::Text, "DBEdit55", false},
    {"プラン1回数", FieldKind::Count, "DBComboBox12", false},
    {"プラン1初回", FieldKind::PlanYen, "DBEdit43", false},
    {"プラン1月々", FieldKind::PlanYen, "DBEdit45", false},
    {"プラン1賞与", FieldKind::PlanYen, "DBEdit46", false},
    {"プラン1賞与回数", FieldKind::Count, "DBComboBox13", false},
    {"プラン2回数", FieldKind::Count, "DBComboBox14", false},
    {"プラン2初回", FieldKind::PlanYen, "DBEdit47", false},
    {"プラン2月々", FieldKind::PlanYen, "DBEdit48", false},
    {"プラン2賞与", FieldKind::PlanYen, "DBEdit49", false},
    {"プラン2賞与回数", FieldKind::Count, "DBComboBox15", false},
    {"備考", FieldKind::Text, "DBEdit74", false},
};

int displayWidthOf(const EstimateField& f) {
  switch (f.kind) {
    case FieldKind::Integer: return 8;
    case FieldKind::EraDate: return 22;
    case FieldKind::Yen:
    case FieldKind::DerivedYen:
    case FieldKind::PlanYen: return 10;
    case FieldKind::Count: return 4;
    case FieldKind::Text: break;
  }
  std::string name = f.nameUtf8;
  if (name == "住所" || name == "コメント" || name == "備考") return 40;
  return 20;
}

}  // namespace

const std::vector<EstimateField>& estimateFields() { return kFields; }

const std::string& estimateFieldName(int i) { return estimateSchema().field(i).name; }

const std::string& descendingIndexName() {
  static const std::string name = sjis::lit("降順");
  return name;
}

const table::TableSchema& estimateSchema() {
  static const table::TableSchema schema = [] {
    std::vector<table::FieldDef> defs;
    for (const auto& f : kFields) {
      table::FieldDef def;
      def.name = sjis::lit(f.nameUtf8);
      def.type = f.kind == FieldKind::Integer || f.kind == FieldKind::Yen || f.kind == FieldKind::DerivedYen
                     ? table::FieldType::Integer
                     : table::FieldType::Text;
      def.displayWidth = displayWidthOf(f);
      def.visible = f.kind != FieldKind::Integer;  // 項番 is a hidden column
      defs.push_back(def);
    }
    table::IndexDef descending{descendingIndexName(), {{kItemNumberField, true}}, true};
    return table::TableSchema("Estimate.DB", defs, {{kItemNumberField, false}}, {descending},
                              {kCreatedField, kNameField});
  }();
  return schema;
}

}  // namespace vendaro::book
