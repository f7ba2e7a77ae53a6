// The imaging library's encoder for a MIME type.
//
// FindImageEncoder lists the installed encoders and compares each one's MIME type, as a narrow
// string, with mimeType exactly (letter case counts). The loop does not stop at a match: with
// several matches the last one wins. Gives that encoder's index and writes its class id, or
// gives -1 and leaves classId as it was when none matches or the library lists no encoders.
#pragma once

#include <windows.h>

namespace lumora {

int FindImageEncoder(const char* mimeType, CLSID& classId);

}  // namespace lumora
