#include "platform/table/filter.h"

#include "platform/sjis.h"

namespace vendaro::table {
namespace {

enum class Op { Eq, Ne, Ge, Le, Gt, Lt };

// Conditions that hold always or never, in a form both SQL dialects read.
const char* const kTrue = "1 = 1";
const char* const kFalse = "1 = 0";

TableError syntaxError(std::string_view text) {
  return TableError(sjis::lit("フィルタの書式が正しくありません: ") + std::string(text));
}

class Parser {
 public:
  Parser(std::string_view text, const TableSchema& schema) : text_(text), schema_(schema) {}

  SqlCondition parse() {
    SqlCondition out;
    skipBlanks();
    if (atEnd()) return out;
    for (;;) {
      std::string term = term_(out.values);
      out.sql += out.sql.empty() ? term : " AND " + term;
      skipBlanks();
      if (atEnd()) break;
      if (!takeWord("and")) throw syntaxError(text_);
    }
    return out;
  }

 private:
  bool atEnd() const { return pos_ >= text_.size(); }
  char peek() const { return atEnd() ? '\0' : text_[pos_]; }
  void skipBlanks() {
    while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\r' || peek() == '\n')) ++pos_;
  }
  bool takeWord(std::string_view word) {
    if (text_.size() - pos_ < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
      char c = text_[pos_ + i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (c != word[i]) return false;
    }
    std::size_t after = pos_ + word.size();
    if (after < text_.size() && text_[after] != ' ' && text_[after] != '(' && text_[after] != '\t') return false;
    pos_ = after;
    return true;
  }

  std::string term_(std::vector<SqlValue>& values) {
    skipBlanks();
    if (peek() == '(') {
      ++pos_;
      std::string inner = comparison(values);
      skipBlanks();
      if (peek() != ')') throw syntaxError(text_);
      ++pos_;
      return inner;
    }
    return comparison(values);
  }

  std::string fieldName() {
    skipBlanks();
    std::size_t start = pos_;
    if (peek() == '[' || peek() == '"') {
      char close = peek() == '[' ? ']' : '"';
      ++pos_;
      start = pos_;
      while (!atEnd() && peek() != close) pos_ += sjis::isLeadByte(static_cast<unsigned char>(peek())) ? 2 : 1;
      if (atEnd()) throw syntaxError(text_);
      std::string name(text_.substr(start, pos_ - start));
      ++pos_;
      return name;
    }
    while (!atEnd()) {
      unsigned char c = static_cast<unsigned char>(peek());
      if (sjis::isLeadByte(c)) {
        pos_ = std::min(pos_ + 2, text_.size());
        continue;
      }
      if (c == ' ' || c == '\t' || c == '=' || c == '<' || c == '>' || c == '(' || c == ')' || c == '\'') break;
      ++pos_;
    }
    if (pos_ == start) throw syntaxError(text_);
    return std::string(text_.substr(start, pos_ - start));
  }

  Op op() {
    skipBlanks();
    std::string_view rest = text_.substr(pos_);
    auto take = [&](std::string_view s, Op o) {
      if (rest.substr(0, s.size()) != s) return false;
      pos_ += s.size();
      result_ = o;
      return true;
    };
    if (take(">=", Op::Ge) || take("<=", Op::Le) || take("<>", Op::Ne) || take("=", Op::Eq) ||
        take(">", Op::Gt) || take("<", Op::Lt))
      return result_;
    throw syntaxError(text_);
  }

  std::string quotedValue() {
    skipBlanks();
    if (peek() != '\'') throw syntaxError(text_);
    ++pos_;
    std::string value;
    for (;;) {
      if (atEnd()) throw syntaxError(text_);
      unsigned char c = static_cast<unsigned char>(peek());
      if (sjis::isLeadByte(c) && pos_ + 1 < text_.size()) {
        value += text_.substr(pos_, 2);
        pos_ += 2;
        continue;
      }
      if (c == '\'') {
        if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
          value += '\'';
          pos_ += 2;
          continue;
        }
        ++pos_;
        return value;
      }
      value += static_cast<char>(c);
      ++pos_;
    }
  }

