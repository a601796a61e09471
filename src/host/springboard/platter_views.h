// The platter parts that notifications, widgets and the media player share: the rounded
// card, the card with a header strip, the header strip itself and its date label.
//
// Geometry, the model's choice after the host: the header row is one line, 41 points
// high, across the top of the card. Its 20-point app icon sits 10.5 points in from the
// card's leading and top edges, so the icon's centre is 20.5 points from the corner:
// that is where the system expects it, since it lays its classic dot and triangle over
// the icon at the fixed frame (14.5, 14.5, 12, 12) of the card, and the host's row gives
// the icon as much room below as above (10.5 + 20 + 10.5). The app's name follows the
// icon after `_iconTrailingPadding` (8), the date label ends 10.5 points before the
// trailing edge, both centred on the icon's line. In a right-to-left layout a view's frame
// is mirrored within its superview unless the view's content keeps its left-to-right
// order (its `effectiveUserInterfaceLayoutDirection`, see UIView).
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
  // The header row's height (PLPlatterHeaderContentView: 10.5 + 20 + 10.5).
  static constexpr CGFloat kHeaderHeight = 41;
  // The content area: the bounds below the header strip.
  CGRect mainContentFrame() const;
};

// PLPlatterHeaderContentView: the header strip (icon button, title, date).
class PLPlatterHeaderContentView : public UIView {
 public:
  static inline const rt::ClassOf<PLPlatterHeaderContentView> cls{"PLPlatterHeaderContentView"};
  static void bind(ClassBuilder<PLPlatterHeaderContentView>& b);
  // The icon's side, and its inset from the leading and top edges (also the date's from
  // the trailing edge).
  static constexpr CGFloat kIconSize = 20, kInset = 10.5;
  // The row holds the icon with as much room below as above.
  static_assert(2 * kInset + kIconSize == PLTitledPlatterView::kHeaderHeight);

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

// Adds a label of the class (made through the runtime) to parent in the system font of
// the size, bold or not, on at most `lines` lines; nil when the host lacks the view
// (see addNewSubview).
Ref<> addLabel(UIView& parent, const rt::ClassName& cls, const char* ivarName, CGFloat size,
               bool bold, int64_t lines);
// Sets the view's frame (through the runtime), mirrored within its container when the
// view lays out right to left (its `effectiveUserInterfaceLayoutDirection`: the device's
// direction, except for content such as playback controls that keeps left to right).
void setMirroredFrame(id view, CGRect frame, CGFloat containerWidth);

void definePlatterViews(ClassList& list);

}  // namespace host
