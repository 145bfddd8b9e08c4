// sfxtool reg: writes keys and values exactly as an installer's registry tasks
// do, and shows what the registry store holds.
#include "installer/Registry.h"
#include "platform/Platform.h"
#include "tools/Commands.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <iostream>
#include <memory>

namespace {

constexpr const char* kStoreHelp =
    "keep every hive (all roots) in DIR instead of the installers' store: "
    "HKEY_CURRENT_USER in $XDG_DATA_HOME/sfxpack/registry (default ~/.local/share/sfxpack/registry), "
    "the other roots in /var/lib/sfxpack/registry";
constexpr const char* kRootHelp =
    "root key name, read as an installer reads it: the first of HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, "
    "HKEY_USERS, HKEY_CURRENT_CONFIG contained in it (case-sensitive), else HKEY_CLASSES_ROOT";
constexpr const char* kKeyHelp = "key path below the root, backslash-separated; \"\" is the root itself";
constexpr const char* kNameHelp = "value name; \"\" is the key's default value";

struct RegArgs {
    std::string store;
    std::string root;
    std::string key;
    std::string name;
    std::string value;
};

// nullptr (with status set and the reason shown) when --store names a
// store this system does not have.
std::unique_ptr<IRegistryStore> OpenStore(const RegArgs& args, int& status)
{
    std::unique_ptr<IRegistryStore> store = args.store.empty() ? MakeRegistry() : MakeRegistryIn(args.store);
    if (!store)
        status = Fail(kExitUsage, "--store: this system's registry is its own; it keeps no store in a folder");
    return store;
}

int WriteFailed(const IRegistryStore& store)
{
    return Fail(kExitBad, store.LastError().empty() ? "cannot write to the registry store" : store.LastError());
}

// Store bytes are not guaranteed UTF-8; invalid sequences are replaced so
// the output stays valid JSON.
std::string Json(const nlohmann::ordered_json& value)
{
    return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

nlohmann::ordered_json ValueJson(const CRegValue& value)
{
    nlohmann::ordered_json out = {{"name", value.name}};
    if (value.type == kRegString) {
        std::string text = value.data;
        if (!text.empty() && text.back() == '\0')
            text.pop_back();
        out["type"] = "REG_SZ";
        out["data"] = text;
    } else if (value.type == kRegDword && value.data.size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i)
            number = number << 8 | static_cast<unsigned char>(value.data[static_cast<std::size_t>(i)]);
        out["type"] = "REG_DWORD";
        out["data"] = number;
    } else {
        // Types the installer never writes: the number and the bytes in hex.
        static constexpr char kDigits[] = "0123456789abcdef";
        std::string hex;
        for (unsigned char byte : value.data) {
            hex += kDigits[byte >> 4];
            hex += kDigits[byte & 0xF];
        }
        out["type"] = value.type;
        out["data"] = hex;
    }
    return out;
}

CLI::App* AddRegCommand(CLI::App& reg, const char* name, const char* description)
{
    CLI::App* command = reg.add_subcommand(name, description);
    // Lets --store follow the command's own arguments too.
    command->fallthrough();
    return command;
}

} // namespace

