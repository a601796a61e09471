// Small view trees to render, and pixel probes on the pictures.
#pragma once

#include <array>
#include <cstdint>

#include "host/render/render.h"
#include "host/uikit/colour.h"
#include "host/uikit/view.h"
#include "support/host_fixture.h"

namespace testing_support {

class RenderFixture : public HostFixture {
 protected:
  void TearDown() override {
    kept.clear();
    picture = nullptr;
    HostFixture::TearDown();
  }
  // A view of the class with the frame and, when alpha > 0, a background colour.
  host::UIView& view(const char* cls, rt::CGRect frame, std::array<double, 4> colour = {},
                     host::UIView* parent = nullptr) {
    rt::Ref<> v = rt::send(rt::send(rt::objc_getClass(cls), sel::alloc), sel::initWithFrame, frame);
    if (colour[3] > 0)
      rt::send(v, sel::setBackgroundColor,
               host::UIColor::make(colour[0], colour[1], colour[2], colour[3]));
    if (parent)
      rt::send(parent, sel::addSubview, v);
    else
      kept.push_back(v);
    return *host::UIView::cls.cast(v.get());
  }
  host::UIView& view(rt::CGRect frame, std::array<double, 4> colour = {},
                     host::UIView* parent = nullptr) {
    return view("UIView", frame, colour, parent);
  }

  // The picture of the view at the scale; fails the test when there is none.
  rt::Ref<host::CGImage> render(const host::UIView& v, double scale = 1) {
    host::RenderedImage r = host::renderView(v, scale);
    EXPECT_TRUE(r.image) << r.error;
    picture = r.image;
    return r.image;
  }

  // The pixel (x, y) of the last picture as premultiplied red, green, blue, alpha.
  std::array<int, 4> at(int x, int y) const {
    const uint32_t p = picture->row(y)[x];
    return {static_cast<int>(p >> 16 & 0xff), static_cast<int>(p >> 8 & 0xff),
            static_cast<int>(p & 0xff), static_cast<int>(p >> 24)};
  }
  int alphaAt(int x, int y) const { return at(x, y)[3]; }

  static constexpr std::array<double, 4> kRed{1, 0, 0, 1}, kBlue{0, 0, 1, 1}, kGreen{0, 1, 0, 1},
      kWhite{1, 1, 1, 1};
  static constexpr std::array<int, 4> kOpaqueRed{255, 0, 0, 255}, kClear{0, 0, 0, 0};

  std::vector<rt::Ref<>> kept;
  rt::Ref<host::CGImage> picture;
};

}  // namespace testing_support
