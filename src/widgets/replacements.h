// The widget replacements, each calling its saved implementation first: the controller
// observes its restyle notification from its creation and runs the pass when it appears
// and after each layout; the widget's icon setter posts that notification; the platter's
// content layout moves the content below a coloured header.
#pragma once

#include "runtime/runtime.h"

namespace lumora {

extern rt::ImpFor<rt::Ref<>, rt::id> original_initWithWidgetIdentifier;
rt::Ref<> replaced_initWithWidgetIdentifier(rt::id self, rt::SEL cmd, rt::id identifier);
extern rt::ImpFor<void, bool> original_viewWillAppear;
void replaced_viewWillAppear(rt::id self, rt::SEL cmd, bool animated);
extern rt::ImpFor<void> original_viewDidLayoutSubviews;
void replaced_viewDidLayoutSubviews(rt::id self, rt::SEL cmd);
extern rt::ImpFor<void, rt::id> original_setIcon;
void replaced_setIcon(rt::id self, rt::SEL cmd, rt::id icon);
extern rt::ImpFor<void> original_layoutContentView;
void replaced_layoutContentView(rt::id self, rt::SEL cmd);

}  // namespace lumora
