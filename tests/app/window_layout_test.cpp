#include "app/window/window_layout.h"
#include "tests/app/window_test_support.h"

#include <QPushButton>
#include <QTreeView>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(WindowLayout, ShrinkUntilHiddenThenGrowBack) {
    WindowLayout layout = InitialLayout(5400, 8400);
    // Room below the list's top: H - 825 must stay above 720.
    ASSERT_TRUE(ResizeLayout(layout, 1600, 8400));
    EXPECT_TRUE(layout.listVisible);
    EXPECT_EQ(layout.list.height, 55);
    ASSERT_TRUE(ResizeLayout(layout, 1545, 6000));
    EXPECT_FALSE(layout.listVisible) << "H - margin == top: no room";
    EXPECT_EQ(layout.list.width, 7935) << "a hidden list keeps its width";
    ASSERT_TRUE(ResizeLayout(layout, 3000, 9000));
    EXPECT_TRUE(layout.listVisible);
    EXPECT_EQ(layout.list.height, 3000 - (720 + 825));
    EXPECT_EQ(layout.list.width, 7935) << "width changes while hidden are not applied";
    EXPECT_EQ(layout.buttonApply.left, 5280 + 600);
}

// 560 px, then 20 px, then 560 px wide again (15 twips a pixel): every control comes back.
TEST(WindowLayout, APassThatCannotCompleteChangesNothing) {
    WindowLayout layout = InitialLayout(5400, 8400);
    ASSERT_TRUE(ResizeLayout(layout, 5400, 4000));
    const TwipsRect apply = layout.buttonApply, list = layout.list;
    ASSERT_FALSE(ResizeLayout(layout, 5400, 300)) << "the list would get a negative width";
    EXPECT_EQ(layout.buttonApply, apply);
    EXPECT_EQ(layout.list, list);
    EXPECT_EQ(layout.LastWindowWidth, 4000);
    ASSERT_TRUE(ResizeLayout(layout, 5400, 8400));
    EXPECT_EQ(layout.buttonApply, design::ButtonApply);
    EXPECT_EQ(layout.buttonCancelAll, design::ButtonCancelAll);
    EXPECT_EQ(layout.list, design::ListViewUnitsOnline);
}

TEST(WindowLayout, WideWindowsDoNotOverflow) {
    WindowLayout layout = InitialLayout(5400, 8400);
    ASSERT_TRUE(ResizeLayout(layout, 30000, 57600)); // a 4K screen at 96 DPI
    EXPECT_EQ(layout.LastWindowWidth, 57600);
    EXPECT_EQ(layout.list.width, 7935 + 49200);
}

TEST(WindowLayout, TheWindowFollowsTheRule) {
    test::WindowUnderTest w;
    w->show();
    QWidget* form = w.Find<QWidget>("Form");
    QPushButton* apply = w.Button("buttonApply");
    const QRect before = apply->geometry();
    const QRect list = w.List()->geometry();
    // 96 DPI offscreen: 15 twips a pixel.
    form->resize(form->width() + 20, form->height() + 40);
    EXPECT_EQ(apply->geometry(), before.translated(20, 40));
    EXPECT_EQ(w.List()->geometry().size(), list.size() + QSize(20, 40));
    form->resize(form->width(), 50);
    EXPECT_FALSE(w.List()->isVisible());
}

} // namespace
} // namespace tarnwick
