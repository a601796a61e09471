// The dump: the keys of each node in their order, names from instance variables and the
// system's added properties, layers described once, colours and image origins, and a dump
// that comes out whatever the device lacks. (The tool tests compare whole dumps.)
#include "host/scene/dump.h"

#include <gtest/gtest.h>

#include "host/quartz/cgcolor.h"
#include "host/quartz/layer.h"
#include "host/scene/pictures.h"
#include "host/springboard/app_registry.h"
#include "host/uikit/colour.h"
#include "host/uikit/image.h"
#include "host/uikit/image_view.h"
#include "scene_fixture.h"

using namespace host;
using namespace host::scene;

namespace {

const char* kScene = R"({
  "apps": [{"bundleIdentifier": "com.a", "name": "A", "icon": {"colour": "#336699"}}],
  "contacts": [{"identifier": "ada", "picture": {"colour": "#FF0000"}}],
  "notifications": [{"id": "b", "section": "com.a", "title": "T", "message": "M",
                     "thumbnail": {"colour": "#00FF00"}}]
})";

std::vector<std::string> keys(const Json& node) {
  std::vector<std::string> out;
  for (const auto& [key, value] : node.items()) out.push_back(key);
  return out;
}

// The first view of the tree with this name among its names.
const Json* named(const Json& view, const std::string& name) {
  for (const Json& n : view["names"])
    if (n == name) return &view;
  for (const Json& child : view["subviews"])
    if (const Json* found = named(child, name)) return found;
  return nullptr;
}

UIView* viewNamed(id owner, const char* key) {
  return UIView::cls.cast(rt::send(owner, sel::valueForKey, NSStr(key)).get());
}

class DumpTest : public testing_support::SceneFixture {
 protected:
  // The banner's card, as the host holds it.
  static Ref<> card(const Surface& banner) {
    return rt::send(rt::send(banner.controller, sel::view), sel::valueForKey,
                    NSStr("_contentView"));
  }
};

TEST_F(DumpTest, NodesHaveTheirKeysInTheirOrder) {
  const auto surfaces = build(kScene);
  runClock(std::nullopt);
  const Json d = dumpOf(surfaces);
  EXPECT_EQ(keys(d), (std::vector<std::string>{"time", "device", "surfaces", "bulletins"}));
  EXPECT_EQ(d["device"], Json::parse(R"({"layoutDirection": "ltr", "interfaceStyle": "light",
      "locked": false, "screen": {"width": 375.0, "height": 812.0, "scale": 3.0}})"));
  const Json& s = d["surfaces"][0];
  EXPECT_EQ(keys(s), (std::vector<std::string>{"kind", "id", "attachment", "controller", "view"}));
  EXPECT_EQ(s["controller"], Json::parse(R"({"class": "NCNotificationShortLookViewController",
      "overrideUserInterfaceStyle": 0})"));
  const std::vector<std::string> view{"class", "names",         "frame",           "hidden",
                                      "alpha", "clipsToBounds", "backgroundColor", "tintColor",
                                      "layer", "subviews"};
  EXPECT_EQ(keys(s["view"]), view);
  std::vector<std::string> label = view;
  label.insert(label.begin() + 8, {"text", "textColor"});
  EXPECT_EQ(keys(*named(s["view"], "_titleLabel")), label);
  EXPECT_EQ(keys(s["view"]["layer"]),
            (std::vector<std::string>{"class", "frame", "cornerRadius", "continuousCorners",
                                      "masksToBounds", "borderWidth", "borderColor", "shadowOffset",
                                      "shadowRadius", "shadowOpacity", "filters", "mask", "path",
                                      "colors", "startPoint", "endPoint", "sublayers"}));
  EXPECT_EQ(named(s["view"], "_primaryLabel")->at("text"), "T");
  EXPECT_EQ(named(s["view"], "_summaryLabel")->at("text"), nullptr);
}

