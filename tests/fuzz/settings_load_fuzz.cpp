// The settings load over a store whose values have any type, size and content, read the way
// the registry key reads them (the in-memory store decodes through platform/registry_value.h),
// and the engine run with whatever
// the load left in force. Whatever the store holds: every key is closed again, at most one
// error is shown and it names one of the six values, nothing is written unless it is the
// first-run defaults, every added value is within its range (as stored when it is a DWORD in
// range, its first-run value when missing), and a frame of the loaded pattern, scheme and speed
// renders.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "settings/memory_store.h"
#include "settings/settings.h"
#include "tests/fuzz/fuzz_check.h"

namespace lumora {
namespace {

// The six, a name nobody reads, and the added values.
const wchar_t* const Names[] = {
    L"Speed",    L"Bright", L"Algoritm",  L"Wall",         L"Rands",         L"Path_Wall", L"Other",
    L"Monitors", L"Png",    L"Wallpaper", L"CycleMinutes", L"RandomColours", L"FadeIn"};
constexpr size_t NameCount = sizeof Names / sizeof Names[0];
static_assert(NameCount == 7 + sizeof AddedValues / sizeof AddedValues[0],
              "every added value is fuzzed");
constexpr wchar_t DefaultDirectory[] = L"C:\\Users\\ada\\Pictures";

// Reads the input front to back; past its end every byte is 0.
struct Input {
    const uint8_t* data;
    size_t size;
    uint8_t Byte() {
        if (!size) return 0;
        --size;
        return *data++;
    }
};

bool NamesAValue(const std::wstring& message) {
    for (const wchar_t* name : std::span(Names, 6)) {
        const std::wstring quoted = std::wstring(L"'") + name + L"'";
        for (const wchar_t* head :
             {L"Failed to get data for ", L"Invalid data type for ", L"Failed to set data for "})
            if (message == head + quoted) return true;
    }
    return false;
}

EngineState& Engine() {
    static auto* engine = new EngineState;  // the planes are large: made once, kept
    return *engine;
}

}  // namespace
}  // namespace lumora

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace lumora;
    Input in{data, size};
    MemorySettingsStore store{DefaultDirectory};
    const uint8_t flags = in.Byte();
    store.KeyExists = flags & 1;
    store.KeyRefused = (flags & 0x0E) == 0x0E;
    if ((flags & 0x70) == 0x70) store.RefusedValue = Names[in.Byte() % 6];
    const ScreenSize screen{800 + 40 * (in.Byte() % 64), 600 + 40 * (in.Byte() % 64)};
    const int windowWidth = 3 + in.Byte() % 5, windowHeight = 2 + in.Byte() % 5;
    // Values: a name, a type (any 32-bit code, mostly the common ones), a length, the bytes.
    while (in.size) {
        const std::wstring name = Names[in.Byte() % NameCount];
        const uint8_t kind = in.Byte();
        uint32_t type = kind % 12;
        if (kind >= 0xF0)
            type = in.Byte() | in.Byte() << 8 | in.Byte() << 16 |
                   static_cast<uint32_t>(in.Byte()) << 24;
        platform::RegistryValue value{type, std::vector<uint8_t>(in.Byte())};
        for (uint8_t& b : value.data) b = in.Byte();
        store.Values[name] = std::move(value);
    }
    // A key that does not exist holds no values; the first run's writes make it.
    if (!store.KeyExists) store.Values.clear();

    EngineState& engine = Engine();
    engine.Speed = engine.ColourScheme = engine.Pattern = 0;
    SaverSettings settings;
    std::vector<std::wstring> errors;
    const ErrorSink sink = [&errors](const std::wstring& message) { errors.push_back(message); };
    const bool existed = store.KeyExists && !store.KeyRefused;

    const LoadResult result = LoadSettingsForRun(store, FieldsOf(engine), settings, screen, sink);
    FUZZ_CHECK(store.OpenKeys == 0);
    FUZZ_CHECK(errors.size() <= 1);
    for (const std::wstring& message : errors) FUZZ_CHECK(NamesAValue(message));
    FUZZ_CHECK(result.valuesRead >= 0 && result.valuesRead <= 6);
    if (result.failed) {
        FUZZ_CHECK(errors.size() == 1 && result.valuesRead < 6 && existed);
        FUZZ_CHECK(store.Written.empty());
    } else {
        FUZZ_CHECK(result.valuesRead == (existed ? 6 : 0));
        // Written only as the first run's defaults: the six and then Monitors and the values
        // after it, in order until a
        // refused one.
        if (!store.Written.empty()) {
            FUZZ_CHECK(engine.Speed == 20 && engine.Pattern == 7 && engine.ColourScheme == 0 &&
                       settings.Rands);
            FUZZ_CHECK(!settings.Path_Wall.empty());
            std::vector<std::wstring> order(Names, Names + 6);
            for (const wchar_t* added : {L"Monitors", L"CycleMinutes", L"RandomColours", L"FadeIn"})
                order.push_back(added);
            FUZZ_CHECK(store.Written.size() <= order.size());
            FUZZ_CHECK(std::equal(store.Written.begin(), store.Written.end(), order.begin()));
            FUZZ_CHECK(store.Written.size() == order.size() || errors.size() == 1);
        }
    }
    // Only a load that read Speed, Bright and Algoritm as 0 and then failed leaves all three 0.
    FUZZ_CHECK(engine.Speed != 0 || engine.ColourScheme != 0 || engine.Pattern != 0 ||
               (result.failed && result.valuesRead >= 3));

    store.Written.clear();
    errors.clear();
    ReadImageDirectory(store, settings, sink);
    FUZZ_CHECK(store.OpenKeys == 0 && store.Written.empty() && errors.size() <= 1);
    FUZZ_CHECK(!settings.Path_Wall.empty());
    FUZZ_CHECK(settings.Path_Wall.find(L'\0') == std::wstring::npos);

    // The added values never complain and stay within their ranges.
    const size_t shown = errors.size();
    ReadStillOptions(store, settings);
    FUZZ_CHECK(store.OpenKeys == 0 && store.Written.empty() && errors.size() == shown);
    const int32_t added[] = {static_cast<int32_t>(settings.Monitors),
                             settings.Png,
                             settings.Wallpaper,
                             settings.CycleMinutes,
                             settings.RandomColours,
                             settings.FadeIn};
    static_assert(std::size(added) == std::size(AddedValues), "every added value is checked");
    for (size_t i = 0; i < std::size(added); ++i) {
        const AddedValue& rule = AddedValues[i];
        FUZZ_CHECK(added[i] >= rule.lowest && added[i] <= rule.highest);
        const auto found = store.Values.find(rule.name);
        // A key that cannot be opened reads as one without values.
        if (found == store.Values.end() || !existed) {
            FUZZ_CHECK(added[i] == rule.firstRun);
        } else if (found->second.type == platform::registry_type::Dword &&
                   found->second.data.size() == 4) {
            int32_t stored = 0;
            std::memcpy(&stored, found->second.data.data(), 4);
            if (stored >= rule.lowest && stored <= rule.highest) FUZZ_CHECK(added[i] == stored);
        }
    }

    // The full-screen saver takes the values as they are: a small grid, the field, two frames.
    engine.WindowWidth = windowWidth;
    engine.WindowHeight = windowHeight;
    SizeGridToWindow(engine, 1);
    SeedRandom(1);
    SeedAnimation(engine);
    GeneratePatternField(engine);
    uint32_t pixels[8 * 8];
    for (int frame = 0; frame < 2; ++frame) RenderFrame(engine, {pixels, 8});
    for (int row = 0; row < engine.GridHeight; ++row)
        for (int col = 0; col < engine.GridWidth; ++col)
            FUZZ_CHECK(pixels[row * 8 + col] >> 24 == 0xFF);
    return 0;
}
