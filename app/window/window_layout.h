// The resize rule: the buttons follow the bottom-right corner, the list stretches, and the list
// hides when no room is left below its top. All in twips, single precision.
#pragma once

namespace tarnwick {

inline constexpr float TwipsPerInch = 1440.0f;

struct TwipsRect {
    float left = 0, top = 0, width = 0, height = 0;
    bool operator==(const TwipsRect&) const = default;
};

// Design values of the form, client area 8400 x 5400.
namespace design {
inline constexpr float FormWidth = 8400, FormHeight = 5400;
inline constexpr TwipsRect Toolbar{0, 0, 8400, 600};
inline constexpr TwipsRect CheckBoxIdntificationMode{4560, 120, 1695, 195};
inline constexpr TwipsRect ListViewUnitsOnline{240, 720, 7935, 3855};
inline constexpr TwipsRect ButtonApply{5280, 4680, 1350, 350};
inline constexpr TwipsRect ButtonCancelAll{6840, 4680, 1350, 350};
inline constexpr TwipsRect StatusBar{0, 5100, 8400, 300};
} // namespace design

struct WindowLayout {
    TwipsRect buttonApply = design::ButtonApply;
    TwipsRect buttonCancelAll = design::ButtonCancelAll;
    TwipsRect list = design::ListViewUnitsOnline;
    bool listVisible = true;
    // Whole twips; 32-bit, since a wide window passes 32767 twips.
    int LastWindowHeight = 0;
    int LastWindowWidth = 0;
    int ListBottomMargin = 0;
};

// The reference values taken at start from the window's size and the design positions.
WindowLayout InitialLayout(float windowHeight, float windowWidth);

// One resize pass to the window's new size. A pass that would give the list a negative size
// changes nothing, so the next one measures from the last complete pass. False then.
bool ResizeLayout(WindowLayout& layout, float windowHeight, float windowWidth);

} // namespace tarnwick
