#pragma once
// The edge between CP932 bytes and Qt strings.

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace vendaro::ui {

/// CP932 bytes for showing in a widget; bytes that are not valid CP932 show as U+FFFD.
QString toQ(std::string_view cp932);

/// A widget's text as CP932 bytes; nothing when a character has no CP932 form (stored in *bad).
std::optional<std::string> fromQ(const QString& text, QString* bad = nullptr);

/// A program text written in the (UTF-8) source.
inline QString u8(const char* utf8) { return QString::fromUtf8(utf8); }

/// The message for a character that cannot be stored.
QString notShiftJisMessage(const QString& bad);

}  // namespace vendaro::ui
