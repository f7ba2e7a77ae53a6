// Where the settings dialog goes under its live view, in screen pixels.
//
// The design puts the dialog centred under the live view (its left at the live view's left plus
// half the difference of their widths, truncated toward zero) and 2 pixels below it. Where the
// live view and the dialog below it lie wholly within the work area (the screen without the
// taskbar), that is all. Where they do not, the pair moves up together, the live view's top no
// higher than the work area's top, until the dialog's bottom meets the work area's bottom; where
// even that is not enough, the dialog overlaps the live view's lower part. The dialog always
// stays whole within the work area (on the left and top edges when it is larger). The live view
// keeps its size.
//
// With moveLiveView false the live view stays where it is (the user is dragging it) and only the
// dialog follows, kept within the work area.
#pragma once

#include "platform/screen_rect.h"

namespace lumora {

struct DialogPlacement {
    int liveLeft, liveTop;      // the live view's outer top-left
    int dialogLeft, dialogTop;  // the dialog's outer top-left
};

inline constexpr int GapBelowLiveView = 2;  // pixels between the live view and the dialog

// live: the live view's outer rectangle; dialogWidth x dialogHeight: the dialog's outer size;
// work: the work area of the live view's monitor.
DialogPlacement PlaceDialogUnderLiveView(const platform::ScreenRect& live, int dialogWidth,
                                         int dialogHeight, const platform::ScreenRect& work,
                                         bool moveLiveView);

}  // namespace lumora
