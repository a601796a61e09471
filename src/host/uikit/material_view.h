// MTMaterialView: the host's frosted backgrounds (notification cards, widgets, the media
// player). On the host a material blurs what lies behind it and
// tints it by the interface style of its view; it has no background colour of its own.
//
// The renderer blurs what lies beneath a material (see render/backdrop.h) and lays the
// material's tint over it, light or dark by the style its view's trait collection
// answers when drawn, so a forced appearance shows. The tints (the model's choice, close
// to the host's look over a wallpaper):
//   light  (0.97, 0.97, 0.97) at the recipe's opacity
//   dark   (0.15, 0.15, 0.16) at the recipe's opacity
// Recipes differ only in opacity: a platter 0.78, a widget 0.7.
#pragma once

#include <array>

#include "host/uikit/view.h"

namespace host {

class MTMaterialView : public UIView {
 public:
  static inline const rt::ClassOf<MTMaterialView> cls{"MTMaterialView"};
  enum class Recipe { Platter, Widget };

  // A material view of the recipe, through the runtime (nil when the host lacks the
  // class).
  static Ref<> make(Recipe recipe);
  Recipe recipe() const { return recipe_; }
  void setRecipe(Recipe recipe) { recipe_ = recipe; }
  // The tint the material lays over its blurred backdrop, by the style of its view.
  std::array<double, 4> fill() const;

 private:
  Recipe recipe_ = Recipe::Platter;
};

void defineMaterialViews(ClassList& list);

}  // namespace host