TEST_F(DumpTest, NamesAreEveryKeyAndAddedPropertyAnAncestorHoldsAViewUnder) {
  const auto surfaces = build(kScene);
  // An added property of the card holding a view deeper down, as the notification view
  // holds its colour indicator, which sits in the background view.
  Ref<> title = rt::send(viewNamed(card(surfaces[0]).get(), "_headerContentView"), sel::valueForKey,
                         NSStr("_titleLabel"));
  rt::send(card(surfaces[0]), rt::Sel<void(rt::id)>{"setColorIndicator:"}, title);
  runClock(std::nullopt);
  const Json view = dumpOf(surfaces)["surfaces"][0]["view"];
  EXPECT_EQ(named(view, "_titleLabel")->at("names"),
            Json::parse(R"(["_titleLabel", "colorIndicator"])"));
  EXPECT_EQ(named(view, "_headerContentView")->at("names"),
            Json::parse(R"(["_headerContentView"])"));
  EXPECT_EQ(view["names"], Json::array());
  // The views the system's restyle pass adds are named by the properties holding them.
  ASSERT_NE(named(view, "lumoraBackground"), nullptr);
  EXPECT_EQ(named(view, "lumoraBackground")->at("class"), "LumoraBackgroundView");
  // Without the getter among the options the property is not asked for.
  EXPECT_EQ(named(dump(surfaces, {})["surfaces"][0]["view"], "_titleLabel")->at("names"),
            Json::parse(R"(["_titleLabel"])"));
}

TEST_F(DumpTest, LayersAreDescribedOnceWithTheirOwnProperties) {
  const auto surfaces = build(kScene);
  runClock(std::nullopt);
  UIView* material = viewNamed(card(surfaces[0]).get(), "_backgroundMaterialView");
  Ref<CAGradientLayer> gradient = CAGradientLayer::cls.make();
  gradient->setColors(
      NSArray::make({CGColor::make(0.1, 0.2, 0.3, 1), CGColor::make(1, 1, 1, 0.5)}).get());
  gradient->setStartPoint({0, 0.5});
  material->caLayer().addSublayer(gradient.get());
  Ref<CAShapeLayer> mask = CAShapeLayer::cls.make();
  mask->setPath(CGPath::cls
                    .make(std::vector<CGPath::Element>{{CGPath::Element::Kind::Move, {0, 0}},
                                                       {CGPath::Element::Kind::Line, {4, 0.25}}})
                    .get());
  material->caLayer().setMask(mask.get());
  material->caLayer().setBorderColor(CGColor::make(0.1, 0.7, 0.3, 0.9).get());
  material->setBackgroundColor(UIColor::make(0.1, 0.2, 0.3, 0.4).get());
  material->setAlpha(0.8);

  const Json view = dumpOf(surfaces)["surfaces"][0]["view"];
  const Json& m = *named(view, "_backgroundMaterialView");
  EXPECT_EQ(m["backgroundColor"], Json::parse("[0.1, 0.2, 0.3, 0.4]"));
  EXPECT_EQ(m["alpha"].get<double>(), static_cast<double>(0.8f));  // what the layer holds
  EXPECT_EQ(m["layer"]["borderColor"], Json::parse("[0.1, 0.7, 0.3, 0.9]"));
  EXPECT_EQ(m["layer"]["mask"]["class"], "CAShapeLayer");
  EXPECT_EQ(m["layer"]["mask"]["path"], Json::parse("[[0.0, 0.0], [4.0, 0.25]]"));
  ASSERT_EQ(m["layer"]["sublayers"].size(), 1u);
  const Json& g = m["layer"]["sublayers"][0];
  EXPECT_EQ(g["class"], "CAGradientLayer");
  EXPECT_EQ(g["colors"], Json::parse("[[0.1, 0.2, 0.3, 1.0], [1.0, 1.0, 1.0, 0.5]]"));
  EXPECT_EQ(g["startPoint"], Json::parse("[0.0, 0.5]"));
  // The card's layer holds its subviews' layers on the host; they are described with
  // their views only.
  EXPECT_EQ(named(view, "_contentView")->at("layer")["sublayers"], Json::array());
}

