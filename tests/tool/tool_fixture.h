// Running the built `lumora` binary on a fresh device root per test, with its exit
// status, standard output and standard error.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "support/files.h"

namespace testing_support {

namespace fs = std::filesystem;

struct Outcome {
  int status;
  std::string out, err;
};

class ToolTest : public ::testing::Test {
 protected:
  // The device root is left for the tool to create. The tool's temporary folders go to
  // the test's own folder ($TMPDIR), so a test sees only what it made.
  void SetUp() override {
    root = (base = testing_support::makeTempRoot("lumora-tool")) / "device";
    const char* previous = std::getenv("TMPDIR");
    previousTmpdir = previous ? std::optional<std::string>(previous) : std::nullopt;
    fs::create_directories(tmpdir = base / "tmp");
    ::setenv("TMPDIR", tmpdir.c_str(), 1);
  }
  void TearDown() override {
    if (previousTmpdir)
      ::setenv("TMPDIR", previousTmpdir->c_str(), 1);
    else
      ::unsetenv("TMPDIR");
    fs::remove_all(base);
  }

  // Runs a shell command line that starts with the tool, e.g. run("status").
  Outcome run(const std::string& args) {
    const fs::path err = base / "stderr";
    const std::string command =
        std::string(LUMORA_BINARY) + " " + args + " 2>'" + err.string() + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    Outcome run{-1, {}, {}};
    if (!pipe) return run;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
      run.out.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = testing_support::readBytes(err);
    return run;
  }
  // Runs the tool with the test's device root.
  Outcome lumora(const std::string& args) { return run("--root '" + root.string() + "' " + args); }
  nlohmann::json json(const std::string& args) {
    Outcome run = lumora(args);
    EXPECT_EQ(run.status, 0) << args;
    return nlohmann::json::parse(run.out);
  }
  fs::path prefsFile() const {
    return root / "var/mobile/Library/Preferences/com.tarnwick.lumora.plist";
  }
  void writePrefs(const std::string& body) {
    fs::create_directories(prefsFile().parent_path());
    std::ofstream(prefsFile()) << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                  "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                  "<plist version=\"1.0\"><dict>"
                               << body << "</dict></plist>\n";
  }
  fs::path base, root, tmpdir;
  std::optional<std::string> previousTmpdir;
};

}  // namespace testing_support
