#include "settings/memory_store.h"

namespace lumora {

class MemorySettingsStore::Key : public SettingsKey {
public:
    explicit Key(MemorySettingsStore& store) : store_(store) { ++store_.OpenKeys; }
    ~Key() override { --store_.OpenKeys; }

    int32_t ReadInteger(const wchar_t* name) override {
        const auto found = store_.Values.find(name);
        if (found == store_.Values.end()) throw SettingsError::FailedToGetData(name);
        const MemoryValue& value = found->second;
        switch (value.kind) {
            case MemoryValue::Kind::Integer: return value.integer;
            case MemoryValue::Kind::Oversized: throw SettingsError::FailedToGetData(name);
            case MemoryValue::Kind::String: break;
        }
        // As an ANSI reader saw it: the text and its NUL, at most 4 bytes, is merely the wrong type.
        if (value.text.size() + 1 > sizeof(int32_t)) throw SettingsError::FailedToGetData(name);
        throw SettingsError::InvalidDataType(name);
    }

    std::wstring ReadString(const wchar_t* name) override {
        const auto found = store_.Values.find(name);
        if (found == store_.Values.end()) return std::wstring();
        if (found->second.kind != MemoryValue::Kind::String) throw SettingsError::InvalidDataType(name);
        const std::wstring& text = found->second.text;
        return text.substr(0, text.find(L'\0'));
    }

    void WriteInteger(const wchar_t* name, int32_t value) override {
        Write(name, MemoryValue::Integer(value));
    }
    void WriteString(const wchar_t* name, const std::wstring& value) override {
        Write(name, MemoryValue::String(value));
    }

private:
    void Write(const wchar_t* name, MemoryValue value) {
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
