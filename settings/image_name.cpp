#include "settings/image_name.h"

namespace lumora {
namespace {

constexpr std::wstring_view Extension = L".bmp";
constexpr std::wstring_view ForbiddenCharacters = L"*?\"<>|";

wchar_t LowerAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; }

bool EndsWithExtension(std::wstring_view name) {
    if (name.size() < Extension.size()) return false;
    const std::wstring_view tail = name.substr(name.size() - Extension.size());
    for (size_t i = 0; i < Extension.size(); ++i)
        if (LowerAscii(tail[i]) != Extension[i]) return false;
    return true;
}

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool HasForbiddenCharacter(std::wstring_view name) {
    for (size_t i = 0; i < name.size(); ++i) {
        const wchar_t c = name[i];
        if (c < 32 || ForbiddenCharacters.find(c) != std::wstring_view::npos) return true;
        if (c == L':' && !(i == 1 && IsDriveLetter(name[0]))) return true;
    }
    return false;
}

}  // namespace

ImageFileName ImageFilePath(std::wstring_view name) {
    if (name.empty()) return {L"", ImageNameProblem::Empty};
    if (name == ImageFileMask) return {L"", ImageNameProblem::Mask};
    if (HasForbiddenCharacter(name)) return {L"", ImageNameProblem::ForbiddenCharacter};
    std::wstring path(name);
    if (!EndsWithExtension(name)) path += Extension;
    return {path, ImageNameProblem::None};
}

std::wstring ImageNameProblemText(ImageNameProblem problem) {
    switch (problem) {
        case ImageNameProblem::None: return L"";
        case ImageNameProblem::Empty: return L"Type a name for the image.";
        case ImageNameProblem::Mask: return L"Type a name for the image, or pick a file in the list.";
        case ImageNameProblem::ForbiddenCharacter:
            return L"A file name cannot hold any of the characters * ? \" < > | or a colon.";
    }
    return L"";
}

}  // namespace lumora
