// The system services of the platform the build is for (SFX_PLATFORM). Each
// platform's wiring file makes them from its own realisations, so the
// programs name only these interfaces and one switch picks the system.
#pragma once

#include "platform/Folders.h"
#include "platform/Registry.h"
#include "platform/Shell.h"

#include <memory>
#include <string>

std::unique_ptr<IFolders> MakeFolders();
std::unique_ptr<IShell> MakeShell();
// The registry every installer on this machine writes.
std::unique_ptr<IRegistryStore> MakeRegistry();
// A registry kept in folder alone, every root key in it, instead of the
// machine's (sfxtool reg --store).
std::unique_ptr<IRegistryStore> MakeRegistryIn(const std::string& folder);
