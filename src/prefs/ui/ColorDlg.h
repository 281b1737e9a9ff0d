#pragma once
// The title colour dialog: the colour of the estimate sheet's 73 title panels, chosen by name from
// the list of 42, kept in "EsTitleColor.INI" and applied again at every start.

#include <QColor>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <optional>
#include <string>

#include "prefs/title_colors.h"

namespace vendaro::prefs::ui {

/// System colour `index` (1 to 24) of the desktop scheme, taken from the application's palette.
QColor systemColor(int index);

/// The colour of a list entry.
QColor toQColor(const TitleColor& color);

/// Sets the background of every title panel under `window` (the 73 named panels) to `color`.
void setTitlePanelColor(QWidget* window, const QColor& color);

/// Gives the title panels under `window` their designed colours: the inactive title bar colour
/// for the caption panels and the first panel of each strip, the button face for the others.
void setDesignedTitlePanelColors(QWidget* window);

/// The background colour a title panel was given (invalid before it was given one).
QColor titlePanelColor(const QWidget* panel);

class TColorDlg : public QDialog {
  Q_OBJECT
 public:
  /// Reads "EsTitleColor.INI" from the program directory, puts the name in the combo box and
  /// colours the title panels of `sheetWindow` when the name is one of the list.
  TColorDlg(const std::string& programDirectory, QWidget* sheetWindow, QWidget* parent = nullptr);

  QLabel* Label1;
  QComboBox* ColorComboBox;
  QPushButton* OKBtn;

  /// OK: a listed name colours the panels and is stored; any other text changes nothing.
  void OKBtnClick();

 protected:
  /// The dialog opens in the middle of the screen.
  void showEvent(QShowEvent* event) override;

 private:
  std::string programDirectory_;
  QWidget* sheetWindow_;
};

}  // namespace vendaro::prefs::ui
