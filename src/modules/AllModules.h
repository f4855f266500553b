// The client's modules: the one place where a subsystem is registered.
#pragma once

#include "engine/Module.h"

namespace zel {

ModuleList AllModules();

}  // namespace zel
