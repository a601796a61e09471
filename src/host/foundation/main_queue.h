// The main dispatch queue on a virtual clock. Blocks run only when time is advanced
// (by the scene, the tool or a test): in time order, ties in the order scheduled.
// Nothing sleeps.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace host {

using dispatch_block_t = std::function<void()>;
// Nanoseconds on the virtual clock; DISPATCH_TIME_NOW stands for "the current time".
using dispatch_time_t = uint64_t;
inline constexpr dispatch_time_t DISPATCH_TIME_NOW = 0;
inline constexpr int64_t NSEC_PER_SEC = 1'000'000'000;

class MainQueue;
using dispatch_queue_t = MainQueue*;

dispatch_queue_t dispatch_get_main_queue();
// `when` shifted by delta nanoseconds; from DISPATCH_TIME_NOW it is relative to now.
dispatch_time_t dispatch_time(dispatch_time_t when, int64_t delta);
// Schedules block to run on queue at time `when` (at once if that is not later than now,
// but never inside this call).
void dispatch_after(dispatch_time_t when, dispatch_queue_t queue, dispatch_block_t block);
void dispatch_async(dispatch_queue_t queue, dispatch_block_t block);

// Control of the virtual clock, for the scene, the tool and tests.
namespace main_queue {
// The current virtual time in nanoseconds since boot.
uint64_t now();
// Runs every block due up to now + nanoseconds (including blocks they schedule that fall
// in the window), then sets the clock to the end of the window. Answers how many ran.
// Blocks due at the same instant form one batch (one turn of the host's run loop):
// before it the before-batch hook runs, after it the after-batch hook (the host commits
// its transaction and lays out). A commit asked for with nothing due runs as a batch of
// its own at the current time, again while layout keeps asking (at most 32 in a row).
size_t advance(uint64_t nanoseconds);
// Runs the blocks that are due now.
inline size_t drain() {
  return advance(0);
}
size_t pendingCount();
// When the earliest pending block is due, or nothing when none is pending.
std::optional<uint64_t> nextDueTime();
// Drops every block and sets the clock back to 0.
void reset();
// Runs before each batch of blocks: lets other state catch up (user defaults read
// changes another process wrote).
void setBeforeBatch(std::function<void()> hook);
// Runs after each batch: the host lays out what is marked.
void setAfterBatch(std::function<void()> hook);
// Asks for a batch at the next advance even when no block is due (a view was marked
// for layout).
void requestCommit();
}  // namespace main_queue

}  // namespace host
