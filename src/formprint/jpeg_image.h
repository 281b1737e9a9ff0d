#pragma once
// Form images in JPEG: decoded with libjpeg into plain RGB rows, and the blank form "白地.jpg"
// written so that the layout editor always has a form to show.

#include <stdexcept>
#include <string>
#include <vector>

namespace vendaro::formprint {

/// 8-bit RGB pixels, row after row, 3 bytes a pixel.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> pixels;
};

/// An image file that exists but cannot be decoded. what() is a CP932 message naming the file.
class ImageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Decodes a JPEG file (grey or colour). Throws ImageError for a file that cannot be opened or is
/// not a whole JPEG image.
RgbImage decodeJpegFile(const std::string& path);

/// Writes a white JPEG of the given size in pixels. Throws FileError.
void writeWhiteJpeg(const std::string& path, int width, int height);

/// The blank form's file name "白地.jpg" as the file system spells it (UTF-8).
const std::string& blankFormFileName();

/// Writes the blank form (white A4 at 96 dpi) into the program directory unless it is there.
/// Throws FileError.
void installBlankForm(const std::string& programDirectory);

}  // namespace vendaro::formprint
