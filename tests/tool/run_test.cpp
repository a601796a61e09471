// `lumora run` as a person uses it, with real processes: the device running in the
// background, a setting changed from another process, a test notification posted
// through `lumora notify`, a second run refused, and a clean stop on SIGTERM. Every wait
// is bounded, and only the process this test started is ever signalled.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "tool_fixture.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;
using fs::path;

// Waits until the condition holds, at most `limit`; whether it held.
bool waitFor(std::chrono::milliseconds limit, const std::function<bool()>& condition) {
  const auto end = Clock::now() + limit;
  while (!condition()) {
    if (Clock::now() > end) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

// A `lumora run` in the background, its output in files; killed if the test ends early.
class Background {
 public:
  Background(const std::vector<std::string>& args, const path& out, const path& err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Background() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  pid_t pid() const { return pid_; }
  // Sends the signal and waits for the exit status, at most `limit` (-1 if it did not end).
  int stop(int signal, std::chrono::milliseconds limit) {
    ::kill(pid_, signal);
    int status = 0;
    if (!waitFor(limit, [&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; })) return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
};

// The first view in the tree held under this name.
const nlohmann::json* named(const nlohmann::json& view, const std::string& name) {
  for (const auto& n : view["names"])
    if (n == name) return &view;
  for (const auto& child : view["subviews"])
    if (const auto* found = named(child, name)) return found;
  return nullptr;
}

class RunTest : public testing_support::ToolTest {};

TEST_F(RunTest, LiveDeviceFollowsSettingsAndNotificationsAndStopsCleanly) {
  const path scene = base / "scene.json", preview = base / "p.png", dump = base / "d.json";
  testing_support::writeBytes(scene, R"({
    "apps": [{"bundleIdentifier": "com.example.mail", "name": "Mail",
              "icon": {"colour": "#3366CC"}}],
    "notifications": [{"id": "mail", "section": "com.example.mail", "title": "Maple",
                       "message": "Lunch at noon?"}],
    "widgets": [{"id": "w", "name": "Mail", "icon": {"colour": "#3366CC"}}],
    "nowPlaying": {"title": "Song"}
  })");
  Background run(
      {LUMORA_BINARY, "--root", root.string(), "run", "--scene", scene.string(), "--preview",
       preview.string(), "--dump", dump.string(), "--seed", "3", "--scale", "1"},
      base / "out", base / "err");
  ASSERT_GT(run.pid(), 0);
  const path socket = root / ".lumora-run.sock";
  ASSERT_TRUE(waitFor(10s, [&] { return fs::exists(socket) && fs::exists(preview); }))
      << testing_support::readBytes(base / "err");
  EXPECT_EQ(fs::status(socket).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);

  // A setting written by another process shows without any notification.
  // (Bounds are generous: they catch a change that never comes, not a slow machine.)
  std::string before = testing_support::readBytes(preview);
  ASSERT_EQ(lumora("prefs set colorBackgroundBanner '#FF0000'").status, 0);
  EXPECT_TRUE(waitFor(10s, [&] { return testing_support::readBytes(preview) != before; }));
  auto shown = [&](const nlohmann::json& surface) {
    const auto* background = named(surface["view"], "lumoraBackground");
    return background ? (*background)["backgroundColor"] : nlohmann::json();
  };
  ASSERT_TRUE(waitFor(10s, [&] {
    auto d = nlohmann::json::parse(testing_support::readBytes(dump), nullptr, false);
    return !d.is_discarded() && shown(d["surfaces"][0]) == nlohmann::json({1, 0, 0, 1});
  }));

  // Widgets follow a setting too, and the media player's added views are named.
  auto surface = [](const nlohmann::json& d, const std::string& id) {
    for (const auto& s : d["surfaces"])
      if (s["id"] == id) return s;
    return nlohmann::json();
  };
  ASSERT_EQ(lumora("prefs set roundedCornersWidget none").status, 0);
  EXPECT_TRUE(waitFor(10s, [&] {
    auto d = nlohmann::json::parse(testing_support::readBytes(dump), nullptr, false);
    return !d.is_discarded() && surface(d, "w")["view"]["layer"]["cornerRadius"] == 0;
  }));
  const auto player =
      surface(nlohmann::json::parse(testing_support::readBytes(dump)), "mediaplayer");
  ASSERT_TRUE(player.is_object());
  EXPECT_NE(named(player["view"], "lumoraArtworkBackground"), nullptr);

  // A test request becomes a restyled banner.
  before = testing_support::readBytes(preview);
  ASSERT_EQ(lumora("notify com.tarnwick.lumora/testRegular").status, 0);
  nlohmann::json d;
  EXPECT_TRUE(waitFor(10s, [&] {
    d = nlohmann::json::parse(testing_support::readBytes(dump), nullptr, false);
    return !d.is_discarded() && surface(d, "bulletin-1").is_object();
  }));
  EXPECT_EQ(shown(surface(d, "bulletin-1")), nlohmann::json({1, 0, 0, 1}));
  EXPECT_EQ(d["bulletins"][0]["message"], "This is a test notification for Mail");
  EXPECT_TRUE(waitFor(10s, [&] { return testing_support::readBytes(preview) != before; }));

  // One run per device root.
  const auto second = lumora("run --scene '" + scene.string() + "'");
  EXPECT_EQ(second.status, 1);
  EXPECT_NE(second.err.find("already running"), std::string::npos) << second.err;
  EXPECT_NE(second.err.find("pid " + std::to_string(run.pid())), std::string::npos) << second.err;

  EXPECT_EQ(run.stop(SIGTERM, 5s), 0);
  EXPECT_FALSE(fs::exists(socket));
  EXPECT_FALSE(fs::exists(root / ".lumora-run.lock"));
  const std::string out = testing_support::readBytes(base / "out");
  for (const char* line :
       {" prefs colorBackgroundBanner = #FF0000\n", " darwin com.tarnwick.lumora/testRegular\n",
        " bulletin com.example.mail \"Lumora Notification\"", " wrote " /* the preview and dump */})
    EXPECT_NE(out.find(line), std::string::npos) << line << " in\n" << out;

  const auto orphan = lumora("notify com.tarnwick.lumora/testRegular");
  EXPECT_EQ(orphan.status, 1);
  EXPECT_NE(orphan.err.find("no lumora run is running on"), std::string::npos) << orphan.err;
}

}  // namespace
