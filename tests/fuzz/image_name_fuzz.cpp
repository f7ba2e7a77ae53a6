// The save-image dialog's file-name rule over any text: a refused name gives a reason and no
// path; an accepted one gives the name itself with ".bmp" added unless it already ends so (in
// any case), holds no character a file name cannot hold, and is accepted again unchanged.
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/image_name.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

bool EndsWithBmp(const std::wstring& text) {
    if (text.size() < 4) return false;
    std::wstring tail = text.substr(text.size() - 4);
    for (wchar_t& c : tail)
        if (c >= L'A' && c <= L'Z') c = c - L'A' + L'a';
    return tail == L".bmp";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace lumora;
    std::wstring name;  // the typed text as UTF-16LE units
    for (size_t i = 0; i + 1 < size; i += 2)
        name.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));

    const ImageFileName result = ImageFilePath(name);
    FUZZ_CHECK(ImageNameProblemText(result.problem).empty() ==
               (result.problem == ImageNameProblem::None));
    if (result.problem != ImageNameProblem::None) {
        FUZZ_CHECK(result.path.empty());
        if (name.empty()) FUZZ_CHECK(result.problem == ImageNameProblem::Empty);
        if (name == ImageFileMask) FUZZ_CHECK(result.problem == ImageNameProblem::Mask);
        return 0;
    }
    FUZZ_CHECK(!name.empty() && name != ImageFileMask);
    FUZZ_CHECK(EndsWithBmp(result.path));
    FUZZ_CHECK(result.path == (EndsWithBmp(name) ? name : name + L".bmp"));
    for (size_t i = 0; i < result.path.size(); ++i) {
        const wchar_t c = result.path[i];
        FUZZ_CHECK(c >= 32 && std::wstring(L"*?\"<>|").find(c) == std::wstring::npos);
        FUZZ_CHECK(c != L':' || i == 1);
    }
    const ImageFileName again = ImageFilePath(result.path);
    FUZZ_CHECK(again.problem == ImageNameProblem::None && again.path == result.path);
    return 0;
}
