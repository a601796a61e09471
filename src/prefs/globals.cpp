#include "prefs/globals.h"

namespace lumora {

rt::Ref<> preferences;
rt::Ref<> colorCache;
bool colorFlowInstalled = false;
bool showCustomMessages = false;

}  // namespace lumora
