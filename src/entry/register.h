#pragma once
// The vehicle register: the table INDATA.db that a sibling program keeps in the CARDATA
// directory. This program only reads it: the fields below, all as text, and nothing else, and only
// while the recall dialog is open.

#include <memory>
#include <string>
#include <vector>

#include "platform/table/cursor.h"

namespace vendaro::entry {

/// INDATA.db as this program reads it: 電話番号, 使用者住所, 使用者ふりがな, 使用者, 車名,
/// 自動車登録番号, 車台番号, 型式, 初度登録年月, 自賠責期間至, 有効期間の満了する日.
const table::TableSchema& registerSchema();

/// Opens INDATA.db of the CARDATA directory for reading, without shutting its owner out: the
/// owner may read and write it while it is open here. The fields are found by name, whatever other
/// columns the owner keeps and in whatever order. Never creates it: a missing table throws
/// TableError with the table engine's message, as does a missing field.
std::unique_ptr<table::Cursor> openRegister(const std::string& cardataDirectory);

/// The filter that lists the rows whose `field` begins with `text`: "(field = 'text*')", single
/// quotes inside the text doubled.
std::string prefixFilter(const std::string& field, const std::string& text);

/// Copies the register's current row into the estimate being edited (edit state is started when
/// needed): 電話番号, 住所 and the 郵便番号 that postRead finds for it (empty when none),
/// ふりがな, 氏名 and the trade-in car 下取車1 to 下取車6.
void copyRegisterRow(const table::Cursor& reg, table::Cursor& estimate, const std::string& programDirectory);

}  // namespace vendaro::entry