  std::string comparison(std::vector<SqlValue>& values) {
    std::string name = fieldName();
    int field = schema_.find(name);
    if (field < 0) throw fieldNotFound(name);
    Op o = op();
    std::string value = quotedValue();
    const std::string& col = schema_.column(field);

    if (schema_.field(field).type == FieldType::Integer) return integerComparison(field, col, o, value, values);

    if (o == Op::Eq && !value.empty() && value.back() == '*') {
      value.pop_back();
      return prefixSql(col, value, values);
    }
    // An empty field is the empty text: it equals '' and sorts before every other text.
    if (value.empty()) {
      switch (o) {
        case Op::Eq: case Op::Le: return "(" + col + " IS NULL OR length(" + col + ") = 0)";
        case Op::Ne: case Op::Gt: return "(" + col + " IS NOT NULL AND length(" + col + ") <> 0)";
        case Op::Ge: return kTrue;
        case Op::Lt: return kFalse;
      }
    }
    values.emplace_back(value);
    switch (o) {
      case Op::Eq: return col + " = ?";
      case Op::Ge: return col + " >= ?";
      case Op::Gt: return col + " > ?";
      case Op::Ne: return "(" + col + " IS NULL OR " + col + " <> ?)";
      case Op::Le: return "(" + col + " IS NULL OR " + col + " <= ?)";
      case Op::Lt: return "(" + col + " IS NULL OR " + col + " < ?)";
    }
    return kFalse;
  }

  std::string integerComparison(int field, const std::string& col, Op o, const std::string& value,
                                std::vector<SqlValue>& values) {
    if (value.empty()) return o == Op::Eq ? col + " IS NULL" : (o == Op::Ne ? col + " IS NOT NULL" : kFalse);
    auto number = sjis::parseInt32(value);
    if (!number) throw notAnIntegerFor(value, schema_.field(field).name);
    values.emplace_back(int64_t{*number});
    switch (o) {
      case Op::Eq: return col + " = ?";
      case Op::Ne: return "(" + col + " IS NULL OR " + col + " <> ?)";
      case Op::Ge: return col + " >= ?";
      case Op::Le: return col + " <= ?";
      case Op::Gt: return col + " > ?";
      case Op::Lt: return col + " < ?";
    }
    return kFalse;
  }

  std::string_view text_;
  const TableSchema& schema_;
  std::size_t pos_ = 0;
  Op result_ = Op::Eq;

 public:
  /// "col starts with prefix" as a byte range, so that an index on the column serves it.
  static std::string prefixSql(const std::string& col, std::string prefix, std::vector<SqlValue>& values) {
    if (prefix.empty()) return kTrue;
    values.emplace_back(prefix);
    // The smallest text above every text starting with the prefix: the prefix with its last byte
    // raised, dropping trailing 0xFF bytes first.
    std::string upper = prefix;
    while (!upper.empty() && static_cast<unsigned char>(upper.back()) == 0xFF) upper.pop_back();
    if (upper.empty()) return col + " >= ?";
    upper.back() = static_cast<char>(static_cast<unsigned char>(upper.back()) + 1);
    values.emplace_back(upper);
    return "(" + col + " >= ? AND " + col + " < ?)";
  }
};

}  // namespace

SqlCondition compileFilter(std::string_view text, const TableSchema& schema) {
  return Parser(text, schema).parse();
}

SqlCondition prefixCondition(int field, std::string_view prefix, const TableSchema& schema, Dialect dialect) {
  SqlCondition out;
  const std::string& col = schema.column(field);
  if (schema.field(field).type == FieldType::Integer) {
    if (prefix.empty()) {
      out.sql = kTrue;
    } else {
      // The number's decimal digits start with the prefix; the prefix is bound as bytes.
      const std::string n = std::to_string(prefix.size());
      out.sql = dialect == Dialect::Sqlite
                    ? "substr(CAST(" + col + " AS TEXT), 1, " + n + ") = CAST(? AS TEXT)"
                    : "left(CAST(" + col + " AS text), " + n + ") = encode(?, 'escape')";
      out.values.emplace_back(std::string(prefix));
    }
    return out;
  }
  out.sql = Parser::prefixSql(col, std::string(prefix), out.values);
  return out;
}

}  // namespace vendaro::table
