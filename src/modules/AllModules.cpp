#include "modules/AllModules.h"

#include "definitions/commands/DefinitionCommands.h"
#include "display/commands/DisplayCommands.h"
#include "engine/EngineCommands.h"
#include "input/commands/BindingCommands.h"
#include "net/commands/ConnectionCommands.h"
#include "triggers/commands/TriggerCommands.h"

namespace zel {
namespace {

constexpr const Module* kModules[] = {
    &kEngineModule,  &kDefinitionModule, &kDisplayModule,
    &kBindingModule, &kConnectionModule, &kTriggerModule,
};

}  // namespace

ModuleList AllModules()
{
    return kModules;
}

}  // namespace zel
