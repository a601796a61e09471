// JPEG decoding through libjpeg(-turbo), straight into an ARGB32 surface.
#include <cstdio>  // jpeglib.h needs FILE and size_t first

#include <jpeglib.h>

#include <csetjmp>

#include "host/quartz/image_codec.h"

namespace host {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void errorExit(j_common_ptr cinfo) {
  auto* errors = reinterpret_cast<ErrorManager*>(cinfo->err);
  errors->base.format_message(cinfo, errors->message);
  std::longjmp(errors->jump, 1);
}

// Warnings (a truncated scan, say) are not printed; the decoder goes on.
void emitMessage(j_common_ptr, int) {}

// Adobe CMYK is stored inverted: each byte is 255 minus the ink.
uint32_t fromInvertedCMYK(const uint8_t* p) {
  const unsigned k = p[3];
  const unsigned r = (p[0] * k + 127) / 255, g = (p[1] * k + 127) / 255, b = (p[2] * k + 127) / 255;
  return 0xff000000u | r << 16 | g << 8 | b;
}

// Decodes into *surface (created once the size is known). Only plain locals live across
// setjmp; the caller owns whatever *surface holds afterwards, success or not.
bool readJPEG(std::span<const uint8_t> bytes, cairo_surface_t** surface, std::string& error) {
  jpeg_decompress_struct cinfo{};
  ErrorManager errors;
  cinfo.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = errorExit;
  errors.base.emit_message = emitMessage;
  errors.message[0] = 0;
  unsigned char* volatile cmykRow = nullptr;  // read again after a longjmp
  if (setjmp(errors.jump)) {
    error = std::string("damaged JPEG image (") + errors.message + ")";
    delete[] cmykRow;
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&cinfo, TRUE);
  if (!imageSizeAllowed(cinfo.image_width, cinfo.image_height)) {
    error = "the JPEG image is " + std::to_string(cinfo.image_width) + " x " +
            std::to_string(cinfo.image_height) + " pixels, beyond what can be read";
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;  // BGRA bytes are ARGB32 here
  jpeg_start_decompress(&cinfo);
  *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(cinfo.output_width),
                                        static_cast<int>(cinfo.output_height));
  if (cairo_surface_status(*surface) != CAIRO_STATUS_SUCCESS) {
    error = "out of memory";
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  uint8_t* data = cairo_image_surface_get_data(*surface);
  const size_t stride = static_cast<size_t>(cairo_image_surface_get_stride(*surface));
  if (cmyk) cmykRow = new unsigned char[size_t{cinfo.output_width} * 4];
  while (cinfo.output_scanline < cinfo.output_height) {
    uint8_t* row = data + stride * cinfo.output_scanline;
    JSAMPROW target = cmyk ? cmykRow : row;
    jpeg_read_scanlines(&cinfo, &target, 1);
    if (cmyk) {
      auto* pixels = reinterpret_cast<uint32_t*>(row);
      for (JDIMENSION x = 0; x < cinfo.output_width; ++x)
        pixels[x] = fromInvertedCMYK(cmykRow + 4 * x);
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  delete[] cmykRow;
  cairo_surface_mark_dirty(*surface);
  return true;
}

// Only the header: the size it states.
bool readJPEGSize(std::span<const uint8_t> bytes, ImageSize& size) {
  jpeg_decompress_struct cinfo{};
  ErrorManager errors;
  cinfo.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = errorExit;
  errors.base.emit_message = emitMessage;
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&cinfo, TRUE);
  size = {cinfo.image_width, cinfo.image_height};
  jpeg_destroy_decompress(&cinfo);
  return true;
}

}  // namespace

std::optional<ImageSize> jpegSize(std::span<const uint8_t> bytes) {
  ImageSize size;
  if (bytes.empty() || !readJPEGSize(bytes, size)) return std::nullopt;
  return size;
}

DecodedImage decodeJPEG(std::span<const uint8_t> bytes) {
  if (bytes.size() < 3 || bytes[0] != 0xff || bytes[1] != 0xd8)
    return {nullptr, "not a JPEG image"};
  cairo_surface_t* raw = nullptr;
  std::string error;
  const bool ok = readJPEG(bytes, &raw, error);
  SurfacePtr surface(raw);
  if (!ok) return {nullptr, error};
  Ref<CGImage> image = CGImage::fromSurface(std::move(surface));
  if (!image) return {nullptr, "the JPEG image could not be converted"};
  return {image, {}};
}

}  // namespace host
