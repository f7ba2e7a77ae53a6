// The product's name as its windows and message boxes show it.
#pragma once

namespace lumora {

// The application title: the saver window's caption and every message box's caption.
inline constexpr wchar_t ApplicationTitle[] = L"Lumora Screensaver";

}  // namespace lumora
