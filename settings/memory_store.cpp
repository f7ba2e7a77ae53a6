#include "settings/memory_store.h"

namespace lumora {

class MemorySettingsStore::Key : public SettingsKey {
public:
    explicit Key(MemorySettingsStore& store) : store_(store) { ++store_.OpenKeys; }
    ~Key() override { --store_.OpenKeys; }

    platform::Outcome ReadInteger(const wchar_t* name, int32_t& value) override {
        const auto found = store_.Values.find(name);
        if (found == store_.Values.end())
            return ReadOutcome(platform::ValueRead::FailedToGetData, name);
        const platform::RegistryValue& stored = found->second;
        const size_t readerSize =
            platform::IsStringType(stored.type) ? stored.data.size() / 2 : stored.data.size();
        return ReadOutcome(platform::DecodeInteger(stored.type, stored.data, readerSize, value),
                           name);
    }

    platform::Outcome ReadString(const wchar_t* name, std::wstring& value) override {
        const auto found = store_.Values.find(name);
        std::wstring text;
        const platform::ValueRead read =
            found == store_.Values.end()
                ? platform::ValueRead::Ok
                : platform::DecodeString(found->second.type, found->second.data, text);
        if (read == platform::ValueRead::Ok) value = std::move(text);
        return ReadOutcome(read, name);
    }

    platform::Outcome WriteInteger(const wchar_t* name, int32_t value) override {
        return Write(name, platform::RegistryValue::Dword(value));
    }
    platform::Outcome WriteString(const wchar_t* name, const std::wstring& value) override {
        return Write(name, platform::RegistryValue::Text(value));
    }

private:
    platform::Outcome Write(const wchar_t* name, platform::RegistryValue value) {
        if (store_.RefusedValue == name) return WriteOutcome(false, name);
        store_.Values[name] = std::move(value);
        store_.Written.push_back(name);
        return WriteOutcome(true, name);
    }

    MemorySettingsStore& store_;
};

std::unique_ptr<SettingsKey> MemorySettingsStore::OpenExisting() {
    if (!KeyExists || KeyRefused) return nullptr;
    return std::make_unique<Key>(*this);
}

std::unique_ptr<SettingsKey> MemorySettingsStore::OpenOrCreate() {
    if (KeyRefused) return nullptr;
    KeyExists = true;
    return std::make_unique<Key>(*this);
}

}  // namespace lumora
