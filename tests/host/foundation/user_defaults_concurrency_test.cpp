// Processes writing one suite at once: 8 writers of 200 settings each while 4 readers
// read the file over and over. Every write must be in the file at the end, and every
// read must see a whole file. Each process is a fork of this one with its own store.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "host/foundation/file_io.h"
#include "host/foundation/property_list.h"
#include "host/foundation/user_defaults.h"
#include "host/host.h"
#include "support/files.h"

using namespace host;
using namespace testing_support;

namespace {

constexpr int kWriters = 8, kKeysEach = 200, kReaders = 4;

std::string keyOf(int writer, int n) {
  return std::string("w").append(std::to_string(writer)).append(".").append(std::to_string(n));
}

// A writer stores its own keys one write at a time, each value naming its key.
int runWriter(int writer) {
  Ref<> store = rt::send(rt::send(rt::objc_getClass("NSUserDefaults"), sel::alloc),
                         sel::initWithSuiteName, NSStr("busy.suite"));
  auto* defaults = dynamic_cast<NSUserDefaults*>(store.get());
  if (!defaults) return 1;
  for (int n = 0; n < kKeysEach; ++n) {
    const std::string key = keyOf(writer, n);
    if (WriteResult result = defaults->write(key, NSStr(std::string("v").append(key)).get());
        !result) {
      std::fprintf(stderr, "writer %d: %s\n", writer, result.error.c_str());
      return 1;
    }
  }
  return 0;
}

// A reader parses the file until told to stop; every version must be a dictionary
// whose values all match their keys. Answers 0 when every read was whole.
int runReader(const fs::path& file, const fs::path& stop) {
  int reads = 0;
  while (!fs::exists(stop) || reads == 0) {
    const FileContents contents = readRegularFile(file, kMaxPreferenceFileBytes);
    if (contents.status == FileContents::Status::Missing) continue;
    if (contents.status == FileContents::Status::Failed) return 2;
    // Read as another program would, with libplist alone.
    plist_t root = nullptr;
    plist_from_memory(contents.bytes.data(), static_cast<uint32_t>(contents.bytes.size()), &root);
    plist::Node parsed(root);
    if (!root || plist_get_node_type(root) != PLIST_DICT) return 3;
    bool whole = true;
    plist::forEachItem(root, [&](const char* key, plist_t value) {
      uint64_t length = 0;
      const char* text = plist_get_string_ptr(value, &length);
      whole = text && std::string(text, length) == std::string("v").append(key);
      return whole;
    });
    if (!whole) return 4;
    ++reads;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));  // leave the writers room
  }
  return 0;
}

}  // namespace

TEST(UserDefaultsConcurrency, WritersInSeveralProcessesLoseNothingAndReadersSeeWholeFiles) {
  const fs::path root = makeTempRoot("lumora-busy");
  boot({root, {}});
  const fs::path file = devicePath("/var/mobile/Library/Preferences/busy.suite.plist");
  const fs::path stop = root / "stop";
  std::vector<pid_t> writers, readers;
  auto spawn = [](auto run) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(run());
    return pid;
  };
  for (int r = 0; r < kReaders; ++r)
    readers.push_back(spawn([&] { return runReader(file, stop); }));
  for (int w = 0; w < kWriters; ++w) writers.push_back(spawn([w] { return runWriter(w); }));
  // A hang is ended by the test's own time limit.
  auto finish = [](const std::vector<pid_t>& pids, const char* what) {
    for (pid_t pid : pids) {
      int status = 0;
      ::waitpid(pid, &status, 0);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
          << what << " " << pid << " ended with status " << status;
    }
  };
  finish(writers, "writer");
  writeBytes(stop, "");
  finish(readers, "reader");

  plist_t written = nullptr;
  const std::string bytes = readBytes(file);
  plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &written);
  ASSERT_NE(written, nullptr);
  EXPECT_EQ(plist_dict_get_size(written), static_cast<uint32_t>(kWriters * kKeysEach));
  int missing = 0;
  for (int w = 0; w < kWriters; ++w)
    for (int n = 0; n < kKeysEach; ++n)
      missing += !plist_dict_get_item(written, keyOf(w, n).c_str());
  EXPECT_EQ(missing, 0);
  plist_free(written);
  host::reset();
  fs::remove_all(root);
}
