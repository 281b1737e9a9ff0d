#pragma once
// Estimates whose every field is filled with values that are hard to carry without loss: Japanese
// text, half-width kana, quotes, commas and line ends, bytes that are not valid CP932 (a cut
// character, a stray byte), codes CP932 has twice, negative and extreme amounts, empty fields.

#include <cstdint>
#include <iterator>
#include <string>

#include "book/estimate_fields.h"
#include "platform/sjis.h"
#include "platform/table/cursor.h"

namespace vendaro::test {

/// Appends `count` estimates to the estimate table, each field taking a different hard value.
inline void appendHardEstimates(table::Cursor& estimates, int count) {
  const std::string texts[] = {
      sjis::lit("山田　太郎"),
      sjis::lit("ｿｱﾗ ﾊﾞﾝ ｶﾞｿﾘﾝ"),
      std::string(),
      std::string("AB\x82", 3),                 // a character cut in half at the end
      std::string("\x80\xa0\xfd x \xff", 7),    // bytes CP932 does not assign
      std::string("\xed\xe6\x87\x90", 4),       // codes CP932 has twice (淼 and ≒)
      "O'Brien, \"Jr\"\r\nline two",
      sjis::lit("東京都港区１－２－３　ベンダロマンション１０１号室"),
      " leading and trailing blanks ",
  };
  const std::string amounts[] = {"-500", "0", "2147483647", "-2147483648", "1234567", ""};
  const std::string dates[] = {sjis::lit("平成１５年０３月２０日"), sjis::lit("令和０６年０２月２９日"),
                               sjis::lit("昭和６４年０１月０７日")};
  const auto& schema = estimates.schema();
  for (int r = 0; r < count; ++r) {
    estimates.append();
    for (int f = 1; f < schema.fieldCount(); ++f) {
      const auto k = static_cast<std::size_t>(r + f);
      if (f == book::kCreatedField)
        estimates.setText(f, dates[k % std::size(dates)]);
      else if (schema.field(f).type == table::FieldType::Integer)
        estimates.setText(f, amounts[k % std::size(amounts)]);
      else
        estimates.setText(f, texts[k % std::size(texts)]);
    }
    estimates.post();
  }
}

}  // namespace vendaro::test
