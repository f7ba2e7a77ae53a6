#include "settings/dialog_placement.h"

#include <algorithm>

namespace lumora {

DialogPlacement PlaceDialogUnderLiveView(const platform::ScreenRect& live, int dialogWidth,
                                         int dialogHeight, const platform::ScreenRect& work,
                                         bool moveLiveView) {
    int liveTop = live.top;
    const int overflow = liveTop + live.height() + GapBelowLiveView + dialogHeight - work.bottom;
    // Up by what overflows, but not above the work area (nor down, if it stands above it).
    if (moveLiveView && overflow > 0 && liveTop > work.top)
        liveTop = std::max(work.top, liveTop - overflow);
    int dialogLeft = live.left + (live.width() - dialogWidth) / 2;
    int dialogTop = liveTop + live.height() + GapBelowLiveView;
    // Whole within the work area; where it is larger, its left and top edges are.
    dialogLeft = std::max(work.left, std::min(dialogLeft, work.right - dialogWidth));
    dialogTop = std::max(work.top, std::min(dialogTop, work.bottom - dialogHeight));
    return {live.left, liveTop, dialogLeft, dialogTop};
}

}  // namespace lumora
