// Layers: the geometry and the look of what is drawn. Every view owns one layer (the
// view is its delegate), and a view's frame, bounds, background colour, alpha, hidden
// state and clipping are its layer's. The layers of a view's subviews are sublayers of
// the view's layer, in the order of the subviews, as on the host; other sublayers (a
// gradient, say) sit among them where they are inserted.
//
// Defaults are the host's documented ones: no background, corner radius 0, square
// corners (all four rounded by the radius: `maskedCorners` 15), no clipping, no border (width 0,
// opaque black colour), shadow offset (0, -3), radius 3, opacity 0 and opaque black colour, opacity
// 1, no mask, no filters.
#pragma once

#include <functional>
#include <vector>

#include "host/foundation/values.h"
#include "host/quartz/quartz_selectors.h"

namespace host {

using rt::CGFloat;
using rt::CGPoint;
using rt::CGRect;
using rt::CGSize;

class CALayer : public NSObject {
 public:
  static inline const rt::ClassOf<CALayer> cls{"CALayer"};
  static void bind(ClassBuilder<CALayer>& b);
  // CACornerMask: the corners by their x and y in the layer's (top-down) coordinates.
  static constexpr uint64_t kMinXMinYCorner = 1, kMaxXMinYCorner = 2, kMinXMaxYCorner = 4,
                            kMaxXMaxYCorner = 8, kAllCorners = 15;

  CGRect frame() const { return frame_; }
  void setFrame(CGRect frame);
  // The bounds' size is the frame's; setting the bounds keeps the layer's centre.
  CGRect bounds() const { return {boundsOrigin_, frame_.size}; }
  void setBounds(CGRect bounds);

  Ref<> backgroundColor() const { return backgroundColor_; }  // a CGColor or nil
  void setBackgroundColor(id color) { backgroundColor_ = retain(color); }
  CGFloat cornerRadius() const { return cornerRadius_; }
  void setCornerRadius(CGFloat radius) { cornerRadius_ = radius; }
  bool continuousCorners() const { return continuousCorners_; }
  void setContinuousCorners(bool continuous) { continuousCorners_ = continuous; }
  // The corners the radius rounds (CACornerMask bits); the others stay square.
  uint64_t maskedCorners() const { return maskedCorners_; }
  void setMaskedCorners(uint64_t corners) { maskedCorners_ = corners & kAllCorners; }
  bool masksToBounds() const { return masksToBounds_; }
  void setMasksToBounds(bool masks) { masksToBounds_ = masks; }
  CGFloat borderWidth() const { return borderWidth_; }
  void setBorderWidth(CGFloat width) { borderWidth_ = width; }
  // Never set, the border is the host's default opaque black; set to nil, it has no
  // colour and draws nothing (the dump shows both as null).
  Ref<> borderColor() const { return borderColor_; }
  void setBorderColor(id color) {
    borderColor_ = retain(color);
    borderColorSet_ = true;
  }
  bool borderColorSet() const { return borderColorSet_; }
  CGSize shadowOffset() const { return shadowOffset_; }
  void setShadowOffset(CGSize offset) { shadowOffset_ = offset; }
  CGFloat shadowRadius() const { return shadowRadius_; }
  void setShadowRadius(CGFloat radius) { shadowRadius_ = radius; }
  float shadowOpacity() const { return shadowOpacity_; }
  void setShadowOpacity(float opacity) { shadowOpacity_ = opacity; }
  Ref<> shadowColor() const { return shadowColor_; }
  void setShadowColor(id color) { shadowColor_ = retain(color); }
  Ref<> mask() const { return mask_; }
  void setMask(id layer);
  Ref<> filters() const { return filters_; }
  void setFilters(id filters) { filters_ = retain(filters); }
  float opacity() const { return opacity_; }
  void setOpacity(float opacity) { opacity_ = opacity; }
  bool isHidden() const { return hidden_; }
  void setHidden(bool hidden) { hidden_ = hidden; }

