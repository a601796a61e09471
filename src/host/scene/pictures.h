// The pictures of a scene as the device holds them: drawn with cairo and pango, or read
// from the scene's files.
#pragma once

#include <cstdint>
#include <vector>

#include "host/foundation/values.h"
#include "host/scene/scene.h"

namespace host::scene {

// The side of a drawn picture in pixels: an icon's 60 points at the screen scale of 3.
inline constexpr int kPicturePixels = 180;

// The bytes a file or a contact holds for the picture: a drawn picture as PNG, a file's
// bytes as they were read (whether an image or not).
std::vector<uint8_t> pictureBytes(const Picture& picture);
// The picture as a UIImage: a drawn one at the screen's scale, a file at the scale its
// name states ("@2x", "@3x") with the file as its origin. Nil for a file that holds no
// image, or when drawing fails.
Ref<> pictureImage(const Picture& picture);

}  // namespace host::scene
