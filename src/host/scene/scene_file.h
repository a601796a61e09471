// Reading a scene: the JSON is checked field by field against the format and every file
// it names is read before anything is built, so a scene with any fault is refused whole
// and a device is never half-built from it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "host/scene/scene.h"

namespace host::scene {

// The largest scene file read. A scene is text that names its pictures; a hundred
// notifications take about 30 KB, so a larger file is almost surely not a scene (a
// picture given by mistake, say) and is refused before it is parsed.
inline constexpr uint64_t kMaxSceneFileBytes = uint64_t{1} << 20;
// The deepest nesting of arrays and objects. The format itself nests four levels; the
// rest is room for a notification's user info. Values are converted recursively, so the
// limit also bounds that recursion.
inline constexpr size_t kMaxSceneDepth = 32;
// How much a scene may hold. A person's scene stays far below these; a file beyond
// them is wrong or hostile, and is refused while it is read, before anything is built,
// so that building, running and drawing any scene take seconds and a few hundred
// megabytes at most. docs/scenes.md lists them.
inline constexpr size_t kMaxApps = 500;
inline constexpr size_t kMaxContacts = 500;
inline constexpr size_t kMaxAppGroups = 100;
inline constexpr size_t kMaxAppGroupFiles = 500;  // in all the app groups together
inline constexpr size_t kMaxNotifications = 200;
inline constexpr size_t kMaxWidgets = 50;
inline constexpr size_t kMaxTimelineEvents = 500;
// Settings in "preferences", and settings the timeline's events set or delete in all:
// each one is a synced write of the settings file.
inline constexpr size_t kMaxSettingsWritten = 200;
// Any other array or object: its items (the JSON library's parser takes time growing
// with the square of them).
inline constexpr size_t kMaxSceneItems = 1000;
inline constexpr size_t kMaxTags = 32;             // of one app
inline constexpr size_t kMaxGradientColours = 16;  // of one gradient
// Picture files: their bytes counted once for each use (the device holds a copy of a
// contact's picture, an app group's file, a track's artwork for each), and the pixels of
// each image file, decoded once however often it is used, and of all of them together.
inline constexpr uint64_t kMaxPictureBytes = uint64_t{256} << 20;
inline constexpr int64_t kMaxPicturePixels = int64_t{4096} * 4096;
inline constexpr int64_t kMaxScenePicturePixels = 4 * kMaxPicturePixels;
// The latest time an event may be played at, in seconds (a day).
inline constexpr double kMaxSceneSeconds = 86400;
// The tallest widget content, in points: twice the screen's height.
inline constexpr double kMaxWidgetContentHeight = 1624;

// A scene that cannot be used. The message names the scene, the JSON path of the fault
// (`notifications[2].presentation`) and what was expected there.
class SceneError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads the scene file; files it names are relative to its folder.
Scene readSceneFile(const std::filesystem::path& file);
// Reads a scene from text. `source` names it in messages; relative files it names are
// looked up in `folder`.
Scene parseScene(std::string_view text, const std::string& source,
                 const std::filesystem::path& folder);
// The scene shown without a scene file (scenes/builtin.json, built into the tool): a
// messaging banner with the sender's contact picture, a lockscreen with a collapsed
// stack of two and one single notification, two widgets in the Today view, and a track
// playing in the media player.
Scene builtInScene();

}  // namespace host::scene
