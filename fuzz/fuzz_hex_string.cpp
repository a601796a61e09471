// Colour strings: any text parses without fault, names a colour exactly when it starts
// with "#", with channels that are whole bytes over 255, and for plain "#" + hex digits
// the value the digits spell (all bits set on overflow).
#include <cmath>
#include <cstdint>
#include <string>

#include "colour/colour_string.h"
#include "host/foundation/values.h"
#include "host/host.h"
#include "host/quartz/cgcolor.h"
#include "host/uikit/uikit_selectors.h"

namespace {

void require(bool condition) {
  if (!condition) __builtin_trap();
}

bool isHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool booted = (host::boot({}), true);
  (void)booted;
  const std::string text(reinterpret_cast<const char*>(data), size);
  rt::Ref<> colour = lumora::lumoraColorFromHexString(host::NSStr(text).get());
  require(static_cast<bool>(colour) == (!text.empty() && text[0] == '#'));
  if (!colour) return 0;

  rt::Ref<> cg = rt::send(colour, sel::CGColor);
  const double* c = host::CGColorGetComponents(cg.get());
  for (int k = 0; k < 3; ++k) {
    require(c[k] >= 0 && c[k] <= 1);
    const double byte = c[k] * 255;
    require(std::fabs(byte - std::round(byte)) < 1e-9);
  }
  const double brightness = lumora::lumoraColorBrightness(colour.get());
  require(brightness >= 0 && brightness <= 1.0000000000001);
  require(lumora::lumoraIsDarkColor(colour.get()) == (brightness < 0.6));
  if (text.find(':') == std::string::npos) require(c[3] == 1);

  // "#" and nothing but hex digits: the digits' value, its low 24 bits the colour.
  size_t digits = 1;
  while (digits < text.size() && isHexDigit(text[digits])) ++digits;
  if (digits == text.size() && digits > 1 && text.rfind("#0x", 0) != 0 &&
      text.rfind("#0X", 0) != 0) {
    uint64_t value = 0;
    bool overflow = false;
    for (size_t i = 1; i < digits; ++i) {
      value = value << 4 | static_cast<uint64_t>(std::stoi(std::string(1, text[i]), nullptr, 16));
      if (value > 0xffffffffu) overflow = true, value &= 0xffffffffu;
    }
    if (overflow) value = 0xffffffffu;
    require(std::lround(c[0] * 255) == static_cast<long>(value >> 16 & 0xff));
    require(std::lround(c[1] * 255) == static_cast<long>(value >> 8 & 0xff));
    require(std::lround(c[2] * 255) == static_cast<long>(value & 0xff));
  }
  return 0;
}
