// The replacements that make the host's own layout follow the chosen style: the added
// background tracks the card, a coloured classic header gets 10 more points, the modern
// style lifts the header and makes room for its indicator, the date label rises 3
// points, the header icon's padding collapses without a classic indicator, the app's
// name can stand in for a missing title, the lockscreen list can be forced dark or
// light, and the options row is narrowed and its overlay rounded.
//
// Each replacement reaches the host through its slot, which the start-up routine fills
// when it installs the row.
#pragma once

#include "runtime/runtime.h"

namespace lumora::adjust {

using rt::CGFloat;
using rt::CGRect;
using rt::CGSize;
using rt::id;
using rt::ImpFor;
using rt::SEL;

extern ImpFor<void> original_shortLookView_layoutSubviews;
void shortLookView_layoutSubviews(id self, SEL cmd);

extern ImpFor<CGSize, CGSize> original_sizeThatFitsContentWithSize;
CGSize sizeThatFitsContentWithSize(id self, SEL cmd, CGSize size);

extern ImpFor<void> original_listController_viewDidLayoutSubviews;
void listController_viewDidLayoutSubviews(id self, SEL cmd);

extern ImpFor<void, CGRect> original_dateLabel_setFrame;
void dateLabel_setFrame(id self, SEL cmd, CGRect frame);

extern ImpFor<CGFloat> original_iconTrailingPadding;
CGFloat iconTrailingPadding(id self, SEL cmd);

extern ImpFor<CGRect> original_mainContentFrame;
CGRect mainContentFrame(id self, SEL cmd);

extern ImpFor<void, id> original_setPrimaryText;
void setPrimaryText(id self, SEL cmd, id text);

extern ImpFor<void> original_contentView_layoutSubviews;
void contentView_layoutSubviews(id self, SEL cmd);

extern ImpFor<void> original_optionsView_layoutSubviews;
void optionsView_layoutSubviews(id self, SEL cmd);

}  // namespace lumora::adjust
