#include "host/uikit/image.h"

#include <cmath>

#include "host/foundation/file_io.h"
#include "host/host.h"
#include "host/quartz/image_codec.h"

namespace host {
namespace {

using rt::CGFloat;
using rt::SEL;

// An NSData that carries the origin of the picture it holds.
class OriginData : public NSData {
 public:
  OriginData(std::vector<uint8_t> bytes, ImageOrigin origin)
      : NSData(std::move(bytes)), origin(std::move(origin)) {}
  const ImageOrigin origin;
};
const rt::ClassOf<OriginData> kOriginData{"NSData"};

const UIImage* asImage(id object) {
  return UIImage::cls.cast(object);
}
const NSData* asData(id object) {
  return NSData::cls.cast(object);
}

Ref<> imageFromData(id data, CGFloat scale) {
  const NSData* d = asData(data);
  if (!d) return nullptr;
  Ref<UIImage> image = UIImage::make(decodeImage(d->bytes()).image, scale);
  if (auto* tagged = dynamic_cast<const OriginData*>(d); tagged && image)
    image->setOrigin(tagged->origin);
  return image;
}

Ref<> imageFromFile(id pathObject) {
  const std::string* path = stringText(pathObject);
  if (!path || path->empty()) return nullptr;
  std::filesystem::path file(*path);
  if (file.is_absolute() && !deviceRoot().empty()) file = devicePath(*path);
  const FileContents contents = readRegularFile(file, kMaxImageFileBytes);
  if (contents.status != FileContents::Status::Read) return nullptr;
  const auto* bytes = reinterpret_cast<const uint8_t*>(contents.bytes.data());
  Ref<UIImage> image =
      UIImage::make(decodeImage({bytes, contents.bytes.size()}).image, imageScaleForPath(*path));
  if (image) image->setOrigin({ImageOrigin::Kind::File, *path});
  return image;
}

}  // namespace

Ref<UIImage> UIImage::make(Ref<host::CGImage> image, CGFloat scale) {
  if (!image) return nullptr;
  if (!(scale > 0) || !std::isfinite(scale)) scale = 1;
  return UIImage::cls.make(std::move(image), scale);
}

rt::CGSize UIImage::size() const {
  return {image_->width() / scale_, image_->height() / scale_};
}

CGFloat imageScaleForPath(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  if (name.size() >= 3 && name[name.size() - 3] == '@' && name.back() == 'x') {
    const char digit = name[name.size() - 2];
    if (digit >= '1' && digit <= '3') return digit - '0';
  }
  return 1;
}

Ref<NSData> imageDataWithOrigin(std::vector<uint8_t> bytes, ImageOrigin origin) {
  return kOriginData.make(std::move(bytes), std::move(origin));
}

Ref<> UIImagePNGRepresentation(id image) {
  const UIImage* i = asImage(image);
  if (!i || !i->pixels()) return nullptr;
  std::vector<uint8_t> png = encodePNG(*i->pixels());
  if (png.empty()) return nullptr;
  return NSData::make(std::move(png));
}

void UIImage::bind(ClassBuilder<UIImage>& b) {
  Class image = b.cls();
  rt::bindMethod<&UIImage::size>(image, sel::size);
  rt::bindMethod<&UIImage::scale>(image, sel::scale);
  rt::bindMethod<&UIImage::CGImage>(image, sel::CGImage);
  rt::bindMethod<&UIImage::imageAsset>(image, sel::imageAsset);
  rt::bindClassFunction(
      image, sel::imageWithData, +[](id, SEL, id data) { return imageFromData(data, 1); });
  rt::bindClassFunction(
      image, sel::imageWithData_scale,
      +[](id, SEL, id data, CGFloat scale) { return imageFromData(data, scale); });
  rt::bindClassFunction(
      image, sel::imageWithContentsOfFile, +[](id, SEL, id path) { return imageFromFile(path); });
  rt::bindClassFunction(
      image, sel::imageWithCGImage, +[](id, SEL, id cgImage) -> Ref<> {
        const host::CGImage* pixels = asCGImage(cgImage);
        return pixels ? UIImage::make(std::static_pointer_cast<host::CGImage>(cgImage->ref()))
                      : nullptr;
      });
}

Ref<> UIImage::imageAsset() const {
  if (origin_.kind != ImageOrigin::Kind::Symbol) return nullptr;
  return UIImageAsset::cls.make(NSStr(origin_.name));
}

void UIImageAsset::bind(ClassBuilder<UIImageAsset>& b) {
  b.method<&UIImageAsset::assetName>(sel::assetName);
}

void defineUIImage(ClassList& list) {
  list.define<UIImageAsset>(NSObject::cls, [] { return UIImageAsset::cls.make(nullptr); });
  // An image has no empty state, so `alloc` answers nil.
  list.define<UIImage>(NSObject::cls, []() -> Ref<> { return nullptr; });
}

}  // namespace host
