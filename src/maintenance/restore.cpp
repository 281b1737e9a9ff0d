#include "maintenance/restore.h"

#include <cerrno>
#include <cstdio>

#include "maintenance/file_names.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"

namespace vendaro::maintenance {
namespace {

/// A file read in large blocks.
class InFile {
 public:
  explicit InFile(std::string path) : path_(std::move(path)) {
    file_ = std::fopen(path_.c_str(), "rb");
    if (!file_) throw FileError(path_, errno);
  }
  ~InFile() { std::fclose(file_); }
  InFile(const InFile&) = delete;
  InFile& operator=(const InFile&) = delete;

  /// The next block; empty at the end of the file.
  std::size_t read(char* buffer, std::size_t size) {
    std::size_t n = std::fread(buffer, 1, size, file_);
    if (n == 0 && std::ferror(file_)) throw FileError(path_, errno);
    return n;
  }

 private:
  std::string path_;
  std::FILE* file_;
};

constexpr std::size_t kBlock = 1 << 16;

/// Holds back a hook for as long as it lives.
class HookPause {
 public:
  explicit HookPause(table::Cursor::Hook& hook) : hook_(hook), saved_(std::move(hook)) { hook_ = nullptr; }
  ~HookPause() { hook_ = std::move(saved_); }
  HookPause(const HookPause&) = delete;
  HookPause& operator=(const HookPause&) = delete;

 private:
  table::Cursor::Hook& hook_;
  table::Cursor::Hook saved_;
};

/// Puts the view (filter, order, record) back as it was unless the work succeeded.
class ViewRestorer {
 public:
  explicit ViewRestorer(table::Cursor& c)
      : cursor_(c), filter_(c.filter()), filtered_(c.filtered()), index_(c.indexName()), recNo_(c.recNo()) {}
  ~ViewRestorer() {
    if (done_) return;
    try {
      cursor_.cancel();
      cursor_.setIndex(index_);
      cursor_.setFilter(filter_);
      cursor_.setFiltered(filtered_);
      if (recNo_ > 0) cursor_.setRecNo(recNo_);
    } catch (const std::exception&) {
      // The view was in force before, so it cannot be refused now.
    }
  }
  void done() { done_ = true; }

