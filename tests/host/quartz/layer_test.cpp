// Layers: a view's geometry and look are its layer's, sublayers keep the views' order,
// and the layer classes keep what the system gives them.
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

TEST_F(LayerTest, AViewsGeometryAndLookAreItsLayers) {
  Ref<> v = view();
  Ref<> layer = rt::send(v, sel::layer);
  ASSERT_TRUE(CALayer::cls.isKind(layer.get()));
  EXPECT_EQ(rt::send(layer, sel::delegate), v);
  rt::send(v, sel::setFrame, CGRectMake(10, 20, 100, 50));
  EXPECT_EQ(rt::send(layer, sel::frame), CGRectMake(10, 20, 100, 50));
  rt::send(v, sel::setBounds, CGRectMake(0, 0, 60, 30));  // keeps the centre
  EXPECT_EQ(rt::send(v, sel::frame), CGRectMake(30, 30, 60, 30));
  rt::send(v, sel::setClipsToBounds, true);
  EXPECT_TRUE(rt::send(layer, sel::masksToBounds));
  rt::send(v, sel::setAlpha, 0.5);
  EXPECT_EQ(rt::send(layer, sel::opacity), 0.5f);
  rt::send(v, sel::setBackgroundColor, UIColor::make(1, 0, 0, 1));
  EXPECT_TRUE(CGColor::cls.isKind(rt::send(layer, sel::backgroundColor).get()));
  EXPECT_EQ(CGColorGetComponents(rt::send(layer, sel::backgroundColor).get())[0], 1);
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

TEST_F(LayerTest, InsertSublayerClampsTheIndexAndMovesALayerThatHasAParent) {
  Ref<> one = rt::send(CALayer::cls.get(), sel::layer),
        two = rt::send(CALayer::cls.get(), sel::layer);
  Ref<> child = rt::send(CALayer::cls.get(), sel::layer);
  EXPECT_EQ(rt::send(one, sel::sublayers), nullptr);  // none: nil, as on the host
  rt::send(one, sel::insertSublayer_atIndex, child, uint32_t{99});
  EXPECT_EQ(rt::send(child, sel::superlayer), one);
  rt::send(two, sel::insertSublayer_atIndex, child, uint32_t{0});
  EXPECT_EQ(rt::send(one, sel::sublayers), nullptr);
  EXPECT_EQ(rt::send(rt::send(two, sel::sublayers), sel::count), 1u);
  EXPECT_EQ(rt::send(child, sel::superlayer), two);
}

TEST_F(LayerTest, LayerClassesStartWithTheHostDefaultsAndKeepWhatTheyAreGiven) {
  Ref<> layer = rt::send(CALayer::cls.get(), sel::layer);
  EXPECT_EQ(rt::send(layer, sel::shadowOffset), (CGSize{0, -3}));
  EXPECT_EQ(rt::send(layer, sel::shadowRadius), 3);
  EXPECT_EQ(rt::send(layer, sel::shadowOpacity), 0.f);
  EXPECT_EQ(rt::send(layer, sel::opacity), 1.f);
  EXPECT_FALSE(rt::send(layer, sel::continuousCorners));

  Ref<> gradient = rt::send(CAGradientLayer::cls.get(), sel::layer);
  EXPECT_EQ(rt::send(gradient, sel::startPoint), (CGPoint{0.5, 0}));
  EXPECT_EQ(rt::send(gradient, sel::endPoint), (CGPoint{0.5, 1}));
  rt::send(gradient, sel::setColors, NSArray::make({CGColor::make(1, 0, 0, 1)}));
  EXPECT_EQ(rt::send(rt::send(gradient, sel::colors), sel::count), 1u);

  Ref<> path = rt::send(UIBezierPath::cls.get(), sel::new_);
  rt::send(path, sel::moveToPoint, CGPoint{0, 0});
  rt::send(path, sel::addLineToPoint, CGPoint{10, 5});
  rt::send(path, sel::addLineToPoint, CGPoint{0, 10});
  rt::send(path, sel::addLineToPoint, CGPoint{0, 0});
  Ref<> shape = rt::send(CAShapeLayer::cls.get(), sel::new_);
  rt::send(shape, sel::setPath, rt::send(path, sel::CGPath));
  rt::send(layer, sel::setMask, shape);
  const CGPath* kept = CGPath::cls.cast(rt::send(rt::send(layer, sel::mask), sel::path).get());
  ASSERT_NE(kept, nullptr);
  ASSERT_EQ(kept->elements().size(), 4u);
  EXPECT_EQ(kept->elements()[1].point, (CGPoint{10, 5}));
  EXPECT_EQ(kept->elements()[0].kind, CGPath::Element::Kind::Move);
  // A line without a current point is the programming error the host raises.
  EXPECT_THROW(
      rt::send(rt::send(UIBezierPath::cls.get(), sel::new_), sel::addLineToPoint, CGPoint{1, 1}),
      rt::ProgrammingError);
}
