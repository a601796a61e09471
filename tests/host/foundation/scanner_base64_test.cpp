// NSScanner's hexadecimal reading, and NSData's Base64 text.
#include <gtest/gtest.h>

#include "host/foundation/base64.h"
#include "host/foundation/scanner.h"
#include "host/image_fixtures.h"

using namespace host;

namespace {

class Scanning : public fixtures::BootedHost {
 protected:
  // Scans from `location`: (answer, value, location afterwards); the value starts at 7.
  std::tuple<bool, uint32_t, uint64_t> scan(const std::string& text, uint64_t location = 0) {
    Ref<> scanner = rt::send(rt::objc_getClass("NSScanner"), sel::scannerWithString, NSStr(text));
    rt::send(scanner, sel::setScanLocation, location);
    uint32_t value = 7;
    const bool found = rt::send(scanner, sel::scanHexInt, &value);
    return {found, value, rt::send(scanner, sel::scanLocation)};
  }
};

TEST_F(Scanning, HexIntReadsDigitsAfterWhiteSpaceAndAPrefix) {
  using R = std::tuple<bool, uint32_t, uint64_t>;
  EXPECT_EQ(scan("#FF8000:0.5", 1), (R{true, 0xFF8000, 7}));
  EXPECT_EQ(scan("#fff", 1), (R{true, 0xFFF, 4}));  // no short forms
  EXPECT_EQ(scan(" \t\r\n\xc2\xa0\xe3\x80\x80"
                 "1f"),
            (R{true, 0x1F, 11}));
  EXPECT_EQ(scan("0x1Fz"), (R{true, 0x1F, 4}));
  EXPECT_EQ(scan("0XaB"), (R{true, 0xAB, 4}));
  EXPECT_EQ(scan("0xZ"), (R{true, 0, 1}));  // "0x" without a digit: the 0 is the number
  EXPECT_EQ(scan("12345678"), (R{true, 0x12345678, 8}));
  EXPECT_EQ(scan("123456789:1"), (R{true, 0xFFFFFFFF, 9}));        // overflow: all bits set
  EXPECT_EQ(scan("00000000000000000000ff"), (R{true, 0xFF, 22}));  // leading zeros fit
  EXPECT_EQ(scan("#GG", 1), (R{false, 7, 1}));
  EXPECT_EQ(scan("  ", 0), (R{false, 7, 0}));
  EXPECT_EQ(scan("#", 1), (R{false, 7, 1}));
}

TEST_F(Scanning, LocationsBeyondTheEndAreProgrammingErrors) {
  Ref<> scanner = rt::send(rt::objc_getClass("NSScanner"), sel::scannerWithString, NSStr("ab"));
  EXPECT_THROW(rt::send(scanner, sel::setScanLocation, uint64_t{3}), rt::ProgrammingError);
  EXPECT_TRUE(rt::send(scanner, sel::scanHexInt, static_cast<uint32_t*>(nullptr)));
  EXPECT_TRUE(rt::send(scanner, sel::isAtEnd));
}

// The icon keys' encoding: known vectors, lines of 64 ended by CR LF (none after a full
// last line), and through NSData as the system asks for it.
TEST_F(Scanning, Base64EncodesKnownVectorsAndWrapsLinesOf64) {
  const auto encode = [](const std::string& s, uint64_t options = 0) {
    return base64Encode(std::vector<uint8_t>(s.begin(), s.end()), options);
  };
  EXPECT_EQ(encode(""), "");
  EXPECT_EQ(encode("f"), "Zg==");
  EXPECT_EQ(encode("fo"), "Zm8=");
  EXPECT_EQ(encode("foobar"), "Zm9vYmFy");
  const std::string wrapped = encode(std::string(49, 'x'), 1);
  EXPECT_EQ(wrapped.find("\r\n"), 64u);
  EXPECT_EQ(wrapped.size(), 64u + 2 + 4);
  EXPECT_EQ(encode(std::string(48, 'x'), 1).find('\r'), std::string::npos);
  Ref<> text = rt::send(NSData::make({'h', 'i', '!'}), sel::base64EncodedStringWithOptions,
                        uint64_t{NSDataBase64Encoding64CharacterLineLength});
  EXPECT_TRUE(isString(text.get(), "aGkh"));
}

}  // namespace
