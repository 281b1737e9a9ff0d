#include "formprint/jpeg_image.h"

#include <fstream>
#include <gtest/gtest.h>

#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "support/temp_dir.h"

namespace vendaro::formprint {
namespace {

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void spit(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

TEST(JpegImage, TheBlankFormIsInstalledOnceAsAWhiteA4Image) {
  test::TempDir dir;
  installBlankForm(dir.path());
  const std::string path = dir.file("白地.jpg");
  const RgbImage image = decodeJpegFile(path);
  EXPECT_EQ(image.width, 794);
  EXPECT_EQ(image.height, 1123);
  ASSERT_EQ(image.pixels.size(), std::size_t{794} * 1123 * 3);
  unsigned char darkest = 255;
  for (unsigned char p : image.pixels) darkest = std::min(darkest, p);
  EXPECT_GE(darkest, 250);
  // An existing file, the user's own blank form, is kept.
  spit(path, "mine");
  installBlankForm(dir.path());
  EXPECT_EQ(slurp(path), "mine");
}

TEST(JpegImage, BrokenFilesAreRefusedWithAMessageNamingTheFile) {
  test::TempDir dir;
  writeWhiteJpeg(dir.file("good.jpg"), 40, 30);
  const std::string good = slurp(dir.file("good.jpg"));
  struct Case {
    const char* name;
    std::string bytes;  // nothing written for "missing"
  };
  const Case cases[] = {
      {"missing.jpg", ""},
      {"text.jpg", "not a jpeg at all"},
      {"cut.jpg", good.substr(0, good.size() / 2)},
      {"headonly.jpg", good.substr(0, 20)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.file(c.name);
    if (!c.bytes.empty()) spit(path, c.bytes);
    try {
      decodeJpegFile(path);
      ADD_FAILURE() << "decoded";
    } catch (const ImageError& e) {
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << sjis::toUtf8(e.what());
      EXPECT_EQ(std::string(e.what()).rfind(sjis::lit("画像ファイルを読み込めません"), 0), 0u);
    }
  }
  EXPECT_EQ(decodeJpegFile(dir.file("good.jpg")).width, 40);
}

}  // namespace
}  // namespace vendaro::formprint
