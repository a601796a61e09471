#include "host/scene/dump.h"

#include <algorithm>
#include <optional>

#include "host/foundation/main_queue.h"
#include "host/quartz/cgcolor.h"
#include "host/quartz/layer.h"
#include "host/springboard/bulletins.h"
#include "host/springboard/presentation.h"
#include "host/uikit/colour.h"
#include "host/uikit/image.h"
#include "host/uikit/image_view.h"
#include "host/uikit/label.h"
#include "host/uikit/view_controller.h"

namespace host::scene {
namespace {

using rt::CGPoint;
using rt::CGRect;
using rt::CGSize;

Json rect(CGRect r) {
  return Json::array({r.origin.x, r.origin.y, r.size.width, r.size.height});
}
Json pair(double a, double b) {
  return Json::array({a, b});
}

// A UIColor or a CGColor as [r, g, b, a]; null for nil.
Json colour(id color) {
  const std::array<rt::CGFloat, 4>* rgba = nullptr;
  if (const UIColor* ui = UIColor::cls.cast(color)) rgba = &ui->rgba();
  if (const CGColor* cg = CGColor::cls.cast(color)) rgba = &cg->components();
  if (!rgba) return nullptr;
  return Json::array({(*rgba)[0], (*rgba)[1], (*rgba)[2], (*rgba)[3]});
}

Json text(id object) {
  const std::string* t = stringText(object);
  return t ? Json(*t) : Json(nullptr);
}

Json image(id object) {
  const UIImage* i = UIImage::cls.cast(object);
  if (!i) return nullptr;
  const ImageOrigin& o = i->origin();
  Json origin;
  switch (o.kind) {
    case ImageOrigin::Kind::Icon:
      origin = {{"kind", "icon"}, {"app", o.name}, {"masked", o.masked}};
      break;
    case ImageOrigin::Kind::Contact:
      origin = {{"kind", "contact"}, {"identifier", o.name}};
      break;
    case ImageOrigin::Kind::Symbol:
      origin = {{"kind", "symbol"}, {"name", o.name}};
      break;
    case ImageOrigin::Kind::File:
      origin = {{"kind", "file"}, {"path", o.name}};
      break;
    case ImageOrigin::Kind::Data:
      origin = {{"kind", "data"}};
      break;
  }
  const CGSize size = i->size();
  return {{"size", pair(size.width, size.height)}, {"scale", i->scale()}, {"origin", origin}};
}

Json layer(const CALayer& l) {
  Json out;
  out["class"] = rt::class_getName(l.isa());
  out["frame"] = rect(l.frame());
  out["cornerRadius"] = l.cornerRadius();
  out["continuousCorners"] = l.continuousCorners();
  out["masksToBounds"] = l.masksToBounds();
  out["borderWidth"] = l.borderWidth();
  out["borderColor"] = colour(l.borderColor().get());
  out["shadowOffset"] = pair(l.shadowOffset().width, l.shadowOffset().height);
  out["shadowRadius"] = l.shadowRadius();
  out["shadowOpacity"] = l.shadowOpacity();
  Json filters = nullptr;
  if (const NSArray* list = NSArray::cls.cast(l.filters().get())) {
    filters = Json::array();
    // Filters by name; one that is not a name by its class.
    for (const Ref<>& filter : list->items()) {
      const std::string* name = stringText(filter.get());
      filters.push_back(name ? *name : std::string(rt::class_getName(filter->isa())));
    }
  }
  out["filters"] = filters;
  const CALayer* mask = CALayer::cls.cast(l.mask().get());
  out["mask"] = mask ? layer(*mask) : Json(nullptr);
  Json path = nullptr;
  if (const CAShapeLayer* shape = CAShapeLayer::cls.cast(&l))
    if (const CGPath* p = CGPath::cls.cast(shape->path().get())) {
      path = Json::array();
      for (const CGPath::Element& e : p->elements()) path.push_back(pair(e.point.x, e.point.y));
    }
  out["path"] = path;
  Json colors = nullptr, start = nullptr, end = nullptr;
  if (const CAGradientLayer* gradient = CAGradientLayer::cls.cast(&l)) {
    if (const NSArray* list = NSArray::cls.cast(gradient->colors().get())) {
      colors = Json::array();
      for (const Ref<>& c : list->items()) colors.push_back(colour(c.get()));
    }
    start = pair(gradient->startPoint().x, gradient->startPoint().y);
    end = pair(gradient->endPoint().x, gradient->endPoint().y);
  }
  out["colors"] = colors;
  out["startPoint"] = start;
  out["endPoint"] = end;
  // A subview's layer is described with its view, not again here.
  Json sublayers = Json::array();
  for (const Ref<CALayer>& sublayer : l.sublayerList())
    if (!UIView::cls.isKind(sublayer->delegate().get())) sublayers.push_back(layer(*sublayer));
  out["sublayers"] = sublayers;
  return out;
}

class Dumper {
 public:
  explicit Dumper(const DumpOptions& options) : globals_(options.globals) {
    for (const std::string& name : options.propertyGetters)
      getters_.push_back(rt::sel_registerName(name));
  }

