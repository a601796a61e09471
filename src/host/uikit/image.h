// UIImage: pixels (a CGImage) and a scale; the size in points is the pixel size divided
// by the scale. Images are immutable.
//
// Made from PNG or JPEG data (`imageWithData:`, `imageWithData:scale:`) or files
// (`imageWithContentsOfFile:`, where a name ending in "@2x" or "@3x" before the
// extension gives that scale, as on the host). Data that is not a readable image gives
// nil. An absolute path is a device path: it resolves under the device root when the
// host has one. EXIF orientation is not applied (images are taken as stored).
#pragma once

#include <string>
#include <string_view>

#include "host/foundation/values.h"
#include "host/quartz/cgimage.h"
#include "host/uikit/uikit_selectors.h"

namespace host {

// Where an image came from, for reports and previews: an app icon (masked or not), a
// contact's picture, a system symbol, a file, or data.
struct ImageOrigin {
  enum class Kind { Data, File, Icon, Contact, Symbol };
  Kind kind = Kind::Data;
  std::string name;  // the app, contact, symbol or file
  bool masked = false;
};

class UIImage : public NSObject {
 public:
  static inline const rt::ClassOf<UIImage> cls{"UIImage"};
  static void bind(ClassBuilder<UIImage>& b);
  UIImage(Ref<host::CGImage> image, rt::CGFloat scale) : image_(std::move(image)), scale_(scale) {}
  // An image of the class UIImage over `image`; nil for a nil image. A scale that is not
  // a positive finite number is taken as 1.
  static Ref<UIImage> make(Ref<host::CGImage> image, rt::CGFloat scale = 1);

  rt::CGSize size() const;
  rt::CGFloat scale() const { return scale_; }
  Ref<> CGImage() const { return image_; }
  const host::CGImage* pixels() const { return image_.get(); }
  const ImageOrigin& origin() const { return origin_; }
  // The asset the image came from: a system symbol names its asset; other images have
  // none.
  Ref<> imageAsset() const;
  void setOrigin(ImageOrigin origin) { origin_ = std::move(origin); }

 private:
  Ref<host::CGImage> image_;
  ImageOrigin origin_;
  rt::CGFloat scale_;
};

// UIImageAsset: names the asset an image came from.
class UIImageAsset : public NSObject {
 public:
  static inline const rt::ClassOf<UIImageAsset> cls{"UIImageAsset"};
  static void bind(ClassBuilder<UIImageAsset>& b);
  explicit UIImageAsset(Ref<> name) : name_(std::move(name)) {}
  Ref<> assetName() const { return name_; }

 private:
  Ref<> name_;
};

// The scale a file name states: 2 for "name@2x.png", 3 for "name@3x.jpg", else 1.
rt::CGFloat imageScaleForPath(std::string_view path);

// Picture data that remembers where it came from: images made from it (`imageWithData:`,
// `imageWithData:scale:`) report `origin` rather than plain data. A contact's picture
// data is made this way, so the images made from it name the contact.
Ref<NSData> imageDataWithOrigin(std::vector<uint8_t> bytes, ImageOrigin origin);

// Defines UIImage. Part of booting the host.
void defineUIImage(ClassList& list);

}  // namespace host
