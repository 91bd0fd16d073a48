#include "app/window_layout.h"

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
    const float dh = H - static_cast<float>(layout.LastWindowHeight);
    const float dw = W - static_cast<float>(layout.LastWindowWidth);
    FollowCorner(layout.buttonApply, dh, dw);
    FollowCorner(layout.buttonCancelAll, dh, dw);

    TwipsRect& list = layout.list;
    const float room = H - static_cast<float>(layout.ListBottomMargin);
    if (layout.listVisible) {
        if (room <= list.top) {
            layout.listVisible = false;
        } else {
            const float height = list.height + dh;
            const float width = list.width + dw;
            if (height < 0)
                return false;
            list.height = height;
            if (width < 0)
                return false;
            list.width = width;
        }
    } else if (room > list.top) {
        // The width stays as it was when the list was hidden.
        list.height = H - (list.top + static_cast<float>(layout.ListBottomMargin));
        layout.listVisible = true;
    }
    layout.LastWindowHeight = Whole(H);
    layout.LastWindowWidth = Whole(W);
    return true;
}

} // namespace tarnwick
