#include "formprint/jpeg_image.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include <jpeglib.h>

#include "platform/safe_file.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"

namespace vendaro::formprint {
namespace {

/// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps back to
/// the decoder's frame with the library's message kept.
struct JumpingErrors {
  jpeg_error_mgr pub;
  std::jmp_buf back;
  char message[JMSG_LENGTH_MAX];
};

void jumpBack(j_common_ptr info) {
  auto* errors = reinterpret_cast<JumpingErrors*>(info->err);
  (*info->err->format_message)(info, errors->message);
  std::longjmp(errors->back, 1);
}

void noWarnings(j_common_ptr, int) {}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

std::string cannotRead(const std::string& path, const std::string& why) {
  return sjis::lit("画像ファイルを読み込めません: ") + sjis::fromUtf8Lossy(path) + " (" + sjis::fromUtf8Lossy(why) + ")";
}

/// Everything the decoder touches after setjmp lives here, behind a pointer that never changes.
struct Decoding {
  jpeg_decompress_struct info;
  JumpingErrors errors;
  RgbImage image;
  bool created = false;
  bool truncated = false;
};

}  // namespace

namespace {

/// Decodes into d->image; false with d->errors.message set when libjpeg gave up. Nothing in this
/// frame needs destroying, so the jump back out of libjpeg skips nothing.
bool decodeInto(Decoding* d, std::FILE* file) {
  d->info.err = jpeg_std_error(&d->errors.pub);
  d->errors.pub.error_exit = jumpBack;
  d->errors.pub.emit_message = noWarnings;
  d->errors.message[0] = '\0';
  if (setjmp(d->errors.back)) {
    if (d->created) jpeg_destroy_decompress(&d->info);
    d->created = false;
    return false;
  }
  jpeg_create_decompress(&d->info);
  d->created = true;
  jpeg_stdio_src(&d->info, file);
  jpeg_read_header(&d->info, TRUE);
  d->info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&d->info);
  d->image.width = static_cast<int>(d->info.output_width);
  d->image.height = static_cast<int>(d->info.output_height);
  d->image.pixels.resize(std::size_t{d->info.output_width} * 3 * d->info.output_height);
  while (d->info.output_scanline < d->info.output_height) {
    JSAMPROW row = d->image.pixels.data() + std::size_t{d->info.output_width} * 3 * d->info.output_scanline;
    jpeg_read_scanlines(&d->info, &row, 1);
  }
  // A file cut short is padded by libjpeg with a warning; take it as broken, not as half a form.
  d->truncated = d->errors.pub.num_warnings > 0;
  jpeg_finish_decompress(&d->info);
  jpeg_destroy_decompress(&d->info);
  d->created = false;
  return true;
}

}  // namespace

RgbImage decodeJpegFile(const std::string& path) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) throw ImageError(cannotRead(path, std::strerror(errno)));
  auto state = std::make_unique<Decoding>();
  if (!decodeInto(state.get(), file.get())) throw ImageError(cannotRead(path, state->errors.message));
  if (state->truncated) throw ImageError(cannotRead(path, "the image data is incomplete"));
  return std::move(state->image);
}

void writeWhiteJpeg(const std::string& path, int width, int height) {
  unsigned char* bytes = nullptr;
  unsigned long size = 0;
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);  // the library's own errors cannot occur for these settings
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &bytes, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<unsigned char> row(std::size_t(width) * 3, 0xFF);
  JSAMPROW rowPointer = row.data();
  while (info.next_scanline < info.image_height) jpeg_write_scanlines(&info, &rowPointer, 1);
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::unique_ptr<unsigned char, decltype(&std::free)> image(bytes, &std::free);
  // The blank form holds nothing personal: it may stay readable by everyone.
  writeFileWhole(path, std::string_view(reinterpret_cast<const char*>(image.get()), size), 0644);
}

const std::string& blankFormFileName() {
  static const std::string name = "白地.jpg";
  return name;
}

void installBlankForm(const std::string& programDirectory) {
  const std::string path = joinPath(programDirectory, blankFormFileName());
  if (fileExists(path)) return;
  // A4 on a 96-dpi screen: 210 x 297 mm.
  writeWhiteJpeg(path, 794, 1123);
}

}  // namespace vendaro::formprint
