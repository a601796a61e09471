// Bitmap drawing contexts over memory the caller owns, as the host's graphics library
// makes them, and drawing an image scaled into a rectangle of one.
//
// Supported layout: 8 bits per component, 4 bytes per pixel, alpha premultiplied and
// stored first or last, in big- or little-endian 32-bit order; rows lie in memory from
// the top of the bitmap down. Other layouts give no context (null), as the host does for
// combinations it does not support.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/quartz/cgimage.h"
#include "runtime/geometry.h"

namespace host {

struct CGColorSpace;
struct CGContext;
using CGColorSpaceRef = CGColorSpace*;
using CGContextRef = CGContext*;

enum : uint32_t {
  kCGImageAlphaPremultipliedLast = 1,
  kCGImageAlphaPremultipliedFirst = 2,
  kCGBitmapAlphaInfoMask = 0x1f,
  kCGBitmapByteOrderDefault = 0,
  kCGBitmapByteOrder32Little = 2u << 12,
  kCGBitmapByteOrder32Big = 4u << 12,
  kCGBitmapByteOrderMask = 0x7000,
};

// The device RGB colour space; release it with CGColorSpaceRelease (null is ignored).
CGColorSpaceRef CGColorSpaceCreateDeviceRGB();
void CGColorSpaceRelease(CGColorSpaceRef space);

// A context drawing into `data` (width x height pixels, rows `bytesPerRow` apart; 0
// means 4 x width). Null data makes the context own a zero-filled buffer. Answers null
// for an unsupported layout, a null colour space, an empty size, a size beyond
// `imageSizeAllowed`, or rows too short. Release it with CGContextRelease.
CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height, size_t bitsPerComponent,
                                   size_t bytesPerRow, CGColorSpaceRef space, uint32_t bitmapInfo);
void CGContextRelease(CGContextRef context);
void* CGBitmapContextGetData(CGContextRef context);
size_t CGBitmapContextGetWidth(CGContextRef context);
size_t CGBitmapContextGetHeight(CGContextRef context);
size_t CGBitmapContextGetBytesPerRow(CGContextRef context);

// Draws the image scaled to fill `rect` (origin at the bottom left, y upwards, as on the
// host), composited over what the bitmap holds. A rectangle on whole pixels inside the
// bitmap (the common case: the whole bitmap) is drawn with the area-averaging scaler;
// any other rectangle through cairo. A null context, or an image that is not a
// CGImage, draws nothing.
void CGContextDrawImage(CGContextRef context, rt::CGRect rect, id image);

}  // namespace host