  // Every name an ancestor holds the view under: its instance variables, then the
  // system's added properties, nearest ancestor first.
  Json names(UIView& view) const {
    Json out = Json::array();
    auto add = [&out](const std::string& name) {
      if (std::find(out.begin(), out.end(), name) == out.end()) out.push_back(name);
    };
    for (UIView* owner = view.superviewPointer(); owner; owner = owner->superviewPointer()) {
      for (const std::string& key : rt::object_keysHolding(owner, &view)) add(key);
      for (rt::SEL getter : getters_)
        if (rt::respondsToSelector(owner, getter) &&
            rt::sendDynamic<Ref<>>(owner, getter).get() == &view)
          add(rt::sel_getName(getter));
    }
    for (const auto& [name, global] : globals_)
      if (global && global->get() == &view) add(name);
    return out;
  }

  Json view(UIView& v) const {
    Json out;
    out["class"] = rt::class_getName(v.isa());
    out["names"] = names(v);
    out["frame"] = rect(v.frame());
    out["hidden"] = v.isHidden();
    out["alpha"] = v.alpha();
    out["clipsToBounds"] = v.clipsToBounds();
    out["backgroundColor"] = colour(v.backgroundColor().get());
    out["tintColor"] = colour(v.tintColor().get());
    if (const UILabel* label = UILabel::cls.cast(&v)) {
      out["text"] = text(label->text().get());
      out["textColor"] = colour(label->textColor().get());
    }
    if (const UIImageView* imageView = UIImageView::cls.cast(&v))
      out["image"] = image(imageView->image().get());
    if (const UIButton* button = UIButton::cls.cast(&v))
      out["image"] = image(button->imageForState(0).get());
    out["layer"] = layer(v.caLayer());
    Json subviews = Json::array();
    for (const Ref<UIView>& child : v.subviewList()) subviews.push_back(view(*child));
    out["subviews"] = subviews;
    return out;
  }

 private:
  std::vector<rt::SEL> getters_;
  std::vector<std::pair<std::string, const rt::Ref<>*>> globals_;
};

const char* kindName(Surface::Kind kind) {
  switch (kind) {
    case Surface::Kind::Banner:
      return "banner";
    case Surface::Kind::Lockscreen:
      return "lockscreen";
    case Surface::Kind::List:
      return "list";
    case Surface::Kind::Widget:
      return "widget";
    case Surface::Kind::MediaPlayer:
      return "mediaplayer";
  }
  return "";
}

Json deviceJson() {
  const Device& d = device();
  return {
      {"layoutDirection",
       d.layoutDirection == Device::LayoutDirection::RightToLeft ? "rtl" : "ltr"},
      {"interfaceStyle", d.interfaceStyle == Device::InterfaceStyle::Dark ? "dark" : "light"},
      {"locked", d.locked},
      {"screen", {{"width", d.screenWidth}, {"height", d.screenHeight}, {"scale", d.screenScale}}}};
}

Json bulletinsJson() {
  Json out = Json::array();
  for (const Bulletin& b : bulletins())
    out.push_back({{"time", b.time},
                   {"title", b.title},
                   {"message", b.message},
                   {"bundleIdentifier", b.bundleIdentifier},
                   {"presentation",
                    b.presentation == Bulletin::Presentation::Banner ? "banner" : "lockscreen"}});
  return out;
}

}  // namespace

std::vector<Surface> withBulletins(const std::vector<Surface>& surfaces) {
  std::vector<Surface> out, after;
  std::optional<Surface> list;
  for (const Surface& s : surfaces) {
    if (s.kind == Surface::Kind::List)
      list = s;
    else if (s.kind == Surface::Kind::Banner || s.kind == Surface::Kind::Lockscreen)
      out.push_back(s);
    else
      after.push_back(s);
  }
  const std::vector<Bulletin>& posted = bulletins();
  for (size_t i = 0; i < posted.size(); ++i)
    if (isOnScreen(posted[i]))
      out.push_back({posted[i].presentation == Bulletin::Presentation::Banner
                         ? Surface::Kind::Banner
                         : Surface::Kind::Lockscreen,
                     "bulletin-" + std::to_string(i + 1), posted[i].controller});
  if (!list && lockscreenWindow())
    list = Surface{Surface::Kind::List, std::nullopt, lockscreenListController()};
  if (list) out.push_back(*list);
  out.insert(out.end(), after.begin(), after.end());
  return out;
}

Json dump(const std::vector<Surface>& scene, const DumpOptions& options) {
  const Dumper dumper(options);
  Json list = Json::array();
  for (const Surface& s : withBulletins(scene)) {
    Json surface;
    surface["kind"] = kindName(s.kind);
    surface["id"] = s.id ? Json(*s.id) : Json(nullptr);
    surface["attachment"] = s.attachmentSymbol ? Json{{"symbol", *s.attachmentSymbol},
                                                      {"image", image(s.attachmentImage.get())}}
                                               : Json(nullptr);
    UIViewController* controller = UIViewController::cls.cast(s.controller.get());
    UIView* root =
        controller ? UIView::cls.cast(controller->view().get()) : UIView::cls.cast(s.view.get());
    surface["controller"] =
        controller ? Json{{"class", rt::class_getName(controller->isa())},
                          {"overrideUserInterfaceStyle", controller->overrideUserInterfaceStyle()}}
                   : Json(nullptr);
    surface["view"] = root ? dumper.view(*root) : Json(nullptr);
    list.push_back(std::move(surface));
  }
  return {{"time", static_cast<double>(main_queue::now()) / 1e9},
          {"device", deviceJson()},
          {"surfaces", std::move(list)},
          {"bulletins", bulletinsJson()}};
}

}  // namespace host::scene
