// The system services on Linux: the wiring of the posix platform.
#include "platform/Platform.h"
#include "platform/posix/PosixFolders.h"
#include "platform/posix/PosixShell.h"
#include "platform/posix/RegStore.h"

std::unique_ptr<IFolders> MakeFolders()
{
    return std::make_unique<CPosixFolders>();
}

std::unique_ptr<IShell> MakeShell()
{
    return std::make_unique<CPosixShell>();
}

std::unique_ptr<IRegistryStore> MakeRegistry()
{
    return std::make_unique<CRegStore>(CRegStore::Default());
}

std::unique_ptr<IRegistryStore> MakeRegistryIn(const std::string& folder)
{
    return std::make_unique<CRegStore>(folder, folder);
}
