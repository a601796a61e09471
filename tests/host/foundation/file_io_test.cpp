// Whole-file reads and replacements: only regular files are read, never blocking, within
// a size limit; replacements leave no temporary behind; writers take turns on a lock.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>

#include "host/foundation/file_io.h"
#include "support/files.h"

using namespace host;
using namespace testing_support;
using namespace std::chrono_literals;

namespace {

class FileIo : public ::testing::Test {
 protected:
  void SetUp() override { dir = makeTempRoot("lumora-files"); }
  void TearDown() override { fs::remove_all(dir); }

  // The reason a read failed, or "" when it did not.
  std::string refusal(const fs::path& file, uint64_t limit = 1024) {
    FileContents read = readRegularFile(file, limit);
    return read.status == FileContents::Status::Failed ? read.error : "";
  }

  fs::path dir;
};

}  // namespace

TEST_F(FileIo, ReadsRegularFilesAndRefusesEverythingElseAtOnce) {
  writeBytes(dir / "plain", "contents");
  FileContents read = readRegularFile(dir / "plain", 8);
  EXPECT_EQ(read.status, FileContents::Status::Read);
  EXPECT_EQ(read.bytes, "contents");
  EXPECT_EQ(readRegularFile(dir / "missing", 8).status, FileContents::Status::Missing);
  fs::create_symlink(dir / "nowhere", dir / "dangling");
  EXPECT_EQ(readRegularFile(dir / "dangling", 8).status, FileContents::Status::Missing);

  // None of these may block or read without end: a FIFO with no writer, a device
  // that never ends (also through a link), a folder, a socket.
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_EQ(refusal(dir / "fifo"), "it is a FIFO (named pipe), not a regular file");
  EXPECT_EQ(refusal("/dev/zero"), "it is a character device, not a regular file");
  fs::create_symlink("/dev/zero", dir / "zero");
  EXPECT_EQ(refusal(dir / "zero"), "it is a character device, not a regular file");
  EXPECT_EQ(refusal(dir), "it is a folder, not a regular file");
  const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socketPath = (dir / "socket").string();
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  socketPath.copy(address.sun_path, socketPath.size());
  ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  EXPECT_EQ(refusal(dir / "socket"), "it is a socket, not a regular file");
  ::close(server);

  // A regular file the system cannot read gives the system's reason.
  EXPECT_EQ(refusal("/proc/self/mem"), "Input/output error");
}

TEST_F(FileIo, SizeLimitIsCheckedBeforeReading) {
  writeBytes(dir / "big", std::string(4097, 'x'));
  EXPECT_EQ(refusal(dir / "big", 4096), "it is 4097 bytes, larger than the 4096 bytes allowed");
  writeBytes(dir / "big", std::string(size_t{2} << 20, 'x'));
  EXPECT_EQ(refusal(dir / "big", 1 << 20), "it is 2 MiB, larger than the 1 MiB allowed");
  EXPECT_EQ(refusal(dir / "big", 2 << 20), "");
}

TEST_F(FileIo, ReplacementLeavesNoTemporaryAndStaleOnesAreRemoved) {
  const fs::path file = dir / "sub" / "settings.plist";
  ASSERT_EQ(replaceFile(file, "one"), "");
  ::chmod(file.c_str(), 0600);
  ASSERT_EQ(replaceFile(file, "two"), "");
  EXPECT_EQ(readBytes(file), "two");
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);

  // Left by writers killed between writing and renaming; other files stay.
  for (const char* name :
       {".settings.plist.Ab12Cd", ".settings.plist.zzzzzz", ".settings.plist.lock",
        ".settings.plist.toolong", ".other.plist.Ab12Cd", "settings.plist.Ab12Cd"})
    writeBytes(file.parent_path() / name, "x");
  removeStaleTemporaries(file);
  std::set<std::string> left;
  for (const auto& entry : fs::directory_iterator(file.parent_path()))
    left.insert(entry.path().filename().string());
  EXPECT_EQ(left, (std::set<std::string>{"settings.plist", ".settings.plist.lock",
                                         ".settings.plist.toolong", ".other.plist.Ab12Cd",
                                         "settings.plist.Ab12Cd"}));

  EXPECT_NE(replaceFile("/proc/no/such/file", "x").find("nothing was changed"), std::string::npos);
}

TEST_F(FileIo, ABareFileNameIsWrittenInTheWorkingFolder) {
  const fs::path before = fs::current_path();
  fs::current_path(dir);
  const std::string result = replaceFile("picture.png", "pixels");
  const WriteLock lock("settings.plist", std::chrono::milliseconds(100));
  fs::current_path(before);
  EXPECT_EQ(result, "");
  EXPECT_EQ(readBytes(dir / "picture.png"), "pixels");
  EXPECT_TRUE(lock.held()) << lock.error();
}

// The store's tests wait for a lock another holds; here, a lock file no lock can be.
TEST_F(FileIo, ALockFileThatIsAFifoIsRefusedWithoutBlocking) {
  const fs::path file = dir / "other.plist";
  ASSERT_EQ(::mkfifo(WriteLock::lockFileFor(file).c_str(), 0600), 0);
  WriteLock fifo(file, 50ms);
  EXPECT_FALSE(fifo.held());
  EXPECT_NE(fifo.error().find("FIFO"), std::string::npos) << fifo.error();
}
