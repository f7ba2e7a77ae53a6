// The product's name and icon as its windows and message boxes show them.
#pragma once

namespace lumora {

// The application title: the saver window's caption and every message box's caption.
inline constexpr wchar_t ApplicationTitle[] = L"Lumora Screensaver";
// The program's icon in its resources (res/lumora.rc), on the saver windows and the dialogs.
inline constexpr int ProgramIconId = 1;

}  // namespace lumora
