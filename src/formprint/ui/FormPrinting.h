#pragma once
// The form-print commands of the main window: Print1 to Print10 built from the layout list, the
// print settings command (print name dialog, then the layout editor) and the print order command,
// and the print run itself on the printer chosen in the printer setup dialog.

#include <QAction>
#include <QObject>
#include <QPrinter>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "formprint/layout_list.h"
#include "platform/ui/binding.h"

namespace vendaro::formprint {
class CompanyFields;
}

namespace vendaro::formprint::ui {

class TCarPrintForm;
class TToolEditForm;
class TSelectDlg;
class TPrintSlctDlg;

class FormPrinting : public QObject {
  Q_OBJECT
 public:
  struct Windows {
    TCarPrintForm* editor;
    TToolEditForm* printerSettings;
    TSelectDlg* printName;
    TPrintSlctDlg* printOrder;
  };
  /// `window` is the main window (parent of the questions), `estimates` its estimate data source,
  /// `printMenu` the items Print1 to Print10.
  FormPrinting(QWidget* window, vendaro::ui::DataSource& estimates, const CompanyFields* company,
               const std::string& programDirectory, Windows windows, std::array<QAction*, 10> printMenu);
  ~FormPrinting() override;

  /// Hides Print1 to Print10, reads the layout list again and shows an item for each of its first
  /// ten layouts, captioned with the layout's name and "印刷".
  void buildPrintMenu();
  /// Print command k (1..10): layout entry k of the list on the printer chosen in the setup dialog.
  void printCommand(int k);
  /// PrintS1: the print name dialog, then the layout editor on the chosen layout.
  void PrintS1Click();
  /// PrintS2: the print order dialog.
  void PrintS2Click();

  /// The main window's copy of the layout list.
  const LayoutList& list() const { return list_; }

 private:
  QWidget* window_;
  vendaro::ui::DataSource& estimates_;
  const CompanyFields* company_;
  std::string programDirectory_;
  Windows windows_;
  std::array<QAction*, 10> printMenu_;
  LayoutList list_;
  std::unique_ptr<QPrinter> printer_;
};

}  // namespace vendaro::formprint::ui
