#include "host/foundation/main_queue.h"

#include <map>
#include <utility>

namespace host {

class MainQueue {
 public:
  uint64_t clock = 0;
  uint64_t sequence = 0;
  // Ordered by (due time, scheduling order).
  std::map<std::pair<uint64_t, uint64_t>, dispatch_block_t> blocks;
  std::function<void()> beforeBatch, afterBatch;
  bool commitRequested = false;
};

namespace {
// More than the passes after which the host calls a layout a loop (view.h).
constexpr int kMaxQuietCommits = 32;

MainQueue& queue() {
  static MainQueue q;
  return q;
}
}  // namespace

dispatch_queue_t dispatch_get_main_queue() {
  return &queue();
}

dispatch_time_t dispatch_time(dispatch_time_t when, int64_t delta) {
  const int64_t base = static_cast<int64_t>(when == DISPATCH_TIME_NOW ? queue().clock : when);
  const int64_t result = base + delta;
  return result < 0 ? 0 : static_cast<dispatch_time_t>(result);
}

void dispatch_after(dispatch_time_t when, dispatch_queue_t q, dispatch_block_t block) {
  if (!q || !block) return;
  const uint64_t due = when == DISPATCH_TIME_NOW || when < q->clock ? q->clock : when;
  q->blocks.emplace(std::make_pair(due, q->sequence++), std::move(block));
}

void dispatch_async(dispatch_queue_t q, dispatch_block_t block) {
  dispatch_after(DISPATCH_TIME_NOW, q, std::move(block));
}

namespace main_queue {

uint64_t now() {
  return queue().clock;
}

size_t advance(uint64_t nanoseconds) {
  MainQueue& q = queue();
  const uint64_t end = q.clock + nanoseconds;
  size_t ran = 0;
  int quietCommits = 0;
  for (;;) {
    const bool due = !q.blocks.empty() && q.blocks.begin()->first.first <= end;
    // A commit asked for while nothing is due runs as a batch of its own, so a layout
    // that marks views again is laid out again at once, as the host's run loop turns
    // until the screen settles. One that never settles is cut off after kMaxQuietCommits
    // in one call, so that the clock can go on; the host reports such a layout loop.
    if (!due && (!q.commitRequested || quietCommits == kMaxQuietCommits)) break;
    if (due)
      q.clock = q.blocks.begin()->first.first;
    else
      ++quietCommits;
    q.commitRequested = false;
    if (q.beforeBatch) q.beforeBatch();
    // One batch: every block due at this instant, including those they schedule for it.
    while (!q.blocks.empty() && q.blocks.begin()->first.first <= q.clock) {
      auto node = q.blocks.extract(q.blocks.begin());
      node.mapped()();
      ++ran;
    }
    if (q.afterBatch) q.afterBatch();
  }
  q.clock = end;
  return ran;
}

size_t pendingCount() {
  return queue().blocks.size();
}

std::optional<uint64_t> nextDueTime() {
  const MainQueue& q = queue();
  if (q.blocks.empty()) return std::nullopt;
  return q.blocks.begin()->first.first;
}

void reset() {
  MainQueue& q = queue();
  auto dropped = std::move(q.blocks);  // blocks may own objects; release them last
  q.blocks.clear();
  q.clock = 0;
  q.sequence = 0;
  q.commitRequested = false;
}

void requestCommit() {
  queue().commitRequested = true;
}

void setAfterBatch(std::function<void()> hook) {
  queue().afterBatch = std::move(hook);
}

void setBeforeBatch(std::function<void()> hook) {
  queue().beforeBatch = std::move(hook);
}

}  // namespace main_queue
}  // namespace host