  // The sublayers in drawing order, nil when there are none (as on the host).
  Ref<> sublayers() const;
  const std::vector<Ref<CALayer>>& sublayerList() const { return sublayers_; }
  Ref<> superlayer() const { return superlayer_.lock(); }
  void addSublayer(id layer) { insertSublayer(layer, static_cast<uint32_t>(sublayers_.size())); }
  // Any index is accepted, clamped to the end; a layer with a parent moves.
  void insertSublayer(id layer, uint32_t index);
  // Inserts layer just below `sibling`, or on top when sibling is not a sublayer.
  void insertSublayerBelow(id layer, const CALayer* sibling);
  void removeFromSuperlayer();

  // The view that owns this layer, or nil.
  Ref<> delegate() const { return delegate_.lock(); }
  void setDelegate(id view) { delegate_ = view ? view->weak_from_this() : rt::WeakRef<>(); }
  // Called after the size changes (a view marks itself for layout).
  void onResize(std::function<void()> handler) { resized_ = std::move(handler); }

 private:
  static Ref<> retain(id object) { return object ? object->ref() : nullptr; }

  CGRect frame_{};
  CGPoint boundsOrigin_{};
  Ref<> backgroundColor_, borderColor_, shadowColor_, mask_, filters_;
  bool borderColorSet_ = false;
  CGFloat cornerRadius_ = 0, borderWidth_ = 0, shadowRadius_ = 3;
  CGSize shadowOffset_{0, -3};
  float shadowOpacity_ = 0, opacity_ = 1;
  uint64_t maskedCorners_ = kAllCorners;
  bool continuousCorners_ = false, masksToBounds_ = false, hidden_ = false;
  std::vector<Ref<CALayer>> sublayers_;
  rt::WeakRef<> superlayer_, delegate_;
  std::function<void()> resized_;
};

// A layer filled with a linear gradient from startPoint to endPoint (unit coordinates
// of the bounds; defaults (0.5, 0) to (0.5, 1), top to bottom) through its colours
// (CGColors, evenly spaced).
class CAGradientLayer : public CALayer {
 public:
  static inline const rt::ClassOf<CAGradientLayer> cls{"CAGradientLayer"};
  static void bind(ClassBuilder<CAGradientLayer>& b);

  Ref<> colors() const { return colors_; }
  void setColors(id colors);
  CGPoint startPoint() const { return start_; }
  void setStartPoint(CGPoint point) { start_ = point; }
  CGPoint endPoint() const { return end_; }
  void setEndPoint(CGPoint point) { end_ = point; }

 private:
  Ref<> colors_;
  CGPoint start_{0.5, 0}, end_{0.5, 1};
};

// A layer that draws a path; as a mask, the path's inside is what shows.
class CAShapeLayer : public CALayer {
 public:
  static inline const rt::ClassOf<CAShapeLayer> cls{"CAShapeLayer"};
  static void bind(ClassBuilder<CAShapeLayer>& b);

  Ref<> path() const { return path_; }
  void setPath(id path) { path_ = path ? path->ref() : nullptr; }
  // The colour inside the path; nil is the host's default, opaque black.
  Ref<> fillColor() const { return fillColor_; }
  void setFillColor(id colour) { fillColor_ = colour ? colour->ref() : nullptr; }

 private:
  Ref<> path_, fillColor_;
};

// An immutable path: the points of its segments, in order. A move starts a new
// subpath; a line continues the current one.
class CGPath : public NSObject {
 public:
  static inline const rt::ClassOf<CGPath> cls{"CGPath"};
  struct Element {
    enum class Kind { Move, Line } kind;
    CGPoint point;
    bool operator==(const Element&) const = default;
  };
  explicit CGPath(std::vector<Element> elements) : elements_(std::move(elements)) {}
  const std::vector<Element>& elements() const { return elements_; }

 private:
  std::vector<Element> elements_;
};

// Defines the layer classes and CGPath. Part of booting the host.
void defineLayers(ClassList& list);

}  // namespace host
