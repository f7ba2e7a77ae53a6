// Writing an image file without putting a user's file at risk: the one way every still reaches
// the disk, from the save-image dialog and from lumora-render.
//
// The image is written into a new temporary file beside the target, and only when that is
// complete moved to the target: an existing file is replaced only when replace is true, and a
// file that appeared meanwhile is never replaced otherwise. A failed save leaves no temporary
// file and the target as it was.
//
// Windows: SaveImageFile encodes the still's pixels with a GDI+ encoder (a bitmap made over them
// for the save) and writes them through "<path>.part<process id>"; a failure carries a plain
// reason for the user ("Access denied.", "There is not enough space on the disk."), the kind
// FileExists when the target was there and not to be replaced. SystemMessage gives the system's
// text of an error code. Elsewhere (the native still renderer): WriteFileAtomically writes the
// bytes through a mkstemp file; a failure carries the reason from errno, FileExists likewise.
#pragma once

#include <string>

#include "platform/outcome.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/frame.h"
#else
#include <cstdint>
#include <optional>
#include <vector>
#endif

namespace lumora::platform {

#ifdef _WIN32
Outcome SaveImageFile(const FrameView& still, const std::wstring& path, const CLSID& encoder,
                      bool replace);
std::wstring SystemMessage(DWORD error);
#else
NarrowOutcome WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                                  bool replace);
#endif

}  // namespace lumora::platform
