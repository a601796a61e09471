#include "host/render/shape.h"

#include <algorithm>

#include "host/quartz/cgcolor.h"
#include "host/quartz/continuous_corners.h"
#include "host/uikit/application.h"
#include "host/uikit/colour.h"
#include "host/uikit/view.h"

namespace host::render {

void addRoundedRect(cairo_t* cr, CGRect rect, double radius, bool continuous, unsigned corners) {
  if (continuous)
    addContinuousRoundedRect(cr, rect, radius, corners);
  else
    addCircularRoundedRect(cr, rect, radius, corners);
}

void addLayerShape(cairo_t* cr, const CALayer& layer) {
  addRoundedRect(cr, layer.bounds(), layer.cornerRadius(), layer.continuousCorners(),
                 static_cast<unsigned>(layer.maskedCorners()));
}

std::array<double, 4> colourComponents(id colour, bool dark) {
  if (const UIColor* ui = UIColor::cls.cast(colour)) return ui->rgba(dark);
  const rt::CGFloat* c = CGColorGetComponents(colour);
  return {c[0], c[1], c[2], c[3]};
}

bool drawsDark(const CALayer& layer) {
  const CALayer* l = &layer;
  Ref<> held;  // keeps the superlayer being looked at
  while (l) {
    const Ref<> delegate = l->delegate();
    if (const UIView* view = UIView::cls.cast(delegate.get())) {
      const Ref<> collection = view->traitCollection();  // held while it is read
      const auto* traits = UITraitCollection::cls.cast(collection.get());
      return traits && traits->userInterfaceStyle() == UIUserInterfaceStyleDark;
    }
    held = l->superlayer();
    l = CALayer::cls.cast(held.get());
  }
  return false;
}

void setSource(cairo_t* cr, const std::array<double, 4>& rgba, double alpha) {
  cairo_set_source_rgba(cr, rgba[0], rgba[1], rgba[2], rgba[3] * alpha);
}

}  // namespace host::render
