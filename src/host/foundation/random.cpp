#include "host/foundation/random.h"

#include <random>

namespace host {
namespace {
std::mt19937 seeded(uint64_t value) {
  std::seed_seq sequence{static_cast<uint32_t>(value), static_cast<uint32_t>(value >> 32)};
  return std::mt19937(sequence);
}
std::mt19937& generator() {
  static std::mt19937 g = seeded(random_source::kDefaultSeed);
  return g;
}
}  // namespace

uint32_t arc4random() {
  return static_cast<uint32_t>(generator()());
}

namespace random_source {
void seed(uint64_t value) {
  generator() = seeded(value);
}
void reset() {
  seed(kDefaultSeed);
}
}  // namespace random_source

}  // namespace host
