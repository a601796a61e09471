// FIXME: placeholder until the prefs command lands; registers nothing.
#include "tool/commands.h"

namespace tool {
void addPrefsCommand(CLI::App&, const GlobalOptions&) {}
}  // namespace tool
