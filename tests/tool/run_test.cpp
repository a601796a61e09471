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

class RunTest : public testing_support::ToolTest {
 protected:
  std::string out() { return testing_support::readBytes(base / "out"); }
  std::string err() { return testing_support::readBytes(base / "err"); }
  bool outHas(const std::string& text) {
    return waitFor(10s, [&] { return out().find(text) != std::string::npos; });
  }
  // The preference file written whole, as another program would, with one string.
  void storeDirectly(const std::string& key, const std::string& value) {
    const path file = prefsFile(), scratch = base / "prefs.tmp";
    testing_support::writeBytes(scratch,
                                "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>" + key +
                                    "</key><string>" + value + "</string></dict></plist>");
    fs::rename(scratch, file);
  }
};

size_t count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST_F(RunTest, LiveDeviceFollowsSettingsAndNotificationsAndStopsCleanly) {
  const path scene = base / "scene.json", preview = base / "p.png", dump = base / "d.json";
  testing_support::writeBytes(scene, R"({
    "apps": [{"bundleIdentifier": "com.example.mail", "name": "Mail",
              "icon": {"colour": "#3366CC"}}],
    "notifications": [{"id": "mail", "section": "com.example.mail", "title": "Maple",
                       "message": "Lunch at noon?"}]
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

  auto surface = [](const nlohmann::json& d, const std::string& id) {
    for (const auto& s : d["surfaces"])
      if (s["id"] == id) return s;
    return nlohmann::json();
  };

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

TEST_F(RunTest, TheScenesSettingsKeepWhatThePersonStoredUnlessAskedOtherwise) {
  ASSERT_EQ(lumora("prefs set colorHeaderBanner '#123456'").status, 0);
  const path dump = base / "d.json";
  for (const bool apply : {false, true}) {
    std::vector<std::string> args = {
        LUMORA_BINARY, "run",         "--scene", std::string(LUMORA_SCENES) + "/classic.json",
        "--dump",      dump.string(), "--root",  root.string()};
    if (apply) args.push_back("--apply-scene-settings");
    fs::remove(dump);
    Background run(args, base / "out", base / "err");
    ASSERT_TRUE(waitFor(10s, [&] { return fs::exists(dump); })) << err();
    ASSERT_EQ(run.stop(SIGTERM, 5s), 0);
    const std::string lines = out();
    const size_t running = lines.find(" running ");
    if (!apply) {
      const size_t said = lines.find(" the scene's settings not applied, your stored values kept");
      EXPECT_LT(said, running) << lines;
      EXPECT_NE(lines.find("   colorHeaderBanner: stored #123456, the scene's dominant\n"),
                std::string::npos)
          << lines;
      EXPECT_EQ(json("prefs get colorHeaderBanner --json")["value"], "#123456");
      // What the person had not stored is the scene's.
      EXPECT_EQ(json("prefs get styleBanner --json")["value"], "classic");
    } else {
      EXPECT_LT(lines.find("kept a copy of the settings as they were in " + prefsFile().string() +
                           ".before-run-"),
                running)
          << lines;
      EXPECT_EQ(json("prefs get colorHeaderBanner --json")["value"], "dominant");
    }
  }
}

TEST_F(RunTest, AFaultNeitherStopsTheDeviceNorLosesAWrite) {
  const path preview = base / "p.png", folder = base / "live", dump = folder / "d.json";
  testing_support::writeBytes(prefsFile(), "not a property list");
  Background run({LUMORA_BINARY, "run", "--root", root.string(), "--preview", preview.string(),
                  "--dump", dump.string(), "--scale", "1"},
                 base / "out", base / "err");
  ASSERT_TRUE(waitFor(10s, [&] { return fs::exists(dump) && fs::exists(preview); })) << err();
  // Said at the start, before the device runs.
  EXPECT_LT(out().find("the defaults apply until it is repaired"), out().find(" running "))
      << out();
  fs::remove(prefsFile());
  ASSERT_TRUE(outHas(" prefs readable again"));

  // A write that fails is tried again until it succeeds, with no further change.
  fs::rename(folder, base / "gone");
  testing_support::writeBytes(folder, "a file where the folder was");
  ASSERT_EQ(lumora("prefs set colorBackgroundBanner '#FF0000'").status, 0);
  ASSERT_TRUE(
      waitFor(10s, [&] { return err().find("warning: cannot write") != std::string::npos; }));
  EXPECT_EQ(count(err(), "cannot write"), 1u) << err();  // said once, and once in the line
  fs::remove(folder);
  auto background = [&](const path& file) {
    auto d = nlohmann::json::parse(testing_support::readBytes(file), nullptr, false);
    const auto* view =
        d.is_discarded() ? nullptr : named(d["surfaces"][0]["view"], "lumoraBackground");
    return view ? (*view)["backgroundColor"] : nlohmann::json();
  };
  EXPECT_TRUE(waitFor(10s, [&] {
    return background(dump) == nlohmann::json({1, 0, 0, 1});
  })) << err();

  // Two changes in a row, then SIGTERM at once: the last state is written on stop.
  storeDirectly("colorBackgroundBanner", "#00FF00");
  storeDirectly("colorBackgroundBanner", "#0000FF");
  EXPECT_EQ(run.stop(SIGTERM, 5s), 0);
  EXPECT_EQ(background(dump), nlohmann::json({0, 0, 1, 1})) << out();
}

TEST_F(RunTest, NotifySaysWhatItKnowsAndNeverWaitsForEver) {
  Background run(
      {LUMORA_BINARY, "run", "--root", root.string(), "--dump", (base / "d.json").string()},
      base / "out", base / "err");
  ASSERT_TRUE(waitFor(10s, [&] { return fs::exists(base / "d.json"); })) << err();

  // The run stopped: each notify waits a second at most. Those that got through are
  // said to be sent, not confirmed; those past the run's queue were not sent. Once the
  // run goes on, it posts each sent one, once.
  ::kill(run.pid(), SIGSTOP);
  const path posts = base / "posts";
  fs::create_directories(posts);
  const std::string script = "cd '" + posts.string() + "'; for i in $(seq 20); do (" +
                             std::string(LUMORA_BINARY) + " --root '" + root.string() +
                             "' notify com.tarnwick.lumora/testRegular --wait 1 2>e$i; echo $? "
                             ">s$i) & done; wait";
  // The deadline only guards against a hang.
  testing_support::writeBytes(base / "posts.sh", script);
  ASSERT_EQ(std::system(("timeout 60 sh '" + (base / "posts.sh").string() + "'").c_str()), 0);
  int sent = 0, refused = 0;
  for (int i = 1; i <= 20; ++i) {
    const std::string n = std::to_string(i);
    const std::string status = testing_support::readBytes(posts / std::string("s").append(n));
    const std::string said = testing_support::readBytes(posts / std::string("e").append(n));
    if (status == "0\n") {
      ++sent;
      EXPECT_NE(said.find("sent; the run on " + root.string() + " has not confirmed it yet"),
                std::string::npos)
          << said;
    } else {
      ++refused;
      EXPECT_EQ(status, "1\n");
      EXPECT_NE(said.find("was not sent"), std::string::npos) << said;
    }
  }
  EXPECT_GT(sent, 0);
  ::kill(run.pid(), SIGCONT);
  const std::string line = " darwin com.tarnwick.lumora/testRegular\n";
  EXPECT_TRUE(waitFor(10s, [&] { return count(out(), line) == static_cast<size_t>(sent); }))
      << sent << " sent, " << refused << " refused:\n"
      << out();
  EXPECT_EQ(run.stop(SIGTERM, 5s), 0);
  EXPECT_EQ(count(out(), line), static_cast<size_t>(sent));
}

}  // namespace
