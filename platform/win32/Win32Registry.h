// The Windows registry itself. Writes fail silently for the installer (a
// false result, no message); LastError says why for sfxtool. Text values are
// UTF-8 inside and stored as REG_SZ UTF-16. A whole-hive export is left to
// Windows' own "reg export": ExportHive fails and says so.
#pragma once

#include "platform/Registry.h"

class CWin32Registry : public IRegistryStore {
public:
    std::optional<RegKey> CreateKey(RegKey root, const std::string& path) override;
    std::optional<RegKey> OpenKey(RegKey root, const std::string& path) override;
    bool SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::string& data) override;
    void CloseKey(RegKey key) override;

    bool QueryValues(RegKey root, const std::string& path, std::vector<CRegValue>& values) override;
    bool QueryValue(RegKey root, const std::string& path, const std::string& name, CRegValue& value) override;
    bool ExportHive(RegKey root, std::string& text) override;
    const std::string& LastError() const override { return m_error; }

private:
    bool Failed(long status, const std::string& what);

    std::string m_error;
};
