#include "settings/image_name.h"

namespace lumora {
namespace {

constexpr std::wstring_view ForbiddenCharacters = L"*?\"<>|";

wchar_t LowerAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; }

std::wstring_view ExtensionOf(ImageFormat format) {
    return format == ImageFormat::Png ? L".png" : L".bmp";
}

}  // namespace

const wchar_t* ImageFileMaskOf(ImageFormat format) {
    return format == ImageFormat::Png ? PngFileMask : ImageFileMask;
}

bool HasImageExtension(std::wstring_view name, ImageFormat format) {
    const std::wstring_view extension = ExtensionOf(format);
    if (name.size() < extension.size()) return false;
    const std::wstring_view tail = name.substr(name.size() - extension.size());
    for (size_t i = 0; i < extension.size(); ++i)
        if (LowerAscii(tail[i]) != extension[i]) return false;
    return true;
}

namespace {

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

ImageFileName ImageFilePath(std::wstring_view name, ImageFormat format) {
    if (name.empty()) return {L"", ImageNameProblem::Empty};
    if (name == ImageFileMask || name == PngFileMask) return {L"", ImageNameProblem::Mask};
    if (HasForbiddenCharacter(name)) return {L"", ImageNameProblem::ForbiddenCharacter};
    std::wstring path(name);
    if (!HasImageExtension(name, format)) path += ExtensionOf(format);
    return {path, ImageNameProblem::None};
}

std::wstring ImageNameProblemText(ImageNameProblem problem) {
    switch (problem) {
        case ImageNameProblem::None: return L"";
        case ImageNameProblem::Empty: return L"Type a name for the image.";
        case ImageNameProblem::Mask:
            return L"Type a name for the image, or pick a file in the list.";
        case ImageNameProblem::ForbiddenCharacter:
            return L"A file name cannot hold any of the characters * ? \" < > | or a colon.";
    }
    return L"";
}

}  // namespace lumora
