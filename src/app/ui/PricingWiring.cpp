#include "app/ui/PricingWiring.h"

#include <memory>

#include "book/estimate_fields.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"
#include "pricing/amounts.h"
#include "pricing/discount.h"
#include "pricing/pick_lists.h"
#include "pricing/ui/CarTaxListForm.h"
#include "pricing/ui/ListEdit.h"
#include "pricing/ui/ServiceDlg.h"
#include "pricing/ui/ZeiSForm.h"

namespace vendaro::app::ui {

using vendaro::ui::dialogs;
using vendaro::ui::toQ;
using vendaro::ui::u8;

namespace {

QStringList toList(const std::vector<std::string>& entries) {
  QStringList out;
  for (const auto& e : entries) out << toQ(e);
  return out;
}

/// Why an estimate whose totals could not be computed is not saved.
QString staleMessage() {
  return u8("合計が計算できていないため、この見積は登録できません。大きすぎる金額を直してください。");
}

vendaro::ui::DBComboBox* box(TEstimateDataForm& form, const char* name) {
  return form.control<vendaro::ui::DBComboBox>(QString::fromLatin1(name));
}

/// Runs work on the current estimate, the record shown again afterwards. A figure too large is
/// said in a message naming `box` and the figure, and stays in the status bar; any other failure
/// is said in a message box. False when it failed.
bool recalculate(TEstimateDataForm& form, const QString& box, const std::function<void(table::Cursor&)>& work) {
  QString tooLarge;
  bool ok = form.dataSource().run([&](table::Cursor& c) {
    try {
      work(c);
    } catch (const pricing::AmountTooLarge& e) {
      tooLarge = toQ(e.what());
    }
  });
  if (!tooLarge.isEmpty()) {
    form.showHint(tooLarge);
    dialogs().message(&form, u8("「%1」の金額で、%2。").arg(box, tooLarge));
    return false;
  }
  return ok;
}

/// Editing one pick list: the heading, the entries of its first box, the editor, and on OK the
/// new entries into every box and the list file.
void editPickList(TEstimateDataForm& form, pricing::ui::TListEditForm& editor, const pricing::PickList& list) {
  editor.setHeading(toQ(pricing::pickListHeading(list)));
  QStringList entries;
  auto* first = box(form, list.boxes.front());
  for (int i = 0; i < first->count(); ++i) entries << first->itemText(i);
  editor.setEntries(entries);
  if (dialogs().exec(editor) != QDialog::Accepted) return;
  entries = editor.entries();
  std::vector<std::string> lines;
  for (const QString& entry : entries) {
    QString bad;
    auto bytes = vendaro::ui::fromQ(entry, &bad);
    if (!bytes) {
      dialogs().message(&form, vendaro::ui::notShiftJisMessage(bad));
      return;
    }
    lines.push_back(*bytes);
  }
  for (const char* name : list.boxes) box(form, name)->setItems(entries);
  try {
    pricing::savePickList(form.programDirectory(), list, lines);
  } catch (const FileError& e) {
    dialogs().message(&form, toQ(e.what()));  // the boxes keep the new entries for this run
  }
}

/// The discount on the quoted amount.
void DBEdit75DblClick(TEstimateDataForm& form, pricing::ui::TServDlg& dialog, pricing::ui::TZeiSetForm& zei,
                      pricing::Amounts& amounts) {
  if (!form.dataSource().updateRecord()) return;
  table::Cursor& c = form.estimates();
  const std::string quotedField = sjis::lit("見積金額");
  QStringList choices;
  for (const auto& choice : pricing::discountChoices(c.text(quotedField))) choices << toQ(choice);
  dialog.setChoices(choices);
  dialogs().exec(dialog);

  std::optional<std::string> choice;
  if (auto picked = dialog.selectedChoice()) choice = vendaro::ui::fromQ(*picked).value_or(std::string());
  // A character without a Shift-JIS form is no amount either.
  const std::string typed = vendaro::ui::fromQ(dialog.Edit1->text()).value_or(std::string("?"));
  std::optional<int64_t> target;
  try {
    const std::string box = vendaro::ui::fromQ(dialog.GroupBox1->title()).value_or(std::string());
    target = pricing::discountTarget(typed, choice, c.integer(quotedField), box);
  } catch (const pricing::DiscountRefused& e) {
    dialogs().message(&form, toQ(e.what()));
    return;
  }
  if (!target) return;
  if (amounts.stale()) {
    dialogs().message(&form, staleMessage());
    return;
  }
  const int32_t rate = zei.rate();
  QString refused;
  std::optional<pricing::DiscountOutcome> outcome;
  recalculate(form, u8("お見積金額"), [&](table::Cursor& cursor) {
    try {
      outcome = pricing::applyDiscount(cursor, *target, rate);
    } catch (const pricing::DiscountRefused& e) {
      refused = toQ(e.what());
    }
  });
  if (!refused.isEmpty()) dialogs().message(&form, refused);
  if (outcome && !outcome->exact()) form.showHint(toQ(pricing::inexactDiscountHint(*outcome)));
}

}  // namespace

void loadPickLists(TEstimateDataForm& form) {
  for (const auto& list : pricing::pickLists()) {
    try {
      auto entries = pricing::loadPickList(form.programDirectory(), list);
      if (!entries) continue;
      for (const char* name : list.boxes) box(form, name)->setItems(toList(*entries));
    } catch (const FileError& e) {
      dialogs().message(&form, toQ(e.what()));
    }
  }
}

void wirePricing(TEstimateDataForm& form, const PricingWindows& windows) {
  TEstimateDataForm* f = &form;
  if (auto* zei = windows.zei) {
    // One set of recalculations for the window: it remembers one that failed until the figures fit.
    auto amounts = std::make_shared<pricing::Amounts>(form.estimates(), [zei] { return zei->rate(); });
    auto staleHint = std::make_shared<bool>(false);  // the status bar shows a figure too large
    auto settle = [f, amounts, staleHint] {
      if (amounts->stale() || !*staleHint) return;
      *staleHint = false;
      f->showHint(QString());
    };
    // Every amount box recalculates what depends on it when it is left.
    for (const auto& [name, handler] : pricing::Amounts::exitHandlers()) {
      auto* edit = form.control<vendaro::ui::DBEdit>(QString::fromStdString(name));
      if (!edit) continue;
      auto run = handler;
      QObject::connect(edit, &vendaro::ui::DBEdit::exit, &form, [f, edit, amounts, staleHint, settle, run] {
        if (!recalculate(*f, edit->caption(), [&](table::Cursor&) { ((*amounts).*run)(); }) && amounts->stale())
          *staleHint = true;
        settle();
      });
    }
    // An estimate whose totals could not be computed is not saved; cancelling it or anything else
    // that leaves the edit forgets the failure.
    table::Cursor& estimates = form.estimates();
    auto before = estimates.beforePost;
    estimates.beforePost = [amounts, before](table::Cursor& c) {
      if (amounts->stale()) throw table::TableError(*vendaro::ui::fromQ(staleMessage()));
      if (before) before(c);
    };
    QObject::connect(&form.dataSource(), &vendaro::ui::DataSource::changed, &form, [f, amounts, settle] {
      if (f->estimates().state() == table::Cursor::State::Browse) amounts->forgetStale();
      settle();
    });
    QAction* n8 = form.menuItem(QStringLiteral("N8"));
    n8->setEnabled(true);
    QObject::connect(n8, &QAction::triggered, &form, [zei] { dialogs().exec(*zei); });  // N8Click
    if (auto* serv = windows.serv) {
      QObject::connect(form.control<vendaro::ui::DBEdit>(QStringLiteral("DBEdit75")), &vendaro::ui::DBEdit::doubleClicked,
                       &form, [f, serv, zei, amounts] { DBEdit75DblClick(*f, *serv, *zei, *amounts); });
    }
  }
  if (auto* editor = windows.listEdit) {
    for (const auto& list : pricing::pickLists()) {
      QAction* item = form.menuItem(QString::fromLatin1(list.menuItem));
      item->setEnabled(true);
      const pricing::PickList* l = &list;
      QObject::connect(item, &QAction::triggered, &form, [f, editor, l] { editPickList(*f, *editor, *l); });
    }
  }
  if (auto* tax = windows.tax) {
    QAction* n20 = form.menuItem(QStringLiteral("N20"));
    n20->setEnabled(true);
    QObject::connect(n20, &QAction::triggered, &form, [tax] { dialogs().exec(*tax); });
  }
  if (auto* insure = windows.insure) {
    QAction* n21 = form.menuItem(QStringLiteral("N21"));
    n21->setEnabled(true);
    QObject::connect(n21, &QAction::triggered, &form, [insure] { dialogs().exec(*insure); });
  }
}

}  // namespace vendaro::app::ui