TEST_F(DumpTest, ImagesSayWhereTheyCameFrom) {
  testing_support::writeBytes(folder / "p.png", [] {
    Picture p;
    p.colours = {{9, 9, 9}};
    const std::vector<uint8_t> png = pictureBytes(p);
    return std::string(png.begin(), png.end());
  }());
  const auto surfaces = build(R"({
    "apps": [{"bundleIdentifier": "com.a", "icon": {"colour": "#336699"}}],
    "contacts": [{"identifier": "ada", "picture": {"colour": "#FF0000"}}],
    "notifications": [{"section": "com.a", "thumbnail": {"file": "p.png"},
                       "attachmentSymbol": "moon.fill"},
                      {"section": "com.a", "thumbnail": {"colour": "#00FF00"},
                       "attachmentSymbol": "no.such.symbol"}]
  })");
  // Views showing a contact's picture and a symbol, as the system adds them.
  UIView* header = viewNamed(card(surfaces[0]).get(), "_headerContentView");
  Ref<> store = rt::send(cls::CNContactStore, sel::new_);
  Ref<> contact = rt::send(store, sel::unifiedContactWithIdentifier_keysToFetch_error, NSStr("ada"),
                           nullptr, static_cast<Ref<>*>(nullptr));
  Ref<> picture =
      rt::send(cls::UIImage, sel::imageWithData_scale, rt::send(contact, sel::imageData), 3.0);
  header->addSubview(
      rt::send(rt::send(cls::UIImageView, sel::alloc), sel::initWithImage, picture).get());
  runClock(std::nullopt);
  const Json d = dumpOf(surfaces);
  const Json& first = d["surfaces"][0]["view"];
  const Json& subviews = named(first, "_headerContentView")->at("subviews");
  EXPECT_EQ(subviews[0]["image"]["origin"],
            Json::parse(R"({"kind": "icon", "app": "com.a", "masked": true})"));
  EXPECT_EQ(subviews[0]["image"]["size"], Json::parse("[60.0, 60.0]"));
  EXPECT_EQ(subviews[3]["image"], Json::parse(R"({"size": [60.0, 60.0], "scale": 3.0,
      "origin": {"kind": "contact", "identifier": "ada"}})"));
  EXPECT_EQ(named(first, "_thumbnailImageView")->at("image")["origin"],
            Json::parse(R"({"kind": "file", "path": "p.png"})"));
  EXPECT_EQ(named(d["surfaces"][1]["view"], "_thumbnailImageView")->at("image"),
            Json::parse(R"({"size": [60.0, 60.0], "scale": 3.0, "origin": {"kind": "data"}})"));
  // An attachment symbol of any name: the model draws those it knows, others are nil.
  EXPECT_EQ(d["surfaces"][0]["attachment"],
            Json::parse(R"({"symbol": "moon.fill", "image": {"size": [20.0, 20.0], "scale": 3.0,
                "origin": {"kind": "symbol", "name": "moon.fill"}}})"));
  EXPECT_EQ(d["surfaces"][1]["attachment"],
            Json::parse(R"({"symbol": "no.such.symbol", "image": null})"));
}

TEST_F(DumpTest, WhatTheDeviceLacksLeavesItsElementUnstyledAndTheDumpComesOut) {
  testing_support::writeBytes(folder / "note.txt", "just words");
  const auto surfaces = build(R"({
    "apps": [{"bundleIdentifier": "com.apple.MobileSMS", "name": "Messages", "icon": {"file": "note.txt"}},
             {"bundleIdentifier": "net.whatsapp.WhatsApp", "name": "WhatsApp"}],
    "contacts": [{"identifier": "ada", "picture": {"file": "note.txt"}}, {"identifier": "bo"}],
    "appGroups": [{"identifier": "group.net.whatsapp.WhatsApp.shared", "container": "E"}],
    "notifications": [
      {"id": "text-picture", "section": "com.apple.MobileSMS", "title": "Ada",
       "userInfo": {"CKBBContextKeySenderPersonCentricID": "ada"}},
      {"id": "no-picture", "presentation": "lockscreen", "section": "com.apple.MobileSMS",
       "userInfo": {"CKBBContextKeySenderPersonCentricID": "bo"}},
      {"id": "no-at", "section": "net.whatsapp.WhatsApp", "thread": "4915100000000"},
      {"id": "no-app", "presentation": "lockscreen", "section": "com.example.none",
       "thumbnail": {"file": "note.txt"}}]
  })");
  EXPECT_EQ(runClock(std::nullopt), 0);
  const Json d = dumpOf(surfaces);
  ASSERT_EQ(d["surfaces"].size(), 5u);
  for (const Json& s : d["surfaces"]) EXPECT_TRUE(s["view"].is_object()) << s["id"];
  // No icon to show, no thumbnail to show; the header still has its button.
  const Json& header = *named(d["surfaces"][0]["view"], "_headerContentView");
  EXPECT_EQ(header["subviews"][0]["class"], "UIButton");
  EXPECT_EQ(header["subviews"][0]["image"], nullptr);
  EXPECT_EQ(named(d["surfaces"][3]["view"], "_thumbnailImageView"), nullptr);
}