 private:
  table::Cursor& cursor_;
  std::string filter_;
  bool filtered_;
  std::string index_;
  int recNo_;
  bool done_ = false;
};

std::string withLine(const std::string& message, int line) {
  return message + "\r" + sjis::lit("（ファイルの ") + std::to_string(line) + sjis::lit(" 行目）");
}

}  // namespace

RestoreError::RestoreError(const std::string& engineMessage, int line)
    : std::runtime_error(withLine(engineMessage, line)), engineMessage_(engineMessage), line_(line) {}

std::string restoreErrorMessage(const RestoreError& error) { return error.what(); }

RestoreHead readRestoreHead(const std::string& path, const table::TableSchema& schema) {
  RestoreHead head;
  InFile in(path);
  std::string value;
  char buffer[4096];
  bool ended = false;
  while (!ended) {
    std::size_t n = in.read(buffer, sizeof buffer);
    if (n == 0) break;
    for (std::size_t i = 0; i < n && !ended; ++i) {
      char c = buffer[i];
      if (c == ',') {
        head.columns.push_back(std::move(value));
        value.clear();
      } else if (c == '\n') {
        ended = true;
      } else if (c != '\r') {
        value += c;
      }
    }
  }
  head.columns.push_back(std::move(value));
  head.lineEnd = ended;
  head.header = schema.find(head.columns.front()) >= 0;
  return head;
}

std::vector<std::string> patternColumns(const std::vector<std::string>& firstLine,
                                        const std::vector<std::string>& pattern) {
  std::vector<std::string> columns = firstLine;
  if (columns.size() < pattern.size()) columns.resize(pattern.size());
  std::copy(pattern.begin(), pattern.end(), columns.begin());
  return columns;
}

std::string valueCountMessage(std::size_t found, std::size_t expected) {
  return sjis::lit("値の数が 1 行目と違います（1 行目 ") + std::to_string(expected) + sjis::lit(" 個、この行 ") +
         std::to_string(found) + sjis::lit(" 個）");
}

RestoreReport restoreEstimates(table::Cursor& estimates, const std::string& path,
                               const std::vector<std::string>& columns, bool skipFirstLine, bool append,
                               std::size_t valuesPerLine) {
  RestoreReport report;
  std::vector<int> fields;
  for (const auto& name : columns) fields.push_back(estimates.schema().find(name));

  InFile in(path);
  estimates.checkBrowseMode();
  ViewRestorer view(estimates);
  HookPause noTabs(estimates.afterPost);
  // What the before-post step refuses is dropped; a failure to write stops the whole restore.
  bool refused = false;
  table::Cursor::Hook check = estimates.beforePost;
  HookPause checkOnly(estimates.beforePost);
  estimates.beforePost = [&](table::Cursor& c) {
    try {
      if (check) check(c);
    } catch (const table::TableError&) {
      refused = true;
      throw;
    }
  };
  estimates.setFiltered(false);
  estimates.setIndex("");

  table::Transaction transaction(estimates);
  if (!append) report.deleted = estimates.removeAll();

  int line = 1;
  bool skipping = skipFirstLine;
  bool filling = false;  // an estimate is being filled from the current line
  std::size_t column = 0;
  std::string value;
  auto writeValue = [&] {
    try {
      if (!filling) {
        estimates.append();
        filling = true;
      }
      // A value beyond the first line's count is only counted: the line is refused at its end.
      if (column >= valuesPerLine) {
        ++column;
        value.clear();
        return;
      }
      if (column >= fields.size()) throw table::fieldNotFound("");
      if (fields[column] < 0) throw table::fieldNotFound(columns[column]);
      estimates.setText(fields[column], value);
    } catch (const table::TableError& e) {
      throw RestoreError(e.what(), line);
    }
    ++column;
    value.clear();
  };

  std::vector<char> buffer(kBlock);
  for (;;) {
    std::size_t n = in.read(buffer.data(), buffer.size());
    if (n == 0) break;
    for (std::size_t i = 0; i < n; ++i) {
      char c = buffer[i];
      if (skipping) {
        if (c == '\n') {
          skipping = false;
          ++line;
        }
        continue;
      }
      switch (c) {
        case ',':
          writeValue();
          break;
        case '\r':
          break;
        case '\n':
          writeValue();
          // A value holding a comma or a line break shows as a line of another count; storing it
          // would split or shift an estimate.
          if (column != valuesPerLine) throw RestoreError(valueCountMessage(column, valuesPerLine), line);
          try {
            refused = false;
            estimates.post();
            ++report.stored;
          } catch (const table::TableError& e) {
            if (!refused) throw RestoreError(e.what(), line);
            // The table refused this estimate: it is dropped, and the rest goes on.
            estimates.cancel();
            report.droppedLines.push_back(line);
          }
          filling = false;
          column = 0;
          ++line;
          break;
        default:
          value += c;
      }
    }
  }
  // A last line without its line end is not stored.
  estimates.cancel();
  transaction.commit();
  view.done();
  estimates.first();
  return report;
}

RestoreOutcome runRestore(table::Cursor& estimates, const std::string& chosenPath,
                          const std::function<std::optional<std::vector<std::string>>()>& choosePattern,
                          RestoreReport& report) {
  if (nameHolds(chosenPath, "住所録")) return RestoreOutcome::AddressBook;
  std::string path = csvPath(chosenPath);
  if (!fileExists(path)) return RestoreOutcome::Missing;
  RestoreHead head = readRestoreHead(path, estimates.schema());
  if (!head.lineEnd) return RestoreOutcome::NoLine;
  std::vector<std::string> columns = head.columns;
  if (!head.header) {
    auto pattern = choosePattern ? choosePattern() : std::nullopt;
    if (!pattern) return RestoreOutcome::NoPattern;
    columns = patternColumns(head.columns, *pattern);
  }
  report = restoreEstimates(estimates, path, columns, head.header, nameHolds(chosenPath, "分割"), head.columns.size());
  return RestoreOutcome::Done;
}

std::string droppedNotice(const RestoreReport& report) {
  if (report.droppedLines.empty()) return {};
  constexpr std::size_t kListed = 20;
  std::string text = sjis::lit("次の行の見積 ") + std::to_string(report.droppedLines.size()) +
                     sjis::lit(" 件は保存できなかったため、リストアされていません：\r");
  for (std::size_t i = 0; i < report.droppedLines.size() && i < kListed; ++i)
    text += (i ? sjis::lit("、") : std::string()) + std::to_string(report.droppedLines[i]) + sjis::lit("行目");
  if (report.droppedLines.size() > kListed)
    text += sjis::lit(" ほか ") + std::to_string(report.droppedLines.size() - kListed) + sjis::lit(" 件");
  return text;
}

}  // namespace vendaro::maintenance
