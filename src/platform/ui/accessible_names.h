#pragma once

class QWidget;

namespace vendaro::ui {

/// Gives every box, list and combo box below `root` that has no accessible name yet the caption
/// a person reads beside it: the label before it in its row (a label to its left in a grid, the
/// label before it in a row of widgets, the label of a form row). Captions are named without the
/// blanks that pad them. Boxes with no caption beside them keep what Qt gives them. A combo box,
/// which this platform reads out by its text, also takes its caption as description when it has
/// none.
void nameControlsByCaptions(QWidget* root);

}  // namespace vendaro::ui
