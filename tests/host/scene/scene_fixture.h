// A scene built on a freshly booted host with the system loaded, and the process reset
// afterwards.
#pragma once

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "host/scene/dump.h"
#include "host/scene/scene_file.h"
#include "media/media_globals.h"
#include "prefs/lumora_prefs.h"
#include "startup/added_classes.h"
#include "startup/loader.h"
#include "support/files.h"

namespace testing_support {

class SceneFixture : public ::testing::Test {
 protected:
  void SetUp() override { folder = makeTempRoot("lumora-scene-files"); }
  void TearDown() override {
    if (host::isBooted()) lumora::resetProcess();
    std::filesystem::remove_all(folder);
    if (!root.empty()) std::filesystem::remove_all(root);
  }
  // Boots the host for the scene (files relative to `folder`) and builds its device;
  // `start` stands for the system's start-up.
  std::vector<host::scene::Surface> build(const std::string& text,
                                          std::function<void()> start = lumora::loadSystem,
                                          const std::filesystem::path& files = {}) {
    if (host::isBooted()) lumora::resetProcess();
    if (!root.empty()) std::filesystem::remove_all(root);
    scene = host::scene::parseScene(text, "s.json", files.empty() ? folder : files);
    root = makeTempRoot("lumora-scene-device");
    host::HostOptions options{root, {}, scene.device};
    options.absentViews = absentViews;
    host::boot(options);
    return host::scene::buildDevice(scene, {prefs::kSuiteName, std::move(start)});
  }
  static host::scene::Json dumpOf(const std::vector<host::scene::Surface>& surfaces) {
    std::vector<std::string> getters;
    for (const lumora::AddedProperty& p : lumora::addedProperties()) getters.push_back(p.getter);
    return host::scene::dump(surfaces, {getters, lumora::mediaGlobalViews()});
  }
  std::filesystem::path folder, root;
  host::scene::Scene scene;
  std::set<std::string> absentViews;  // subviews the host's views lack, by instance variable
};

}  // namespace testing_support
