#include "formprint/layout_tables.h"

#include <optional>
#include <vector>

#include "platform/sjis.h"

namespace vendaro::formprint {
namespace {

using table::FieldDef;
using table::FieldType;

std::vector<FieldDef> numbered(const char* prefixUtf8, FieldType type) {
  const std::string prefix = sjis::lit(prefixUtf8);
  std::vector<FieldDef> fields;
  fields.reserve(kItemCount);
  for (int k = 1; k <= kItemCount; ++k) fields.push_back({prefix + std::to_string(k), type, 10, true});
  return fields;
}

table::TableSchema attributeSchema(const char* fileName, const char* prefixUtf8) {
  return table::TableSchema(fileName, numbered(prefixUtf8, FieldType::Integer));
}

bool isTrue(const table::Cursor& cursor, int field) { return cursor.text(field) == "True"; }

/// The first fields of a new layout record; every other field is left empty.
const std::vector<std::optional<std::string>>& newLayoutValues() {
  static const std::vector<std::optional<std::string>> values = {std::nullopt, std::nullopt, std::string("False"),
                                                                 std::string("10"), std::string("10")};
  return values;
}

bool isEmpty(const table::Value& v) { return v.isNull() || (v.kind == table::Value::Kind::Text && v.text.empty()); }

/// True when stored record n holds what a new layout record was given and nothing else.
bool untouchedLayout(table::Cursor& data, int n) {
  const std::vector<table::Value> row = data.rowAt(n);
  const auto& fresh = newLayoutValues();
  for (std::size_t i = 0; i < row.size(); ++i) {
    const table::Value& v = row[i];
    if (i >= fresh.size() || !fresh[i]) {
      if (!isEmpty(v)) return false;
    } else if (v.isNull() || (v.kind == table::Value::Kind::Int ? std::to_string(v.integer) : v.text) != *fresh[i]) {
      return false;
    }
  }
  return true;
}

bool untouchedAttributes(table::Cursor& attributes, int n) {
  if (attributes.recordCount() < n) return true;
  for (const table::Value& v : attributes.rowAt(n))
    if (!v.isNull()) return false;
  return true;
}

}  // namespace

const table::TableSchema& layoutDataSchema() {
  static const table::TableSchema schema = [] {
    std::vector<FieldDef> fields = {
        {sjis::lit("印刷名"), FieldType::Text, 20, true},
        {sjis::lit("印刷フォーム"), FieldType::Text, 20, true},
        {sjis::lit("印刷フォームの印刷"), FieldType::Text, 5, true},
        {sjis::lit("印刷サイズＸ"), FieldType::Integer, 5, true},
        {sjis::lit("印刷サイズＹ"), FieldType::Integer, 5, true},
        {sjis::lit("連続印刷"), FieldType::Text, 5, true},
        {sjis::lit("日付の表示"), FieldType::Text, 5, true},
        {sjis::lit("日付の幅"), FieldType::Integer, 5, true},
    };
    for (auto& item : numbered("項目", FieldType::Text)) fields.push_back(std::move(item));
    return table::TableSchema("EsPrtData.DB", std::move(fields));
  }();
  return schema;
}

const table::TableSchema& layoutPosXSchema() {
  static const table::TableSchema schema = attributeSchema("EsPrtPosX.DB", "Ｘ座標");
  return schema;
}

const table::TableSchema& layoutPosYSchema() {
  static const table::TableSchema schema = attributeSchema("EsPrtPosY.db", "Ｙ座標");
  return schema;
}

const table::TableSchema& layoutSizeSchema() {
  static const table::TableSchema schema = attributeSchema("EsPrtSize.DB", "サイズ");
  return schema;
}

int mmToLayoutUnits(int mm) { return static_cast<int>(int64_t{mm} * 379 / 100); }
int layoutUnitsToMm(int units) { return static_cast<int>(int64_t{units} * 100 / 379); }

std::unique_ptr<LayoutTables> LayoutTables::open(const std::string& cardataDirectory) {
  table::ensureDirectory(cardataDirectory);
  std::unique_ptr<LayoutTables> tables(new LayoutTables);
  tables->data_ = table::Cursor::open(cardataDirectory, layoutDataSchema());
  tables->posX_ = table::Cursor::open(cardataDirectory, layoutPosXSchema());
  tables->posY_ = table::Cursor::open(cardataDirectory, layoutPosYSchema());
  tables->size_ = table::Cursor::open(cardataDirectory, layoutSizeSchema());
  // Navigation and saving (an inserted record takes its place on post) both change the layout.
  LayoutTables* self = tables.get();
  tables->data_->afterScroll = [self](table::Cursor&) { self->follow(); };
  tables->data_->afterPost = [self](table::Cursor&) { self->follow(); };
  tables->follow();
  return tables;
}

void LayoutTables::follow() {
  const int n = data_->recNo();
  for (table::Cursor* attributes : {posX_.get(), posY_.get(), size_.get()})
    if (n > 0) attributes->setRecNo(n);
}

void LayoutTables::openLayout(int n) {
  data_->setRecNo(n);  // the attribute tables follow
  follow();
}

void LayoutTables::ensureLayout(int n) {
  // Four tables, four files: each change is held open until all of them are written, so a failure
  // anywhere rolls every table back.
  table::Transaction inData(*data_), inX(*posX_), inY(*posY_), inSize(*size_);
  for (int count = data_->recordCount(); count < n; ++count) data_->appendRecord(newLayoutValues());
  for (table::Cursor* attributes : {posX_.get(), posY_.get(), size_.get()})
    for (int count = attributes->recordCount(); count < n; ++count) attributes->appendRecord({});
  inData.commit();
  inX.commit();
  inY.commit();
  inSize.commit();
  follow();
}

int LayoutTables::removeUntouchedLayouts(int first) {
  if (first < 1) first = 1;
  data_->checkBrowseMode();
  for (table::Cursor* attributes : {posX_.get(), posY_.get(), size_.get()}) attributes->checkBrowseMode();
  int removed = 0;
  {
    table::Transaction inData(*data_), inX(*posX_), inY(*posY_), inSize(*size_);
    for (int n = data_->recordCount(); n >= first; --n) {
      if (!untouchedLayout(*data_, n)) break;
      bool attributesUntouched = true;
      for (table::Cursor* attributes : {posX_.get(), posY_.get(), size_.get()})
        attributesUntouched = attributesUntouched && untouchedAttributes(*attributes, n);
      if (!attributesUntouched) break;
      // Attribute records first: moving the layout table makes them follow.
      for (table::Cursor* attributes : {posX_.get(), posY_.get(), size_.get()}) {
        if (attributes->recordCount() < n) continue;
        attributes->setRecNo(n);
        attributes->remove();
      }
      data_->setRecNo(n);
      data_->remove();
      ++removed;
    }
    inData.commit();
    inX.commit();
    inY.commit();
    inSize.commit();
  }
  follow();
  return removed;
}

std::string LayoutTables::printName() const { return data_->text(kPrintNameField); }
std::string LayoutTables::formName() const { return data_->text(kFormNameField); }
int LayoutTables::paperWidth() const { return data_->integer(kPaperWidthField); }
int LayoutTables::paperHeight() const { return data_->integer(kPaperHeightField); }
bool LayoutTables::printForm() const { return isTrue(*data_, kPrintFormField); }
bool LayoutTables::continuous() const { return isTrue(*data_, kContinuousField); }
bool LayoutTables::showDateUnits() const { return isTrue(*data_, kShowDateUnitsField); }
int LayoutTables::dateSpacing() const { return data_->integer(kDateSpacingField); }

std::string LayoutTables::item(int k) const {
  if (k < 1 || k > kItemCount) return {};
  return data_->text(kFirstItemField + k - 1);
}

int LayoutTables::attribute(table::Cursor& cursor, int k) {
  const int n = data_->recNo();
  if (k < 1 || k > kItemCount || n == 0 || cursor.recNo() != n) return 0;
  return cursor.integer(k - 1);
}

int LayoutTables::itemX(int k) { return attribute(*posX_, k); }
int LayoutTables::itemY(int k) { return attribute(*posY_, k); }
int LayoutTables::itemSize(int k) { return attribute(*size_, k); }

}  // namespace vendaro::formprint
