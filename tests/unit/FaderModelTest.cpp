#include "skin/FaderModel.h"

#include <gtest/gtest.h>

namespace zevaver {

namespace {

// A skin's fader: a 20-pixel track, 14-pixel thumbs, 3-pixel caps.
FaderImages Images() {
    FaderImages images;
    images.trackV = {20, 10};
    images.trackH = {10, 20};
    images.thumbV = {16, 14};
    images.thumbVActive = {16, 14};
    images.thumbH = {14, 16};
    images.thumbHActive = {14, 16};
    images.capTop = {20, 3};
    images.capBottom = {20, 3};
    images.capLeft = {3, 20};
    images.capRight = {3, 20};
    return images;
}

// B = 4, T = 18 and a window 137 high give a vertical track of 110 pixels, travel 96.
FaderModel VerticalFader(int height = 137) {
    FaderModel fader;
    fader.UpdateBounds(Images(), 4, 18, 716, height);
    return fader;
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    for (auto [value, expected] : {std::pair{63.5, 64},
                                   {62.5, 62},
                                   {0.5, 0},
                                   {1.5, 2},
                                   {126.49, 126},
                                   {126.51, 127},
                                   {-0.5, 0},
                                   {-1.5, -2}})
        EXPECT_EQ(RoundHalfEven(value), expected) << value;
}

TEST(FaderModel, AVerticalFaderLiesRightOfTheKeyboardUnderTheTitle) {
    const FaderModel fader = VerticalFader();
    EXPECT_EQ(fader.Bounds().left, 716 - 20 - 4);
    EXPECT_EQ(fader.Bounds().top, 23);
    EXPECT_EQ(fader.Bounds().right, 712);
    EXPECT_EQ(fader.Bounds().bottom, 133);
    EXPECT_EQ(fader.TrackLength(), 110);
    EXPECT_EQ(fader.ThumbLength(), 14);
    EXPECT_EQ(fader.Travel(), 96);
    EXPECT_EQ(fader.ThumbCross(), 2);
    EXPECT_EQ(fader.TileRect().top, 26);
    EXPECT_EQ(fader.TileRect().bottom, 130);
}

TEST(FaderModel, ThumbPlaceAndValueFollowTheTravel) {
    FaderModel fader = VerticalFader();
    fader.SetThumbPos(48);
    EXPECT_EQ(fader.FaderValue(), 64); // 63.5 to the even neighbour: notes play with 63
    fader.SetFaderValue(127);
    EXPECT_EQ(fader.ThumbPos(), 96);
    fader.SetFaderValue(0);
    EXPECT_EQ(fader.ThumbPos(), 0);
    fader.SetFaderValue(64);
    EXPECT_EQ(fader.ThumbPos(), 48); // 48.38
}

TEST(FaderModel, WithoutTravelTheThumbStaysAtTheStartAndADragThereGivesZero) {
    struct Case {
        const char* what;
        int thumbLength;
        int height;
    };
    const Case cases[] = {
        {"thumb as long as the track", 110, 137},
        {"thumb longer than the track", 130, 137},
        {"no track", 14, 23 + 4},
    };
    for (const Case& c : cases) {
        FaderImages images = Images();
        images.thumbV.height = c.thumbLength;
        FaderModel fader;
        fader.UpdateBounds(images, 4, 18, 716, c.height);
        fader.SetFaderValue(100);
        EXPECT_EQ(fader.ThumbPos(), 0) << c.what;
        fader.SetThumbPos(40);
        EXPECT_EQ(fader.ClampThumb(), 0) << c.what;
        EXPECT_EQ(fader.ThumbPos(), 0) << c.what;
    }
}

TEST(FaderModel, ADragMovesTheThumbByThePointersTravelAndStopsAtTheEnds) {
    struct Case {
        const char* what;
        int startValue;
        int pressY;
        int moveBy;
        int thumbPos;
        int value;
    };
    // The thumb of value 32 sits at 24; the fader's top is at 23.
    const Case cases[] = {
        {"on the thumb, 10 down", 32, 23 + 30, 10, 34, 45},
        {"on the track far below the thumb, 10 down", 32, 23 + 100, 10, 34, 45},
        {"on the bottom cap, 10 up", 32, 131, -10, 14, 19},
        {"500 down: the bottom end, velocity 0", 32, 23 + 30, 500, 96, 127},
        {"500 up: the top end, velocity 127", 32, 23 + 30, -500, 0, 0},
    };
    for (const Case& c : cases) {
        FaderModel fader = VerticalFader();
        fader.SetFaderValue(c.startValue);
        ASSERT_EQ(fader.ThumbPos(), 24);
        fader.MouseDown(700, c.pressY);
        EXPECT_TRUE(fader.Dragging());
        EXPECT_EQ(fader.ThumbPos(), 24) << c.what << ": the press alone moves nothing";
        EXPECT_EQ(fader.MouseMove(650, c.pressY + c.moveBy), c.value) << c.what;
        EXPECT_EQ(fader.ThumbPos(), c.thumbPos) << c.what;
        fader.MouseUp();
        EXPECT_FALSE(fader.Dragging());
    }
}

TEST(FaderModel, AHorizontalFaderMovesWithThePointersX) {
    FaderModel fader;
    fader.IsVertical = false;
    fader.UpdateBounds(Images(), 4, 18, 140, 716);
    EXPECT_EQ(fader.Bounds().left, 5);
    EXPECT_EQ(fader.Bounds().top, 22);
    EXPECT_EQ(fader.Bounds().right, 136);
    EXPECT_EQ(fader.Bounds().bottom, 42);
    EXPECT_EQ(fader.Travel(), 131 - 14);
    fader.MouseDown(60, 30);
    fader.MouseMove(80, 200); // only x counts
    EXPECT_EQ(fader.ThumbPos(), 20);
}

TEST(FaderModel, TheValueSurvivesResizingAndTurning) {
    FaderModel fader = VerticalFader();
    fader.SetThumbPos(48); // value 64
    // Travel 96 doubles to 192: the thumb moves to twice its offset.
    fader.UpdateBounds(Images(), 4, 18, 716, 137 + 96);
    EXPECT_EQ(fader.Travel(), 192);
    EXPECT_EQ(fader.ThumbPos(), 97); // 96.76: twice 48, rounded
    EXPECT_EQ(fader.FaderValue(), 64);

    // Turned under the title: the same relative place, the left end loudest.
    fader.IsVertical = false;
    fader.UpdateBounds(Images(), 4, 18, 247, 716);
    EXPECT_EQ(fader.Travel(), 224);
    EXPECT_EQ(fader.ThumbPos(), 113); // 112.88
    EXPECT_EQ(fader.FaderValue(), 64);
}

// A minimised window lays the fader out with no travel at all; shrinking and growing
// rounds the thumb's place at every step; a drag may come back to where it began. None of
// them moves the value.
TEST(FaderModel, TheValueSurvivesAMinimisedLayoutResizesAndATouch) {
    for (int value : {90, 1, 126, 37}) {
        FaderModel fader = VerticalFader();
        fader.SetFaderValue(value);
        const int16_t place = fader.ThumbPos();
        for (int height : {24, 60, 45, 300, 41, 137}) // 24: a minimised window
            fader.UpdateBounds(Images(), 4, 18, 716, height);
        EXPECT_EQ(fader.FaderValue(), value);
        EXPECT_EQ(fader.ThumbPos(), place);
        fader.MouseDown(700, 30);
        fader.MouseMove(700, 70);
        EXPECT_EQ(fader.MouseMove(700, 30), value);
    }
}

TEST(FaderModel, PaintPutsCapsAtTheEndsAndTheThumbAtItsOffset) {
    FaderModel fader = VerticalFader();
    fader.SetThumbPos(48);
    FaderLayout layout = fader.Layout(Images());
    EXPECT_EQ(layout.firstCap, (FaderPoint{692, 23}));
    EXPECT_EQ(layout.secondCap, (FaderPoint{692, 130}));
    EXPECT_EQ(layout.thumb, (FaderPoint{694, 23 + 48}));

    fader.IsVertical = false;
    fader.UpdateBounds(Images(), 4, 18, 140, 716);
    layout = fader.Layout(Images());
    EXPECT_EQ(layout.firstCap, (FaderPoint{5, 22}));
    EXPECT_EQ(layout.secondCap, (FaderPoint{133, 22}));
    EXPECT_EQ(layout.tile.left, 8);
    EXPECT_EQ(layout.tile.right, 133);
    EXPECT_EQ(layout.thumb, (FaderPoint{5 + fader.ThumbPos(), 22 + 2}));
}

} // namespace

} // namespace zevaver
