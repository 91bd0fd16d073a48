#include "app/window/window_layout.h"

#include <cmath>

namespace tarnwick {
namespace {

int Whole(float twips) {
    return static_cast<int>(std::lround(twips));
}

void FollowCorner(TwipsRect& button, float dh, float dw) {
    button.top = button.top + dh;
    button.left = button.left + dw;
}

} // namespace

WindowLayout InitialLayout(float windowHeight, float windowWidth) {
    WindowLayout layout;
    layout.LastWindowHeight = Whole(windowHeight);
    layout.LastWindowWidth = Whole(windowWidth);
    layout.ListBottomMargin = Whole(windowHeight - (layout.list.top + layout.list.height));
    return layout;
}

bool ResizeLayout(WindowLayout& layout, float H, float W) {
    // Worked out on a copy: a pass that cannot complete must not leave the buttons moved while
    // the last size stays, or every later pass measures from a state that never was.
    WindowLayout next = layout;
    const float dh = H - static_cast<float>(layout.LastWindowHeight);
    const float dw = W - static_cast<float>(layout.LastWindowWidth);
    FollowCorner(next.buttonApply, dh, dw);
    FollowCorner(next.buttonCancelAll, dh, dw);

    TwipsRect& list = next.list;
    const float room = H - static_cast<float>(layout.ListBottomMargin);
    if (next.listVisible) {
        if (room <= list.top) {
            next.listVisible = false;
        } else {
            list.height += dh;
            list.width += dw;
            if (list.height < 0 || list.width < 0)
                return false;
        }
    } else if (room > list.top) {
        // The width stays as it was when the list was hidden.
        list.height = H - (list.top + static_cast<float>(layout.ListBottomMargin));
        next.listVisible = true;
    }
    next.LastWindowHeight = Whole(H);
    next.LastWindowWidth = Whole(W);
    layout = next;
    return true;
}

} // namespace tarnwick
