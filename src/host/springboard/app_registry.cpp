#include "host/springboard/app_registry.h"

#include <algorithm>
#include <cmath>

#include "host/quartz/cairo_handles.h"
#include "host/quartz/cgimage.h"
#include "host/quartz/continuous_corners.h"
#include "host/uikit/image.h"

namespace host {
namespace {

struct Registry {
  std::vector<AppRecord> apps;
  std::map<std::string, std::vector<uint8_t>> contacts;
  Ref<> iconController, applicationController;
};
Registry& registry() {
  static Registry r;
  return r;
}

// The picture scaled to fill a square of `pixels`, masked to the continuous rounded
// square when asked.
Ref<host::CGImage> renderIcon(const UIImage& picture, int pixels, double cornerPixels,
                              bool masked) {
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pixels, pixels));
  ContextPtr context = makeContext(surface.get());
  cairo_t* cr = context.get();
  if (masked) {
    addContinuousRoundedRect(cr, rt::CGRectMake(0, 0, pixels, pixels), cornerPixels);
    cairo_clip(cr);
  }
  const host::CGImage* pixelsIn = picture.pixels();
  cairo_scale(cr, static_cast<double>(pixels) / pixelsIn->width(),
              static_cast<double>(pixels) / pixelsIn->height());
  cairo_set_source_surface(cr, pixelsIn->surface(), 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_paint(cr);
  if (!finish(cr)) return nullptr;
  context.reset();
  return host::CGImage::fromSurface(std::move(surface));
}

}  // namespace

void installApp(AppRecord app) {
  auto& apps = registry().apps;
  auto it = std::find_if(apps.begin(), apps.end(), [&](const AppRecord& a) {
    return a.bundleIdentifier == app.bundleIdentifier;
  });
  if (it != apps.end())
    *it = std::move(app);
  else
    apps.push_back(std::move(app));
}

const std::vector<AppRecord>& installedApps() {
  return registry().apps;
}

const AppRecord* findApp(std::string_view bundleIdentifier) {
  for (const AppRecord& app : registry().apps)
    if (app.bundleIdentifier == bundleIdentifier) return &app;
  return nullptr;
}

void addContact(std::string identifier, std::vector<uint8_t> pictureData) {
  registry().contacts[std::move(identifier)] = std::move(pictureData);
}

Ref<> SBIconController::model() {
  if (!model_) model_ = rt::send(SBIconModel::cls.get(), sel::new_);
  return model_;
}

Ref<> SBIconModel::expectedIconForDisplayIdentifier(id bundleIdentifier) {
  const std::string* identifier = stringText(bundleIdentifier);
  if (!identifier || !findApp(*identifier)) return nullptr;
  Ref<>& icon = icons_[*identifier];
  if (!icon) icon = SBApplicationIcon::cls.make(*identifier);
  return icon;
}

Ref<> SBApplicationIcon::image(SBIconImageInfo info, bool masked) {
  for (auto& [key, image] : cache_)
    if (key.first == info && key.second == masked) return image;
  const AppRecord* app = findApp(bundleIdentifier_);
  const UIImage* picture = app ? UIImage::cls.cast(app->icon.get()) : nullptr;
  const double scale = info.scale > 0 ? info.scale : 1;
  const int pixels = static_cast<int>(std::lround(info.size.width * scale));
  if (!picture || !picture->pixels() || pixels <= 0) return nullptr;
  Ref<UIImage> image = UIImage::make(
      renderIcon(*picture, pixels, info.continuousCornerRadius * scale, masked), scale);
  if (image) image->setOrigin({ImageOrigin::Kind::Icon, bundleIdentifier_, masked});
  cache_.push_back({{info, masked}, image});
  return image;
}

Ref<> SBApplicationController::applicationWithBundleIdentifier(id bundleIdentifier) const {
  const std::string* identifier = stringText(bundleIdentifier);
  const AppRecord* app = identifier ? findApp(*identifier) : nullptr;
  if (!app) return nullptr;
  return SBApplication::cls.make(NSStr(app->bundleIdentifier),
                                 app->name.empty() ? nullptr : NSStr(app->name));
}

Ref<> CNContactStore::unifiedContactWithIdentifier(id identifier, id, Ref<>* error) const {
  const std::string* key = stringText(identifier);
  auto& contacts = registry().contacts;
  auto it = key ? contacts.find(*key) : contacts.end();
  if (it == contacts.end()) {
    if (error) *error = NSStr("no contact with this identifier");
    return nullptr;
  }
  Ref<> picture;
  if (!it->second.empty())
    picture = imageDataWithOrigin(it->second, {ImageOrigin::Kind::Contact, it->first});
  return CNContact::cls.make(NSStr(it->first), std::move(picture));
}

// Shared instances live in the registry so a reset drops them.
template <class T>
Ref<> sharedOf(Ref<> Registry::*slot) {
  Ref<>& shared = registry().*slot;
  if (!shared) shared = rt::send(T::cls.get(), sel::new_);
  return shared;
}

void SBIconController::bind(ClassBuilder<SBIconController>& b) {
  b.classFunction(
       sel::sharedInstance,
       +[](id, rt::SEL) { return sharedOf<SBIconController>(&Registry::iconController); })
      .method<&SBIconController::model>(sel::model);
}

void SBIconModel::bind(ClassBuilder<SBIconModel>& b) {
  b.method<&SBIconModel::expectedIconForDisplayIdentifier>(sel::expectedIconForDisplayIdentifier);
}

void SBApplicationIcon::bind(ClassBuilder<SBApplicationIcon>& b) {
  b.method<&SBApplicationIcon::generateIconImageWithInfo>(sel::generateIconImageWithInfo)
      .method<&SBApplicationIcon::unmaskedIconImageWithInfo>(sel::unmaskedIconImageWithInfo);
}

void SBApplicationController::bind(ClassBuilder<SBApplicationController>& b) {
  b.classFunction(
       sel::sharedInstance,
       +[](id, rt::SEL) {
         return sharedOf<SBApplicationController>(&Registry::applicationController);
       })
      .method<&SBApplicationController::applicationWithBundleIdentifier>(
          sel::applicationWithBundleIdentifier);
}

void SBApplication::bind(ClassBuilder<SBApplication>& b) {
  b.method<&SBApplication::bundleIdentifier>(sel::bundleIdentifier)
      .method<&SBApplication::displayName>(sel::displayName);
}

void CNContactStore::bind(ClassBuilder<CNContactStore>& b) {
  b.method<&CNContactStore::unifiedContactWithIdentifier>(
      sel::unifiedContactWithIdentifier_keysToFetch_error);
}

void CNContact::bind(ClassBuilder<CNContact>& b) {
  b.method<&CNContact::identifier>(sel::identifier).method<&CNContact::imageData>(sel::imageData);
}

void defineAppRegistry(ClassList& list) {
  list.define<SBIconController>(NSObject::cls);
  list.define<SBIconModel>(NSObject::cls);
  // Icons and applications come from the registry only.
  list.define<SBApplicationIcon>(NSObject::cls, []() -> Ref<> { return nullptr; });
  list.define<SBApplicationController>(NSObject::cls);
  list.define<SBApplication>(NSObject::cls, []() -> Ref<> { return nullptr; });
  list.define<CNContactStore>(NSObject::cls);
  list.define<CNContact>(NSObject::cls, []() -> Ref<> { return nullptr; });
}

void resetAppRegistry() {
  registry() = {};
}

}  // namespace host
