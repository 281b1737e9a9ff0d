#pragma once
// The kind of a requested print face. Layouts name Japanese faces of the machines they were made
// on (ＭＳ 明朝, ＪＳゴシック, ...); where such a face is not installed, one of the same kind draws the
// items instead.

#include <string>

namespace vendaro::formprint {

enum class FaceKind {
  Serif,  ///< 明朝 and the brush faces: thin horizontal strokes with serifs
  Sans,   ///< ゴシック and everything else
};

/// The kind of a face named in CP932 (full-width or half-width Latin letters alike).
FaceKind requestedFaceKind(const std::string& face);

}  // namespace vendaro::formprint
