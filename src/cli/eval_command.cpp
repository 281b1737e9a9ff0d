#include "cli/eval_command.h"
#include "cli/cli_support.h"
#include "cli/estimate_choice.h"

#include <cstdio>
#include <stdexcept>
#include <unistd.h>

#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "formprint/item_language.h"
#include "formprint/layout_tables.h"
#include "platform/sjis.h"
#include "prefs/company_info.h"

namespace vendaro::cli {
namespace {

int positiveNumber(const std::string& option, const std::string& text) {
  auto n = sjis::parseInt32(text);
  if (!n || *n < 1) throw std::invalid_argument(option + " needs a number from 1: " + text);
  return *n;
}

}  // namespace

const char* const kEvalUsage =
    "  vendaro-cli eval [--record N] [--layout N] [--mode print|screen] EXPRESSION\n"
    "                                                     evaluate a print item for estimate N (newest first)\n";

int evalCommand(const std::vector<std::string>& args) {
  int record = 1, layout = 0;
  formprint::EvalMode mode = formprint::EvalMode::Print;
  std::vector<std::string> rest;
  bool options = true;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (options && a == "--") {
      options = false;
    } else if (options && (a == "--record" || a == "--layout" || a == "--mode")) {
      if (i + 1 >= args.size()) throw std::invalid_argument(a + " needs a value");
      const std::string& value = args[++i];
      if (a == "--record") record = positiveNumber(a, value);
      else if (a == "--layout") layout = positiveNumber(a, value);
      else if (value == "print") mode = formprint::EvalMode::Print;
      else if (value == "screen") mode = formprint::EvalMode::Screen;
      else throw std::invalid_argument("--mode is print or screen, not " + value);
    } else {
      rest.push_back(a);
    }
  }
  if (rest.size() != 1) throw std::invalid_argument("eval needs one EXPRESSION");
  std::string bad;
  auto expression = sjis::fromUtf8(rest[0], &bad);
  if (!expression) throw std::invalid_argument("'" + bad + "' cannot be written in Shift-JIS");

  const std::string programDirectory = cli::programDirectory();
  const std::string cardata = table::cardataDirectory(programDirectory);
  auto estimates = book::openEstimateTable(cardata);
  estimates->setIndex(book::descendingIndexName());
  if (!standOnEstimate(*estimates, record)) return 1;

  const formprint::CompanyLines company = companyLines(programDirectory);

  // Without a layout, dates print as stored.
  std::unique_ptr<formprint::LayoutTables> layouts;
  formprint::FixedDateSettings asStored(true, 0);
  const formprint::LayoutDateSettings* dates = &asStored;
  if (layout > 0) {
    layouts = formprint::LayoutTables::open(cardata);
    if (layout > layouts->layoutCount()) {
      std::fprintf(stderr, "vendaro-cli: there is no layout %d (there are %d)\n", layout, layouts->layoutCount());
      return 1;
    }
    layouts->openLayout(layout);
    dates = layouts.get();
  }

  const formprint::ItemEvaluator evaluator(*estimates, company, *dates, [](const std::string& question) {
    std::fprintf(stderr, "%s\n", sjis::toUtf8Display(question).c_str());
    return true;
  });
  const formprint::ItemValue value = evaluator.menuTextCheck(*expression, mode);
  std::printf("%s\n%d\n", sjis::toUtf8Display(value.text).c_str(), value.number);
  return 0;
}

}  // namespace vendaro::cli
