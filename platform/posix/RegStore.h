// The registry on Linux: one REGEDIT4 text file ("hive") per root key,
// HKEY_CURRENT_USER in the user's folder and the machine-wide roots in
// another. A handle names a key by its path; every operation reads the hive
// again, so several processes can share one store.
//
// Writes replace the hive atomically (temporary file, fsync, rename) while
// holding an exclusive lock on "<hive>.lock", and re-read the hive under that
// lock, so concurrent writers lose nothing and a crash leaves the old or the
// new file. A hive that cannot be parsed is never overwritten: the operation
// fails and LastError says where the file is wrong.
//
// Key paths are backslash-separated names. Empty names are skipped, so
// "Software\\My App", "\\Software\\\\My App\\" and "Software\\My App\\" all
// name the same key, and "" (or "\\") names the root itself. A key name may
// hold any byte but control characters; a value name any byte but CR, LF and
// NUL. Names compare case-insensitively (ASCII letters) and keep the case
// they were first written with. Other bytes (UTF-8) are stored as they are.
#pragma once

#include "platform/Registry.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

class CRegStore : public IRegistryStore {
public:
    // userFolder holds the hive of HKEY_CURRENT_USER, machineFolder those of
    // the other roots. Missing folders are created on the first write.
    CRegStore(std::string userFolder, std::string machineFolder);

    // The store every installer on this machine uses:
    // $XDG_DATA_HOME/sfxpack/registry (default ~/.local/share/sfxpack/registry)
    // and /var/lib/sfxpack/registry.
    static CRegStore Default();

    std::optional<RegKey> CreateKey(RegKey root, const std::string& path) override;
    std::optional<RegKey> OpenKey(RegKey root, const std::string& path) override;
    bool SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::string& data) override;
    void CloseKey(RegKey key) override;

    bool QueryValues(RegKey root, const std::string& path, std::vector<CRegValue>& values) override;
    bool QueryValue(RegKey root, const std::string& path, const std::string& name, CRegValue& value) override;
    // A hive never written holds only its root key.
    bool ExportHive(RegKey root, std::string& text) override;
    const std::string& LastError() const override { return m_error; }

    // "HKEY_CURRENT_USER" for HKEY_CURRENT_USER, ...; empty for other handles.
    static std::string RootName(RegKey root);
    // The hive file of a root key; empty when that root has no folder.
    std::string HivePath(RegKey root) const;

private:
    struct CKeyPath {
        RegKey root = 0;
        std::vector<std::string> names;
    };

    std::optional<CKeyPath> Resolve(RegKey root, const std::string& path);
    RegKey NewHandle(CKeyPath path);
    std::string Describe(const CKeyPath& key) const;

    std::string m_userFolder;
    std::string m_machineFolder;
    std::map<RegKey, CKeyPath> m_handles;
    RegKey m_nextHandle = 1;
    std::string m_error;
};
