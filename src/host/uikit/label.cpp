#include "host/uikit/label.h"

#include <pango/pangocairo.h>

#include <cmath>
#include <cstdio>
#include <memory>

#include "host/uikit/colour.h"
#include "host/uikit/text_layout.h"

namespace host {
namespace {

constexpr CGFloat kDefaultPointSize = 17;

// One pango context for measuring, with hinting off so sizes do not depend on the
// screen: one pango unit is 1/PANGO_SCALE of a point. Made once and kept.
PangoContext* measuringContext() {
  static PangoContext* context = [] {
    PangoFontMap* map = pango_cairo_font_map_new();
    PangoContext* c = pango_font_map_create_context(map);
    g_object_unref(map);  // the context keeps the map
    setUnhinted(c);
    return c;
  }();
  return context;
}

}  // namespace

Ref<UIFont> UIFont::make(CGFloat pointSize, bool bold) {
  return UIFont::cls.make(pointSize, bold);
}

std::string UIFont::pangoDescription() const {
  char size[32];
  std::snprintf(size, sizeof size, "%gpx", pointSize_);
  return std::string("DejaVu Sans") + (bold_ ? " Bold " : " ") + size;
}

std::string UIFont::describe() const {
  return "<UIFont: " + pangoDescription() + ">";
}

CGSize measureText(const std::string& text, const UIFont& font, CGFloat width, int64_t lines) {
  if (text.empty()) return {0, 0};
  const LayoutPtr layout(pango_layout_new(measuringContext()));
  const FontDescriptionPtr description(
      pango_font_description_from_string(font.pangoDescription().c_str()));
  pango_layout_set_font_description(layout.get(), description.get());
  pango_layout_set_text(layout.get(), text.data(), static_cast<int>(text.size()));
  if (width > 0) {
    pango_layout_set_width(layout.get(), static_cast<int>(width * PANGO_SCALE));
    pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
  }
  if (lines > 0) {
    // A negative height is a line count; the last line kept is ellipsised.
    pango_layout_set_height(layout.get(), static_cast<int>(-lines));
    pango_layout_set_ellipsize(layout.get(), PANGO_ELLIPSIZE_END);
  }
  PangoRectangle logical;
  pango_layout_get_extents(layout.get(), nullptr, &logical);
  const CGFloat w = std::ceil(static_cast<CGFloat>(logical.width) / PANGO_SCALE);
  const CGFloat h = std::ceil(static_cast<CGFloat>(logical.height) / PANGO_SCALE);
  return {width > 0 ? std::min(w, std::ceil(width)) : w, h};
}

void UILabel::setText(id text) {
  text_ = NSString::cls.isKind(text) ? text->ref() : nullptr;
  contentChanged();
}

void UILabel::setFont(id font) {
  font_ = UIFont::cls.isKind(font) ? font->ref() : nullptr;
  contentChanged();
}

void UILabel::setNumberOfLines(int64_t lines) {
  numberOfLines_ = lines < 0 ? 0 : lines;
  contentChanged();
}

void UILabel::contentChanged() {
  measured_.clear();
  // What fits has changed for every view that sizes itself by this text.
  for (UIView* v = this; v; v = v->superviewPointer()) v->setNeedsLayout();
}

const UIFont& UILabel::fontOrDefault() const {
  static const Ref<UIFont> fallback = UIFont::make(kDefaultPointSize);
  const UIFont* font = UIFont::cls.cast(font_.get());
  return font ? *font : *fallback;
}

CGSize UILabel::sizeThatFits(CGSize size) const {
  for (const Measured& m : measured_)
    if (m.width == size.width) return m.size;
  const std::string* text = stringText(text_.get());
  const CGSize fits =
      measureText(text ? *text : std::string(), fontOrDefault(), size.width, numberOfLines_);
  if (measured_.size() == 4) measured_.erase(measured_.begin());
  measured_.push_back({size.width, fits});
  return fits;
}

void UIFont::bind(ClassBuilder<UIFont>& b) {
  b.method<&UIFont::pointSize>(sel::pointSize)
      .classFunction(
          sel::systemFontOfSize,
          +[](id, rt::SEL, CGFloat size) -> Ref<> { return UIFont::make(size); })
      .classFunction(
          sel::boldSystemFontOfSize,
          +[](id, rt::SEL, CGFloat size) -> Ref<> { return UIFont::make(size, true); });
}

void UILabel::bind(ClassBuilder<UILabel>& b) {
  b.method<&UILabel::text>(sel::text)
      .method<&UILabel::setText>(sel::setText)
      .method<&UILabel::textColor>(sel::textColor)
      .method<&UILabel::setTextColor>(sel::setTextColor)
      .method<&UILabel::font>(sel::font)
      .method<&UILabel::setFont>(sel::setFont)
      .method<&UILabel::numberOfLines>(sel::numberOfLines)
      .method<&UILabel::setNumberOfLines>(sel::setNumberOfLines)
      .method<&UILabel::sizeThatFits>(sel::sizeThatFits);
}

void defineLabels(ClassList& list) {
  list.define<UIFont>(NSObject::cls, [] { return UIFont::make(kDefaultPointSize); });
  list.define<UILabel>(UIView::cls);
}

}  // namespace host
