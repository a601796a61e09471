#include "host/foundation/base64.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif
#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace host {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Four characters for three bytes, in one 32-bit word per 24-bit group: a table of
// 4096 two-character pairs halves the work per byte.
struct PairTable {
  char pairs[4096][2];
  PairTable() {
    for (int i = 0; i < 4096; ++i) pairs[i][0] = kAlphabet[i >> 6], pairs[i][1] = kAlphabet[i & 63];
  }
};

// Encodes whole groups of three bytes; answers the end of the output.
char* encodeGroups(const uint8_t* in, size_t groups, char* out) {
  static const PairTable table;
  for (size_t g = 0; g < groups; ++g, in += 3, out += 4) {
    const uint32_t v = uint32_t{in[0]} << 16 | uint32_t{in[1]} << 8 | in[2];
    std::memcpy(out, table.pairs[v >> 12], 2);
    std::memcpy(out + 2, table.pairs[v & 0xfff], 2);
  }
  return out;
}

#if defined(__x86_64__)
// 24 bytes to 32 characters at a time (W. Mula's method: each 3 bytes spread over 4,
// the four 6-bit fields moved into place by multiplies, characters found by a
// 16-entry offset table). Reads 4 bytes past each block, so the caller leaves room.
__attribute__((target("avx2"))) char* encodeBlocksAVX2(const uint8_t* in, size_t blocks,
                                                       char* out) {
  const __m256i spread = _mm256_setr_epi8(1, 0, 2, 1, 4, 3, 5, 4, 7, 6, 8, 7, 10, 9, 11, 10, 1, 0,
                                          2, 1, 4, 3, 5, 4, 7, 6, 8, 7, 10, 9, 11, 10);
  const __m256i offsets =
      _mm256_setr_epi8('a' - 26, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52,
                       '0' - 52, '0' - 52, '0' - 52, '0' - 52, '+' - 62, '/' - 63, 'A', 0, 0,
                       'a' - 26, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52,
                       '0' - 52, '0' - 52, '0' - 52, '0' - 52, '+' - 62, '/' - 63, 'A', 0, 0);
  for (size_t b = 0; b < blocks; ++b, in += 24, out += 32) {
    __m256i v = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 12)), 1);
    v = _mm256_shuffle_epi8(v, spread);
    const __m256i high = _mm256_mulhi_epu16(_mm256_and_si256(v, _mm256_set1_epi32(0x0fc0fc00)),
                                            _mm256_set1_epi32(0x04000040));
    const __m256i low = _mm256_mullo_epi16(_mm256_and_si256(v, _mm256_set1_epi32(0x003f03f0)),
                                           _mm256_set1_epi32(0x01000010));
    const __m256i fields = _mm256_or_si256(high, low);  // one 6-bit value a byte
    __m256i index = _mm256_subs_epu8(fields, _mm256_set1_epi8(51));
    const __m256i letters = _mm256_cmpgt_epi8(_mm256_set1_epi8(26), fields);
    index = _mm256_or_si256(index, _mm256_and_si256(letters, _mm256_set1_epi8(13)));
    const __m256i chars = _mm256_add_epi8(_mm256_shuffle_epi8(offsets, index), fields);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), chars);
  }
  return out;
}
#endif

// Encodes `groups` whole groups from `in`, whose buffer holds `available` bytes from
// there on (room for the vector path's reads past the end).
char* encodeRun(const uint8_t* in, size_t groups, size_t available, char* out) {
#if defined(__x86_64__)
  static const bool vector = __builtin_cpu_supports("avx2");
  if (vector && available >= 28) {
    const size_t blocks = std::min(groups / 8, (available - 4) / 24);
    out = encodeBlocksAVX2(in, blocks, out);
    in += 24 * blocks, groups -= 8 * blocks;
  }
#else
  (void)available;
#endif
  return encodeGroups(in, groups, out);
}

// Asks the system for all the pages of a large buffer in one call: memory the allocator
// has just taken from the system (as after it has handed its free memory back) is
// otherwise faulted in a page at a time, which costs more than encoding an icon's key.
void populate(char* data, size_t length) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
  constexpr size_t kPage = 4096;
  if (length < 16 * kPage) return;
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kPage - 1) & ~(kPage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + length) & ~(kPage - 1);
  madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);  // a hint only
#else
  (void)data, (void)length;
#endif
}

}  // namespace

std::string base64Encode(std::span<const uint8_t> bytes, uint64_t options) {
  const size_t lineLength = (options & NSDataBase64Encoding64CharacterLineLength)   ? 64
                            : (options & NSDataBase64Encoding76CharacterLineLength) ? 76
                                                                                    : 0;
  std::string ending;
  if (options & NSDataBase64EncodingEndLineWithCarriageReturn) ending += '\r';
  if (options & NSDataBase64EncodingEndLineWithLineFeed) ending += '\n';
  if (ending.empty()) ending = "\r\n";

  // Line lengths are whole groups of four characters (64 = 16 x 4, 76 = 19 x 4).
  const size_t groups = bytes.size() / 3, rest = bytes.size() % 3;
  const size_t characters = (groups + (rest ? 1 : 0)) * 4;
  const size_t lines = lineLength ? (characters + lineLength - 1) / lineLength : 1;
  const size_t groupsPerLine = lineLength ? lineLength / 4 : groups;
  const size_t length = characters + (lines > 1 ? (lines - 1) * ending.size() : 0);
  std::string text;
  text.reserve(length);
  populate(text.data(), length);
  text.assign(length, '=');
  char* out = text.data();
  const uint8_t* in = bytes.data();
  for (size_t done = 0; done < groups;) {
    const size_t run = std::min(groupsPerLine, groups - done);
    out = encodeRun(in, run, bytes.size() - 3 * done, out);
    in += 3 * run, done += run;
    if (lineLength && run == groupsPerLine && out != text.data() + text.size()) {
      std::memcpy(out, ending.data(), ending.size());
      out += ending.size();
    }
  }
  if (rest) {
    const uint32_t v = uint32_t{in[0]} << 16 | (rest == 2 ? uint32_t{in[1]} << 8 : 0);
    out[0] = kAlphabet[v >> 18];
    out[1] = kAlphabet[(v >> 12) & 63];
    if (rest == 2) out[2] = kAlphabet[(v >> 6) & 63];
  }
  return text;
}

void defineNSDataBase64(ClassList& list) {
  list.extend(NSData::cls, [](Class data) {
    rt::bindFunction(
        data, sel::base64EncodedStringWithOptions,
        +[](id self, rt::SEL, uint64_t options) -> Ref<> {
          return NSStr(base64Encode(static_cast<const NSData*>(self)->bytes(), options));
        });
  });
}

}  // namespace host
