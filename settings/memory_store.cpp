#include "settings/memory_store.h"

namespace lumora {

class MemorySettingsStore::Key : public SettingsKey {
public:
    explicit Key(MemorySettingsStore& store) : store_(store) { ++store_.OpenKeys; }
    ~Key() override { --store_.OpenKeys; }

    int32_t ReadInteger(const wchar_t* name) override {
        const auto found = store_.Values.find(name);
        if (found == store_.Values.end()) throw SettingsError::FailedToGetData(name);
        const platform::RegistryValue& value = found->second;
        const size_t readerSize =
            platform::IsStringType(value.type) ? value.data.size() / 2 : value.data.size();
        int32_t result = 0;
        switch (platform::DecodeInteger(value.type, value.data, readerSize, result)) {
            case platform::ValueRead::Ok: return result;
            case platform::ValueRead::FailedToGetData: throw SettingsError::FailedToGetData(name);
            case platform::ValueRead::InvalidDataType: break;
        }
        throw SettingsError::InvalidDataType(name);
    }

    std::wstring ReadString(const wchar_t* name) override {
        const auto found = store_.Values.find(name);
        std::wstring text;
        if (found != store_.Values.end() &&
            platform::DecodeString(found->second.type, found->second.data, text) !=
                platform::ValueRead::Ok)
            throw SettingsError::InvalidDataType(name);
        return text;
    }

    void WriteInteger(const wchar_t* name, int32_t value) override {
        Write(name, platform::RegistryValue::Dword(value));
    }
    void WriteString(const wchar_t* name, const std::wstring& value) override {
        Write(name, platform::RegistryValue::Text(value));
    }

private:
    void Write(const wchar_t* name, platform::RegistryValue value) {
        if (store_.RefusedValue == name) throw SettingsError::FailedToSetData(name);
        store_.Values[name] = std::move(value);
        store_.Written.push_back(name);
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
