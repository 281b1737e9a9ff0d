#pragma once
// What the commands that print one estimate share: standing on the estimate the user named, and
// the company lines the print items read.

#include <cstdio>
#include <string>
#include <vector>

#include "formprint/item_language.h"
#include "platform/table/cursor.h"
#include "prefs/company_info.h"

namespace vendaro::cli {

/// Stands the estimates on number `record` (1 is the first of the current order). False, with a
/// message, when the book holds fewer.
inline bool standOnEstimate(table::Cursor& estimates, int record) {
  const int count = estimates.recordCount();
  if (record > count) {
    std::fprintf(stderr, "vendaro-cli: there is no estimate %d (the book holds %d)\n", record, count);
    return false;
  }
  estimates.setRecNo(record);
  return true;
}

/// The company information of the program directory, as the print items read it.
inline formprint::CompanyLines companyLines(const std::string& programDirectory) {
  const prefs::CompanyInfo info = prefs::loadCompanyInfo(programDirectory);
  return formprint::CompanyLines(std::vector<std::string>(info.lines.begin(), info.lines.end()));
}

}  // namespace vendaro::cli
