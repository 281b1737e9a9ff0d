#include "app/ui/PricingWiring.h"

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

vendaro::ui::DBComboBox* box(TEstimateDataForm& form, const char* name) {
  return form.control<vendaro::ui::DBComboBox>(QString::fromLatin1(name));
}

/// Runs a recalculation on the current estimate: the record is shown again afterwards; a figure
/// too large is said in the status bar, any other failure in a message box. False when it failed.
bool recalculate(TEstimateDataForm& form, const std::function<void(table::Cursor&)>& work) {
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
void DBEdit75DblClick(TEstimateDataForm& form, pricing::ui::TServDlg& dialog, pricing::ui::TZeiSetForm& zei) {
  if (!form.dataSource().updateRecord()) return;
  table::Cursor& c = form.estimates();
  const std::string quotedField = sjis::lit("見積金額");
  QStringList choices;
  for (const auto& choice : pricing::discountChoices(c.text(quotedField))) choices << toQ(choice);
  dialog.setChoices(choices);
  dialogs().exec(dialog);

  std::optional<std::string> choice;
  if (auto picked = dialog.selectedChoice()) choice = vendaro::ui::fromQ(*picked).value_or(std::string());
  const std::string typed = vendaro::ui::fromQ(dialog.Edit1->text()).value_or(std::string());
  const int64_t reduction = pricing::discountReduction(typed, choice, c.integer(quotedField));
  if (reduction == 0) return;
  const int32_t rate = zei.rate();
  QString refused;
  recalculate(form, [&](table::Cursor& cursor) {
    try {
      pricing::applyDiscount(cursor, reduction, rate);
    } catch (const pricing::DiscountRefused& e) {
      refused = toQ(e.what());
    }
  });
  if (!refused.isEmpty()) dialogs().message(&form, refused);
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
    // Every amount box recalculates what depends on it when it is left.
    for (const auto& [name, handler] : pricing::Amounts::exitHandlers()) {
      auto* edit = form.control<vendaro::ui::DBEdit>(QString::fromStdString(name));
      if (!edit) continue;
      auto run = handler;
      QObject::connect(edit, &vendaro::ui::DBEdit::exit, &form, [f, zei, run] {
        recalculate(*f, [&](table::Cursor& c) { (pricing::Amounts(c, [zei] { return zei->rate(); }).*run)(); });
      });
    }
    QAction* n8 = form.menuItem(QStringLiteral("N8"));
    n8->setEnabled(true);
    QObject::connect(n8, &QAction::triggered, &form, [zei] { dialogs().exec(*zei); });  // N8Click
    if (auto* serv = windows.serv) {
      QObject::connect(form.control<vendaro::ui::DBEdit>(QStringLiteral("DBEdit75")), &vendaro::ui::DBEdit::doubleClicked,
                       &form, [f, serv, zei] { DBEdit75DblClick(*f, *serv, *zei); });
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
