#pragma once
// The layout editor: a layout's name, form image, paper size and switches, and for each of its
// 240 print items the expression, position, size and the one font face of all items, over a
// preview of the form image with every item drawn as it prints for the current estimate. The
// editor owns the four layout tables, which the print run reads too.

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <array>
#include <memory>
#include <string>

#include "formprint/item_language.h"
#include "formprint/layout_list.h"
#include "formprint/layout_tables.h"
#include "platform/ui/binding.h"

namespace vendaro::formprint::ui {

class TCarPrintForm : public QDialog {
  Q_OBJECT
 public:
  /// Opens the layout tables in the CARDATA directory, reads the layout list and the font face from
  /// the program directory and puts the blank form "白地.jpg" there when it is missing. The
  /// preview evaluates items against the current record of `estimates` and the company fields
  /// (both must outlive the editor; no company fields reads as empty lines). Throws TableError.
  TCarPrintForm(const std::string& programDirectory, const std::string& cardataDirectory,
                const table::Cursor& estimates, const CompanyFields* company, QWidget* parent = nullptr);
  ~TCarPrintForm() override;

  LayoutTables& tables() { return *tables_; }
  /// The face of every print item (CP932).
  const std::string& fontFace() const { return face_; }
  /// The preview's reduction: the text of ScaleComboBox, where 0, a negative number or one above 5
  /// counts as 2.
  int scale() const;
  int currentItem() const { return current_; }
  /// The printer settings dialog that SpeedButton1 shows.
  void setPrinterSettingsDialog(QDialog* dialog) { printerSettings_ = dialog; }

  /// Makes layout n exist and opens it (the print name dialog's choice).
  void openLayout(int n);

  /// Draws the preview again and selects item 1.
  void redraw();
  /// Selects item k: pending changes of the four tables are saved, the item's controls bound.
  void selectItem(int k);
  /// Evaluates the item box's text and shows it on the current item's label.
  void refreshCurrentItem();
  /// The font dialog for the face of all items and the current item's size.
  void chooseFont();
  /// The open dialog for the form image.
  void ReadButtonClick();

  // Top panel.
  QWidget* TopPanel;
  vendaro::ui::DBNavigator* DBNavigator1;
  vendaro::ui::DBEdit* DBEdit1;  ///< 印刷名
  vendaro::ui::DBEdit* DBEdit2;  ///< 印刷フォーム
  QPushButton* ReadButton;
  vendaro::ui::DBEdit* DBEdit3;  ///< 印刷サイズＸ
  vendaro::ui::DBEdit* DBEdit4;  ///< 印刷サイズＹ
  QComboBox* ScaleComboBox;
  // Left panel.
  QWidget* PointPanel;
  QLabel* NoPanel;
  QScrollBar* NoScrollBar;
  QWidget* PosSetPanel;
  vendaro::ui::DBComboBox* MenuDBComboBox;
  QWidget* DateSPPanel;
  vendaro::ui::DBComboBox* LenDBComboBox;
  vendaro::ui::DBEdit* YPosDBEdit;
  QLabel* YPosPanel;
  QScrollBar* YScrollBar;
  vendaro::ui::DBComboBox* FSizDBComboBox;
  QLineEdit* Edit1;
  vendaro::ui::DBEdit* XPosDBEdit;
  QLabel* XPosPanel;
  QScrollBar* XScrollBar;
  QCheckBox* CheckBox2;                     ///< 修正モード
  vendaro::ui::DBCheckBox* CalDBCheckBox;   ///< 日付の表示
  QLabel* FaceNoteLabel;                    ///< names the installed face that stands in for the font face
  // Preview.
  QScrollArea* ScrollBox1;
  QLabel* Image1;
  std::array<QLabel*, kItemCount> PrintLabel{};  ///< PrintLabel1..240 at [0]..[239]
  vendaro::ui::DBCheckBox* CheckBox1;       ///< 印刷フォームの印刷
  vendaro::ui::DBCheckBox* DBCheckBox1;     ///< 連続印刷
  // Buttons.
  QWidget* BtnPanel;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QToolButton* SpeedButton1;

  /// The form image shown (null when none could be read).
  const QImage& formImage() const { return formImage_; }

 public slots:
  /// OK saves pending changes of the four tables, Cancel drops them; either way the layout list is
  /// written.
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class Axis { X, Y };
  void buildTop(QWidget* parent);
  void buildPointPanel(QWidget* parent);
  void buildPreview(QWidget* parent);
  void buildButtons(QWidget* parent);
  vendaro::ui::DataSource& source(Axis axis) { return axis == Axis::X ? *xSource_ : *ySource_; }
  /// After a position changed: stored at once, shown on bar, label and panel; a position the user
  /// just placed (`placedByUser`) beyond the paper is cut back to its edge first.
  void positionChanged(Axis axis, bool placedByUser);
  /// Shows position v of the current item on its scroll bar, label and millimetre panel.
  void showPosition(Axis axis, int v);
  /// Marks item k's label when its stored position lies beyond the paper.
  void markOutsidePaper(int k);
  void scrollBarMoved(Axis axis, int value);
  /// Puts the current item at (x, y) in layout units, held on the paper; `store` writes it to the
  /// disk at once, else it waits in the records being edited (while the item is dragged).
  void placeItem(int x, int y, bool store);
  void typedPosition(Axis axis);
  void sizeChanged();
  void loadFormImage();
  void showStandInFace();
  void showLabel(int k, const ItemValue& value);
  QFont labelFont(int points) const;
  bool saveAll();
  std::string fieldName(const char* prefixUtf8, int k) const;

  std::string programDirectory_;
  std::unique_ptr<LayoutTables> tables_;
  CompanyLines noCompany_{{}};
  std::unique_ptr<ItemEvaluator> evaluator_;
  std::unique_ptr<vendaro::ui::DataSource> dataSource_, xSource_, ySource_, sizeSource_;
  LayoutList list_;
  std::string face_;
  int current_ = 1;
  int paperW_ = 0, paperH_ = 0;
  int createdFrom_ = 0;
  struct Drag {
    bool active = false;
    bool moved = false;
    QPoint start;   ///< where the mouse was pressed, on the screen
    QPoint origin;  ///< the item's position then, in layout units
  } drag_;  ///< the first layout made since the editor was opened (0: none)
  bool settingBars_ = false;
  QDialog* printerSettings_ = nullptr;
  QImage formImage_;
  std::string formImageKey_;
  std::string failedImage_;
};

}  // namespace vendaro::formprint::ui
