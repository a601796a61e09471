#include "host/uikit/material_view.h"

#include "host/uikit/application.h"

namespace host {

Ref<> MTMaterialView::make(Recipe recipe) {
  Ref<> view = rt::send(cls.get(), sel::new_);
  if (auto* material = cls.cast(view.get())) material->setRecipe(recipe);
  return view;
}

std::array<double, 4> MTMaterialView::fill() const {
  const double opacity = recipe_ == Recipe::Platter ? 0.78 : 0.7;
  const Ref<> collection = traitCollection();  // held while it is read
  const auto* traits = UITraitCollection::cls.cast(collection.get());
  if (traits && traits->userInterfaceStyle() == UIUserInterfaceStyleDark)
    return {0.15, 0.15, 0.16, opacity};
  return {0.97, 0.97, 0.97, opacity};
}

void defineMaterialViews(ClassList& list) {
  list.define<MTMaterialView>(UIView::cls);
}

}  // namespace host