void AddRegCommands(CLI::App& app, int& status)
{
    auto args = std::make_shared<RegArgs>();
    CLI::App* reg = app.add_subcommand(
        "reg", "Write registry keys and values as an installer's tasks do, and show what the registry store holds");
    reg->require_subcommand(1);
    reg->add_option("--store", args->store, kStoreHelp)->envname("SFXTOOL_REGISTRY_DIR")->type_name("DIR");
    reg->footer("Hives are REGEDIT4 text files, one per root key (HKEY_CURRENT_USER.reg, ...); "
                "'sfxtool reg --store DIR ...' or SFXTOOL_REGISTRY_DIR=DIR uses the hives in DIR instead. "
                "Exit status: 0 done, 1 the store cannot be read or written or the key or value is missing, "
                "2 usage.");

    CLI::App* createKey = AddRegCommand(*reg, "create-key", "Create a key and every missing key on its path (CreateRegKey)");
    createKey->add_option("ROOT", args->root, kRootHelp)->required();
    createKey->add_option("KEY", args->key, kKeyHelp)->required();
    createKey->callback([args, &status] {
        const std::unique_ptr<IRegistryStore> store = OpenStore(*args, status);
        if (!store)
            return;
        if (!CreateRegKey(*store, RootKeyFromName(args->root), args->key))
            status = WriteFailed(*store);
    });

    CLI::App* setString = AddRegCommand(*reg, "set-string", "Write a REG_SZ value, creating the key when missing (SetRegString)");
    setString->add_option("ROOT", args->root, kRootHelp)->required();
    setString->add_option("KEY", args->key, kKeyHelp)->required();
    setString->add_option("NAME", args->name, kNameHelp)->required();
    setString->add_option("VALUE", args->value, "text to store")->required();
    setString->callback([args, &status] {
        const std::unique_ptr<IRegistryStore> store = OpenStore(*args, status);
        if (!store)
            return;
        if (!SetRegString(*store, RootKeyFromName(args->root), args->key, args->name, args->value))
            status = WriteFailed(*store);
    });

    CLI::App* setDword = AddRegCommand(*reg, "set-dword", "Write a REG_DWORD value, creating the key when missing (SetRegDword)");
    setDword->add_option("ROOT", args->root, kRootHelp)->required();
    setDword->add_option("KEY", args->key, kKeyHelp)->required();
    setDword->add_option("NAME", args->name, kNameHelp)->required();
    setDword->add_option("NUMBER", args->value,
                         "read as an installer reads it (atoi): optional sign, decimal digits up to the first "
                         "other character, 0 when none; -1 stores 0xFFFFFFFF")
        ->required();
    setDword->callback([args, &status] {
        const std::unique_ptr<IRegistryStore> store = OpenStore(*args, status);
        if (!store)
            return;
        const auto number = static_cast<std::uint32_t>(AtoI(args->value));
        if (!SetRegDword(*store, RootKeyFromName(args->root), args->key, args->name, number))
            status = WriteFailed(*store);
    });

    auto queryName = std::make_shared<std::optional<std::string>>();
    CLI::App* query = AddRegCommand(*reg, "query",
                                    "Print a value as JSON {\"name\", \"type\", \"data\"}, or without NAME all "
                                    "values of the key as a JSON array");
    query->add_option("ROOT", args->root, kRootHelp)->required();
    query->add_option("KEY", args->key, kKeyHelp)->required();
    query->add_option("NAME", *queryName, kNameHelp);
    query->callback([args, queryName, &status] {
        const std::unique_ptr<IRegistryStore> store = OpenStore(*args, status);
        if (!store)
            return;
        const RegKey root = RootKeyFromName(args->root);
        if (*queryName) {
            CRegValue value;
            if (!store->QueryValue(root, args->key, **queryName, value))
                status = Fail(kExitBad, store->LastError());
            else
                std::cout << Json(ValueJson(value)) << '\n';
            return;
        }
        std::vector<CRegValue> values;
        if (!store->QueryValues(root, args->key, values)) {
            status = Fail(kExitBad, store->LastError());
            return;
        }
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const CRegValue& value : values)
            list.push_back(ValueJson(value));
        std::cout << Json(list) << '\n';
    });

    CLI::App* exportHive = AddRegCommand(*reg, "export", "Print a root key's whole hive as REGEDIT4 text");
    exportHive->add_option("ROOT", args->root, kRootHelp)->required();
    exportHive->callback([args, &status] {
        const std::unique_ptr<IRegistryStore> store = OpenStore(*args, status);
        if (!store)
            return;
        std::string text;
        if (!store->ExportHive(RootKeyFromName(args->root), text)) {
            status = Fail(kExitBad, store->LastError());
            return;
        }
        std::cout << text;
    });
}
