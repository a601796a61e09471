// The platter parts that notifications, widgets and the media player share: the rounded
// card, the card with a header strip, the header strip itself and its date label.
//
// Geometry, the model's choice after the host: the header strip is 24 points high (icon
// 20 x 20 at x 10, the title after the icon plus `_iconTrailingPadding` of 8, the date
// label at the trailing edge, 10 points in). In a right-to-left layout every frame is
// mirrored within its superview.
#pragma once

#include "host/springboard/springboard_selectors.h"
#include "host/uikit/label.h"

namespace host {

// PLPlatterView: the rounded card behind notifications and widgets.
class PLPlatterView : public UIView {
 public:
  static inline const rt::ClassOf<PLPlatterView> cls{"PLPlatterView"};
};

// PLTitledPlatterView: a card with a header strip above its main content.
class PLTitledPlatterView : public PLPlatterView {
 public:
  static inline const rt::ClassOf<PLTitledPlatterView> cls{"PLTitledPlatterView"};
  static void bind(ClassBuilder<PLTitledPlatterView>& b);
  static constexpr CGFloat kHeaderHeight = 24;
  // The content area: the bounds below the header strip.
  CGRect mainContentFrame() const;
};

// PLPlatterHeaderContentView: the header strip (icon button, title, date).
class PLPlatterHeaderContentView : public UIView {
 public:
  static inline const rt::ClassOf<PLPlatterHeaderContentView> cls{"PLPlatterHeaderContentView"};
  static void bind(ClassBuilder<PLPlatterHeaderContentView>& b);
  static constexpr CGFloat kIconSize = 20, kInset = 10;

  Ref<> initWithFrame(CGRect frame);
  // The buttons showing the app's icons: one, holding the app icon as its image.
  Ref<> iconButtons() const;
  // The room between the icon and the title, in points.
  CGFloat iconTrailingPadding() const { return 8; }
  // Title after the icon and the padding (asked through the runtime), date label at the
  // trailing edge (placed with setFrame: through the runtime).
  void layoutSubviews();

 private:
  Ref<> iconButton_, titleLabel_, dateLabel_;
};

// BSUIDefaultDateLabel: the header's relative date ("now", "2m ago").
class BSUIDefaultDateLabel : public UILabel {
 public:
  static inline const rt::ClassOf<BSUIDefaultDateLabel> cls{"BSUIDefaultDateLabel"};
};

// The frame mirrored within a container of the given width when the device lays out
// right to left; unchanged otherwise.
CGRect mirroredForLayoutDirection(CGRect frame, CGFloat containerWidth);
// Adds a label of the class (made through the runtime) to parent in the system font of
// the size, bold or not, on at most `lines` lines; nil when the host lacks the view
// (see addNewSubview).
Ref<> addLabel(UIView& parent, const rt::ClassName& cls, const char* ivarName, CGFloat size,
               bool bold, int64_t lines);
// Sets the view's frame (through the runtime), mirrored for the layout direction.
void setMirroredFrame(id view, CGRect frame, CGFloat containerWidth);

void definePlatterViews(ClassList& list);

}  // namespace host
