#include "app/ui/Application.h"

#include "app/ui/VersionDlg.h"
#include "book/ui/DateSetDlg.h"

namespace vendaro::app::ui {

std::unique_ptr<TEstimateDataForm> createWindows(const std::string& programDirectory,
                                                 const std::string& cardataDirectory) {
  auto form = std::make_unique<TEstimateDataForm>(programDirectory, cardataDirectory);
  auto* version = new TVersionDlg(form.get());
  form->setVersionDialog(version);
  auto* date = new book::ui::TDateSDlg(form.get());
  form->setDateDialog(date);
  return form;
}

}  // namespace vendaro::app::ui
