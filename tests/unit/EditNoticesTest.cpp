// What the window says while keys are mapped, and where it says it.
#include "mainwindow/EditNotices.h"

#include "engine/VirtualKeys.h"

#include "keyboard/KeyMarks.h"

#include "KeysTestSupport.h"

#include <gtest/gtest.h>

namespace zevaver {

namespace {

TEST(EditNotices, NameNotesAsTheProgramDoesAndSayWhatAKeyLost) {
    EXPECT_EQ(NoteName(48), "C4");
    EXPECT_EQ(NoteName(61), "C#5");
    EXPECT_EQ(NoteName(0), "C0");
    EXPECT_EQ(NoteName(127), "G10");
    EXPECT_EQ(MappedNotice("Ö", 60, 58, ""), "Ö plays C5 now, no longer A#4.");
    EXPECT_EQ(MappedNotice("F2", 60, -1, CommandKeyDuty(vk::F2)),
              "F2 plays C5 now; in this window it no longer chooses base octave C2.");
    EXPECT_EQ(CommandKeyDuty('Q'), "");
}

// Text 6 pixels a character, a line size + 3 high.
class Painter final : public TextPainter {
public:
    TextSize Measure(const std::string& text, int size) override {
        return {static_cast<int>(text.size()) * 6, size + 3};
    }
    void Draw(const std::string&, int, int, int, fw::ColorRef, const fw::PixelRect&) override {}
};

TEST(EditNotices, StandAcrossTheFarEndOfTheKeysWrappedWhereTheyAreNarrow) {
    const TSkinConfig skin;
    keystest::RecordingHost host(130, 100);
    TKeys keys(host, skin);
    keys.SetBounds(0, 0, 130, 100);
    Painter painter;
    KeyMarks marks;
    marks.SetPainter(&painter);
    marks.SetNotice("Press the computer key for F5.");
    KeyMarks::NoticeLayout layout = marks.LayOutNotice(keys);
    ASSERT_EQ(layout.lines.size(), 2u) << "30 characters, 180 pixels, in 122";
    EXPECT_EQ(layout.lines[0].text, "Press the computer");
    EXPECT_EQ(layout.lines[1].text, "key for F5.");
    EXPECT_EQ(layout.lines[0].left, 4);
    EXPECT_EQ(layout.lines[1].top, layout.lines[0].top + 15);
    EXPECT_EQ(layout.band, (fw::PixelRect{0, 0, 130, 4 + 15 + 15 + 4}));
    marks.SetNotice("");
    EXPECT_TRUE(marks.LayOutNotice(keys).lines.empty());
}

} // namespace

} // namespace zevaver
