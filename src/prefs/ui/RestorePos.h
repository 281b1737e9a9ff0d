#pragma once
// Window placement memory as a part of a window: created with the window as its owner and its
// properties set, it takes back the stored position and size before the window is first shown and
// stores them again when the window is destroyed. The window needs no other code for it.

#include <QFlags>
#include <QObject>
#include <QRect>
#include <QString>

#include <cstdint>
#include <optional>

#include "prefs/window_placement.h"

class QWidget;

namespace vendaro::prefs::ui {

class TRestorePos : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
  Q_PROPERTY(QString KeyName READ KeyName WRITE setKeyName)
  Q_PROPERTY(QString PosXValueName READ PosXValueName WRITE setPosXValueName)
  Q_PROPERTY(QString PosYValueName READ PosYValueName WRITE setPosYValueName)
  Q_PROPERTY(QString WidthValueName READ WidthValueName WRITE setWidthValueName)
  Q_PROPERTY(QString HeightValueName READ HeightValueName WRITE setHeightValueName)
  Q_PROPERTY(TRestorePosOptions Options READ Options WRITE setOptions)

 public:
  enum TRestorePosOption { rpRestoreSize = 0x1, rpSaveNormal = 0x2 };
  Q_DECLARE_FLAGS(TRestorePosOptions, TRestorePosOption)
  Q_FLAG(TRestorePosOptions)

  /// The owner must be a window; anything else throws std::invalid_argument.
  explicit TRestorePos(QWidget* owner);
  /// Stores the owner's placement (the owner is being destroyed).
  ~TRestorePos() override;

  /// Gives a window of the program its placement memory, with that window's key and value names.
  static TRestorePos* attach(QWidget* window, PlacedWindow which);

  bool Enabled() const { return settings_.enabled; }
  void setEnabled(bool on) { settings_.enabled = on; }
  QString KeyName() const;
  void setKeyName(const QString& name);
  QString PosXValueName() const;
  void setPosXValueName(const QString& name);
  QString PosYValueName() const;
  void setPosYValueName(const QString& name);
  QString WidthValueName() const;
  void setWidthValueName(const QString& name);
  QString HeightValueName() const;
  void setHeightValueName(const QString& name);
  TRestorePosOptions Options() const;
  void setOptions(TRestorePosOptions options);

  /// Takes back the stored placement, once; done by itself before the owner is first shown.
  void restore();
  /// Stores the owner's placement; done by itself when the owner is destroyed. A file error is
  /// reported on the diagnostic output (the program is ending).
  void save();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  /// The stored placement applied to the window's current rectangle; nothing when none is stored.
  std::optional<QRect> storedRect() const;

  QWidget* owner_;
  PlacementSettings settings_;
  bool restored_ = false;
  uint64_t closedAt_ = 0;  ///< when the person last closed the window (0: not yet)
};

}  // namespace vendaro::prefs::ui

Q_DECLARE_OPERATORS_FOR_FLAGS(vendaro::prefs::ui::TRestorePos::TRestorePosOptions)
