// UILabel and UIFont. A label's text is laid out with pango in the model's stand-in for
// the system font (DejaVu Sans, bundled with the build packages), so a longer text wraps
// and `sizeThatFits:` grows with it. Defaults as on the host: 17-point regular font,
// black text, one line (0 means as many as the text needs), the text's end ellipsised
// when it does not fit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/uikit/view.h"

namespace host {

class UIFont : public NSObject {
 public:
  static inline const rt::ClassOf<UIFont> cls{"UIFont"};
  static void bind(ClassBuilder<UIFont>& b);
  UIFont(CGFloat pointSize, bool bold) : pointSize_(pointSize), bold_(bold) {}
  static Ref<UIFont> make(CGFloat pointSize, bool bold = false);

  CGFloat pointSize() const { return pointSize_; }
  bool isBold() const { return bold_; }
  // The pango font description: family, weight and absolute size in points.
  std::string pangoDescription() const;
  std::string describe() const override;

 private:
  CGFloat pointSize_;
  bool bold_;
};

// The size a text takes in the font: lines broken at words to fit `width` (no limit
// when width <= 0), at most `lines` lines (0: no limit), each dimension rounded up to a
// whole point as the host rounds label sizes.
CGSize measureText(const std::string& text, const UIFont& font, CGFloat width, int64_t lines);

class UILabel : public UIView {
 public:
  static inline const rt::ClassOf<UILabel> cls{"UILabel"};
  static void bind(ClassBuilder<UILabel>& b);

  Ref<> text() const { return text_; }
  // A new text changes what fits: the label and every ancestor are marked for layout,
  // as an invalidated content size travels up the tree on the host.
  void setText(id text);
  Ref<> textColor() const { return textColor_; }
  void setTextColor(id color) { textColor_ = color ? color->ref() : nullptr; }
  Ref<> font() const { return font_; }
  void setFont(id font);
  int64_t numberOfLines() const { return numberOfLines_; }
  void setNumberOfLines(int64_t lines);
  // The text's size within the given width (its whole width when that is 0). The last
  // few answers are kept until the text, font or line count changes, as laying text out
  // is the costliest part of a layout.
  CGSize sizeThatFits(CGSize size) const;
  const UIFont& fontOrDefault() const;

 private:
  void contentChanged();

  Ref<> text_, textColor_, font_;
  int64_t numberOfLines_ = 1;
  struct Measured {
    CGFloat width;
    CGSize size;
  };
  mutable std::vector<Measured> measured_;
};

void defineLabels(ClassList& list);

}  // namespace host
