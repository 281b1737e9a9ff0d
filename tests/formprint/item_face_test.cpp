#include "formprint/item_face.h"

#include <gtest/gtest.h>

#include "platform/sjis.h"

namespace vendaro::formprint {
namespace {

TEST(ItemFace, RequestedFacesAreSerifOrSansByTheirNames) {
  struct Case {
    const char* face;  // UTF-8
    FaceKind kind;
  };
  const Case cases[] = {
      {"ＭＳ 明朝", FaceKind::Serif},     {"ＭＳ Ｐ明朝", FaceKind::Serif},      {"ＨＧ正楷書体", FaceKind::Serif},
      {"ＭＩＮＣＨＯ", FaceKind::Serif},  {"MS Mincho", FaceKind::Serif},        {"Noto Serif CJK JP", FaceKind::Serif},
      {"ＪＳゴシック", FaceKind::Sans},   {"ＭＳ ゴシック", FaceKind::Sans},     {"Noto Sans CJK JP", FaceKind::Sans},
      {"Microsoft Sans Serif", FaceKind::Sans}, {"", FaceKind::Sans},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.face);
    EXPECT_EQ(requestedFaceKind(sjis::lit(c.face)), c.kind);
  }
}

}  // namespace
}  // namespace vendaro::formprint
