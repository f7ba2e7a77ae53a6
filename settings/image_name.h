// The file name under which the save-image dialog writes a still, from what the user typed or
// picked. Pure: no Windows header, no file system.
//
// The still's format's extension, ".bmp" or ".png", is appended unless the name already ends
// with it in any letter case, so a file picked from the list (Lumora1.bmp) is saved under its
// own name. Refused, with the reason:
//   Empty             nothing typed
//   Mask              a mask, "*.bmp" or "*.png", itself, left in the field
//   ForbiddenCharacter one of * ? " < > | , a control character, or a colon anywhere but
//                     right after a leading drive letter ("C:\x" is a path, "ab:c" is not a name)
// A name with a directory part ("C:\Pictures\x", "sub\x") is kept as it is: relative names are
// taken in the current directory by the caller.
#pragma once

#include <string>
#include <string_view>

namespace lumora {

enum class ImageNameProblem { None, Empty, Mask, ForbiddenCharacter };

enum class ImageFormat { Bmp, Png };

struct ImageFileName {
    std::wstring path;  // the name to write, the extension appended; empty when refused
    ImageNameProblem problem = ImageNameProblem::None;
};

inline constexpr wchar_t ImageFileMask[] = L"*.bmp";
inline constexpr wchar_t PngFileMask[] = L"*.png";

// The mask of a format's files ("*.bmp", "*.png") and the format a file name ends in, if any.
const wchar_t* ImageFileMaskOf(ImageFormat format);
bool HasImageExtension(std::wstring_view name, ImageFormat format);

ImageFileName ImageFilePath(std::wstring_view name, ImageFormat format = ImageFormat::Bmp);
// A sentence for the user that says why the name was refused ("" for None).
std::wstring ImageNameProblemText(ImageNameProblem problem);

}  // namespace lumora