// A test request on the scene's timeline posts a bulletin: listed under "bulletins", and
// shown restyled as a surface of its own while its banner is on screen.
TEST_F(DumpTest, BulletinsOfTheTimelineAreListedAndShownWhileOnScreen) {
  const auto surfaces = build(R"({
    "apps": [{"bundleIdentifier": "com.a", "name": "A", "icon": {"colour": "#336699"}}],
    "timeline": [{"at": 0.5, "darwin": "com.tarnwick.lumora/testRegular"}]
  })");
  runClock(1);
  Json d = dumpOf(surfaces);
  const Json expected = {{{"time", 0.5},
                          {"title", "Lumora Notification"},
                          {"message", "This is a test notification for A"},
                          {"bundleIdentifier", "com.a"},
                          {"presentation", "banner"}}};
  EXPECT_EQ(d["bulletins"], expected);
  ASSERT_EQ(d["surfaces"].size(), 1u);
  EXPECT_EQ(d["surfaces"][0]["kind"], "banner");
  EXPECT_EQ(d["surfaces"][0]["id"], "bulletin-1");
  EXPECT_NE(named(d["surfaces"][0]["view"], "lumoraBackground"), nullptr);
  // Its banner has gone after its few seconds; the list keeps it.
  runClock(std::nullopt);
  d = dumpOf(surfaces);
  EXPECT_EQ(d["bulletins"], expected);
  EXPECT_TRUE(d["surfaces"].empty());
}

}  // namespace

TEST_F(DumpTest, EachWidgetIsASurfaceAfterTheNotificationsWithTheViewsThePassAdded) {
  const auto surfaces = build(R"({"preferences": {"colorBackgroundWidget": "#FF0000"},
      "notifications": [{"id": "n", "title": "T"}],
      "widgets": [{"id": "a", "name": "A", "icon": {"colour": "#336699"}},
                  {"id": "b", "contentHeight": 50}]})");
  runClock(std::nullopt);
  const Json d = dumpOf(surfaces)["surfaces"];
  ASSERT_EQ(d.size(), 3u);
  EXPECT_EQ(d[1]["kind"], "widget");
  EXPECT_EQ(d[1]["id"], "a");
  EXPECT_EQ(d[1]["controller"]["class"], "WGWidgetListItemViewController");
  const Json& a = d[1]["view"];
  EXPECT_EQ(a["class"], "WGWidgetPlatterView");
  EXPECT_EQ(a["frame"], Json::parse("[8.0, 96.0, 359.0, 150.0]"));
  EXPECT_EQ(named(a, "lumoraBackground")->at("backgroundColor"),
            Json::parse("[1.0, 0.0, 0.0, 1.0]"));
  ASSERT_NE(named(a, "lumoraFullBorder"), nullptr);  // the strip inside it is lumoraBorder
  // The second widget below the first, 8 points apart, without an icon: no colour yet.
  const Json& b = d[2]["view"];
  EXPECT_EQ(b["frame"], Json::parse("[8.0, 254.0, 359.0, 86.0]"));
  EXPECT_EQ(named(b, "lumoraBackground")->at("backgroundColor"), nullptr);
}
