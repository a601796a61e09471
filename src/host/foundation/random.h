// arc4random: the platform's uniform 32-bit random numbers, from a generator the tool
// and tests can seed so that a random choice is repeatable. A freshly booted host starts
// from a fixed seed, so a dump of a scene is the same on every run.
#pragma once

#include <cstdint>

namespace host {

// A uniformly distributed unsigned 32-bit number.
uint32_t arc4random();

namespace random_source {
inline constexpr uint64_t kDefaultSeed = 0;
// Restarts the sequence from the seed.
void seed(uint64_t value);
// Back to kDefaultSeed; part of resetting the host.
void reset();
}  // namespace random_source

}  // namespace host
