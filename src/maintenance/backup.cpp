#include "maintenance/backup.h"

#include <algorithm>
#include <charconv>

#include "book/eradate.h"
#include "book/estimate_fields.h"
#include "book/field_lists.h"
#include "maintenance/file_names.h"
#include "platform/safe_file.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"

namespace vendaro::maintenance {
namespace {

bool breaksLine(const std::string& value) {
  return value.find_first_of(",\r\n") != std::string::npos;
}

}  // namespace

std::string todayNamePart(const Date& today) { return era::formatPlain(today); }

std::string proposedBackupName(const std::string& directory, const std::string& prefix, const std::string& namePart,
                               const std::string& suffix) {
  return directory + prefix + namePart + suffix + ".CSV";
}

bool backupFromCurrent(const std::string& chosenPath) {
  // A wave dash typed in the file dialog is the same mark as the full-width tilde of a period name.
  bool period = nameHolds(chosenPath, "～") || splitPath(chosenPath).name.find("〜") != std::string::npos;
  return nameHolds(chosenPath, "分割") && !period;
}

BackupReport writeBackup(table::Cursor& estimates, const std::string& chosenPath, bool periodLimit) {
  BackupReport report;
  report.path = csvPath(chosenPath);
  const std::vector<std::string>& columns = book::chooserFieldNames();
  std::vector<int> fields;
  for (const auto& name : columns) fields.push_back(estimates.fieldIndex(name));

  // The previous backup of this name stays whole until the new one is complete.
  SafeFile out(report.path);
  std::string line;
  for (std::size_t i = 0; i < columns.size(); ++i) line += (i ? "," : "") + columns[i];
  line += "\r\n";
  out.write(line);

  estimates.checkBrowseMode();
  if (!backupFromCurrent(chosenPath)) {
    if (!periodLimit) estimates.setFiltered(false);
    estimates.first();
  }
  // Every estimate of the view from the current one on, read in one pass. An empty view still
  // gives one line of empty values.
  auto writeEstimate = [&](const std::vector<table::Value>& values) {
    line.clear();
    char digits[24];
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i) line += ',';
      const table::Value& v = values[static_cast<std::size_t>(fields[i])];
      if (v.kind == table::Value::Kind::Text) {
        line += v.text;
      } else if (v.kind == table::Value::Kind::Int) {
        auto r = std::to_chars(digits, digits + sizeof digits, v.integer);
        line.append(digits, r.ptr);
      }
    }
    // A line reads back only with exactly its separators and no line break inside.
    // One pass over the line, counting separators and looking for line ends.
    std::size_t commas = 0;
    bool lineEnd = false;
    for (char c : line) {
      commas += c == ',';
      lineEnd |= c == '\r' || c == '\n';
    }
    bool unreadable = commas != fields.size() - 1 || lineEnd;
    line += "\r\n";
    out.write(line);
    ++report.estimates;
    if (unreadable) {
      UnreadableEstimate u;
      u.line = report.estimates + 1;
      auto textOf = [&](int field) {
        const table::Value& v = values[static_cast<std::size_t>(field)];
        return v.kind == table::Value::Kind::Text ? v.text : std::string();
      };
      u.created = textOf(book::kCreatedField);
      u.name = textOf(book::kNameField);
      for (std::size_t i = 0; i < fields.size(); ++i) {
        const table::Value& v = values[static_cast<std::size_t>(fields[i])];
        if (v.kind == table::Value::Kind::Text && breaksLine(v.text)) {
          u.fields.push_back(columns[i]);
          ++report.unreadableValues;
        }
      }
      report.unreadable.push_back(std::move(u));
    }
  };
  if (estimates.isEmpty()) {
    writeEstimate(std::vector<table::Value>(static_cast<std::size_t>(estimates.schema().fieldCount())));
  } else {
    estimates.scanView(estimates.recNo(), writeEstimate);
    estimates.last();  // the walk ends past the last estimate, as a step-by-step one would
  }
  out.commit();
  return report;
}

std::string unreadableNotice(const BackupReport& report) {
  if (report.unreadable.empty()) return {};
  constexpr std::size_t kListed = 10;
  // The restore refuses such a file at the first of these lines and leaves the table as it was.
  std::string text = sjis::lit("バックアップしました。ただし、カンマまたは改行を含む値が ") +
                     std::to_string(report.unreadableValues) + sjis::lit(" 個あり、次の見積 ") +
                     std::to_string(report.unreadable.size()) +
                     sjis::lit(" 件の行でリストアが中止されるため、このファイルはリストアできません：");
  for (std::size_t i = 0; i < report.unreadable.size() && i < kListed; ++i) {
    const UnreadableEstimate& u = report.unreadable[i];
    text += "\r" + std::to_string(u.line) + sjis::lit("行目  ") + u.created + "  " + u.name + sjis::lit("  （");
    for (std::size_t f = 0; f < u.fields.size(); ++f) text += (f ? sjis::lit("、") : std::string()) + u.fields[f];
    text += sjis::lit("）");
  }
  if (report.unreadable.size() > kListed)
    text += "\r" + sjis::lit("ほか ") + std::to_string(report.unreadable.size() - kListed) + sjis::lit(" 件");
  return text;
}

FilterKeeper::FilterKeeper(table::Cursor& cursor)
    : cursor_(cursor), filter_(cursor.filter()), filtered_(cursor.filtered()) {}

FilterKeeper::~FilterKeeper() {
  try {
    cursor_.setFilter(filter_);
    cursor_.setFiltered(filtered_);
  } catch (const std::exception&) {
    // The remembered filter was in force before, so it cannot be refused now; nothing to report.
  }
}

}  // namespace vendaro::maintenance
