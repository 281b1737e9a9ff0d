#pragma once
// The field list chooser: the fields not chosen (ListBox1) and the fields chosen, in their order
// (ListBox2), with "＞" and "＜" between them and up and down under the second list. The copy
// pattern, the display pattern, the list print settings and the restore pattern all use it.

#include <QWidget>
#include <string>
#include <vector>

#include "book/field_lists.h"

class QLabel;
class QListWidget;
class QToolButton;

namespace vendaro::book::ui {

class FieldListChooser : public QWidget {
  Q_OBJECT
 public:
  /// `firstCaption` and `secondCaption` (UTF-8) label the two lists; without `orderButtons` there
  /// are no up and down buttons (the display pattern).
  FieldListChooser(const char* firstCaption, const char* secondCaption, bool orderButtons = true,
                   QWidget* parent = nullptr);

  /// Fills both lists (CP932 entries), nothing selected.
  void setLists(const std::vector<std::string>& notChosen, const std::vector<std::string>& chosen);
  void setLists(const TwoLists& lists) { setLists(lists.first, lists.second); }
  /// The entries of ListBox1 and ListBox2, in list order.
  std::vector<std::string> notChosen() const;
  std::vector<std::string> chosen() const;
  TwoLists lists() const { return TwoLists{notChosen(), chosen()}; }

  /// Reads both lists from a two-list settings file; false (lists unchanged) when it is missing.
  /// Throws FileError.
  bool readFile(const std::string& path);
  /// Rewrites the two-list settings file. Throws FileError.
  void writeFile(const std::string& path) const;

  // The buttons.
  void SpeedButton1Click();
  void SpeedButton2Click();
  void SpeedButton3Click();
  void SpeedButton4Click();

  QLabel* Label1;
  QLabel* Label2;
  QListWidget* ListBox1;
  QListWidget* ListBox2;
  QToolButton* SpeedButton1;
  QToolButton* SpeedButton2;
  QToolButton* SpeedButton3 = nullptr;
  QToolButton* SpeedButton4 = nullptr;

 private:
  static ChooserList take(const QListWidget* list);
  static void put(QListWidget* list, const ChooserList& content);
};

}  // namespace vendaro::book::ui
