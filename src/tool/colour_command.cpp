// FIXME: placeholder until the colour command lands; registers nothing.
#include "tool/commands.h"

namespace tool {
void addColourCommand(CLI::App&, const GlobalOptions&) {}
}  // namespace tool
