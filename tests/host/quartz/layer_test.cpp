// Layers: a view's geometry and colour are its layer's, and sublayers keep the views'
// order.
#include <gtest/gtest.h>

#include "host/host.h"
#include "host/quartz/cgcolor.h"
#include "host/uikit/bezier_path.h"
#include "host/uikit/colour.h"
#include "host/uikit/view.h"
#include "support/host_fixture.h"

using namespace host;
using rt::CGRectMake;

namespace {

class LayerTest : public testing_support::HostFixture {
 protected:
  Ref<> view() { return rt::send(UIView::cls.get(), sel::new_); }
};

}  // namespace

TEST_F(LayerTest, AViewsGeometryAndColourAreItsLayers) {
  Ref<> v = view();
  Ref<> layer = rt::send(v, sel::layer);
  EXPECT_EQ(rt::send(layer, sel::delegate), v);
  rt::send(v, sel::setFrame, CGRectMake(10, 20, 100, 50));
  rt::send(v, sel::setBounds, CGRectMake(0, 0, 60, 30));  // keeps the centre
  EXPECT_EQ(rt::send(layer, sel::frame), CGRectMake(30, 30, 60, 30));
  // A colour set on the layer shows through the view.
  rt::send(layer, sel::setBackgroundColor, CGColor::make(0, 0, 1, 1));
  Ref<> seen = rt::send(v, sel::backgroundColor);
  ASSERT_TRUE(UIColor::cls.isKind(seen.get()));
  EXPECT_EQ(UIColor::cls.cast(seen.get())->rgba(), (std::array<rt::CGFloat, 4>{0, 0, 1, 1}));
}

TEST_F(LayerTest, SubviewLayersFollowTheSubviewOrderAmongOtherSublayers) {
  Ref<> parent = view(), a = view(), b = view();
  Ref<> layer = rt::send(parent, sel::layer);
  Ref<> gradient = rt::send(CAGradientLayer::cls.get(), sel::layer);
  rt::send(parent, sel::addSubview, a);
  rt::send(layer, sel::insertSublayer_atIndex, gradient, uint32_t{0});
  rt::send(parent, sel::insertSubview_atIndex, b, int64_t{0});  // below a
  const auto& list = CALayer::cls.cast(layer.get())->sublayerList();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0], gradient);
  EXPECT_EQ(list[1], rt::send(b, sel::layer));
  EXPECT_EQ(list[2], rt::send(a, sel::layer));
  rt::send(b, sel::removeFromSuperview);
  EXPECT_EQ(list.size(), 2u);
}

// A line without a current point is the programming error the host raises.
TEST_F(LayerTest, APathLineWithoutAStartingPointThrows) {
  EXPECT_THROW(
      rt::send(rt::send(UIBezierPath::cls.get(), sel::new_), sel::addLineToPoint, CGPoint{1, 1}),
      rt::ProgrammingError);
}
