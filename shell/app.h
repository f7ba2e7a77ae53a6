// Process-wide facts of the saver shell.
#pragma once

namespace lumora {

// The application title: the saver window's caption and every message box's caption.
inline constexpr wchar_t ApplicationTitle[] = L"Lumora Screensaver";

}  // namespace lumora
