// The keys' names on Linux: read from the display's keyboard map by where the keys sit, in
// the group in use, and drawn with Pango into a back buffer of the window's kind.
#include "keyboard/linux/PangoLabelPainter.h"
#include "keyboard/linux/XkbKeyNames.h"

#include <X11/XKBlib.h>
#include <gdk/gdkx.h>
#undef None
#undef Status
#undef Bool
#include <cairo.h>
#include <gtk/gtk.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

namespace zevaver {

namespace {

bool Gtk() {
    static const bool ready = gtk_init_check(nullptr, nullptr) != FALSE;
    return ready;
}

// Sets the display's keyboard map (and gives the old one back at the end of the test).
class KeyboardMap {
public:
    KeyboardMap() = default;
    ~KeyboardMap() { (void)Set("us"); }
    KeyboardMap(const KeyboardMap&) = delete;
    KeyboardMap& operator=(const KeyboardMap&) = delete;
    [[nodiscard]] static bool Set(const std::string& layouts) {
        return std::system(("setxkbmap -layout " + layouts + " >/dev/null 2>&1").c_str()) == 0;
    }
};

// Lets GTK read what the X server says until `done` holds or a while has passed.
template <typename Done> bool AwaitGtk(Done done, int ms = 3000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done() && std::chrono::steady_clock::now() < end)
        g_main_context_iteration(nullptr, FALSE);
    return done();
}

void Count(void* data) {
    ++*static_cast<int*>(data);
}

TEST(XkbKeyNames, NameEachPlaceAsTheKeyboardMapInUsePrintsIt) {
    if (!Gtk()) GTEST_SKIP() << "no display";
    KeyboardMap map;
    ASSERT_TRUE(KeyboardMap::Set("us"));
    XkbKeyNames names;
    int changes = 0;
    names.Watch(&Count, &changes);
    // Entries are the US English codes of places.
    EXPECT_EQ(names.Caption('Q'), "Q");
    EXPECT_EQ(names.Caption(0xBA), ";");
    EXPECT_EQ(names.Caption(0x60), "Num 0") << "the digit, not the key's Num Lock-off meaning";
    EXPECT_EQ(names.Caption(0xA0), "Shift");
    EXPECT_EQ(names.Caption(0xA3), "R Ctrl");
    EXPECT_EQ(names.Caption(0x0D), "Enter");
    EXPECT_EQ(names.Caption(0x21), "PgUp");
    EXPECT_EQ(names.Caption(0x20), "\xE2\x90\xA3");
    EXPECT_EQ(names.Caption(1), "L Shift");

    ASSERT_TRUE(KeyboardMap::Set("de"));
    ASSERT_TRUE(AwaitGtk([&] { return names.Caption('Z') == "Y"; })) << "the new map";
    EXPECT_GT(changes, 0) << "the window heard of the change";
    EXPECT_EQ(names.Caption('Y'), "Z");
    EXPECT_EQ(names.Caption(0xBA), "\xC3\x96") << "Ö where the US keyboard has ;";
    EXPECT_EQ(names.Caption(0xC0), "^") << "a dead key shows its accent";
    EXPECT_EQ(names.Caption(0x6E), "Num ,");
    EXPECT_EQ(names.Caption(0xE2), "<") << "the extra key of ISO keyboards";
}

TEST(XkbKeyNames, FollowTheGroupTheUserSwitchesTo) {
    if (!Gtk()) GTEST_SKIP() << "no display";
    KeyboardMap map;
    ASSERT_TRUE(KeyboardMap::Set("us,de"));
    Display* display = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
    XkbLockGroup(display, XkbUseCoreKbd, 0);
    XSync(display, False);
    XkbKeyNames names;
    int changes = 0;
    names.Watch(&Count, &changes);
    ASSERT_TRUE(AwaitGtk([&] { return names.Caption('Z') == "Z"; })) << "the first group's";
    changes = 0;
    XkbLockGroup(display, XkbUseCoreKbd, 1);
    XSync(display, False);
    ASSERT_TRUE(AwaitGtk([&] { return changes > 0; })) << "a switch of the group is a change";
    EXPECT_EQ(names.Group(), 1);
    EXPECT_EQ(names.Caption('Z'), "Y");
    XkbLockGroup(display, XkbUseCoreKbd, 0);
    XSync(display, False);
}

// A back buffer of the window's kind, white.
struct WhiteBuffer {
    WhiteBuffer() {
        cairo_t* cr = cairo_create(surface);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(surface);
    }
    ~WhiteBuffer() { cairo_surface_destroy(surface); }
    WhiteBuffer(const WhiteBuffer&) = delete;
    WhiteBuffer& operator=(const WhiteBuffer&) = delete;
    [[nodiscard]] uint32_t Pixel(int x, int y) const {
        const auto* row = cairo_image_surface_get_data(surface) +
                          static_cast<ptrdiff_t>(y) * cairo_image_surface_get_stride(surface);
        return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
    }
    // Pixels of the rectangle that are not white.
    [[nodiscard]] int Marked(int left, int top, int right, int bottom) const {
        int marked = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) marked += Pixel(x, y) != 0xFFFFFF;
        return marked;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 120, 40);
};

TEST(PangoLabelPainter, MeasuresByLetterHeightAndDrawsOnlyInsideTheClipWithoutABackground) {
    if (!Gtk()) GTEST_SKIP() << "no display";
    WhiteBuffer buffer;
    PangoLabelPainter painter(buffer.surface);
    const TextSize small = painter.Measure("Shift", 10), large = painter.Measure("Shift", 20);
    EXPECT_GT(small.width, 10);
    EXPECT_GT(large.width, small.width * 3 / 2);
    EXPECT_GE(small.height, 10) << "the line holds letters of that height";
    EXPECT_GT(painter.Measure("WWW", 14).width, painter.Measure("W", 14).width * 2);

    // Black text, clipped to the left half.
    painter.Draw("WWWWWWWW", 2, 4, 16, 0x000000, {0, 0, 60, 40});
    painter.EndDrawing();
    EXPECT_GT(buffer.Marked(0, 0, 60, 40), 40) << "the text is there";
    EXPECT_EQ(buffer.Marked(60, 0, 120, 40), 0) << "nothing outside the clip";
    EXPECT_EQ(buffer.Pixel(1, 1), 0xFFFFFFu) << "no background around the letters";
    // Greys only: no coloured fringes.
    for (int x = 0; x < 60; ++x) {
        const uint32_t pixel = buffer.Pixel(x, 14);
        EXPECT_EQ(pixel & 0xFF, (pixel >> 8) & 0xFF) << x;
        EXPECT_EQ(pixel & 0xFF, (pixel >> 16) & 0xFF) << x;
    }
}

TEST(PangoLabelPainter, DrawsNothingWithoutABackBuffer) {
    if (!Gtk()) GTEST_SKIP() << "no display";
    cairo_surface_t* none = nullptr;
    PangoLabelPainter painter(none);
    painter.Draw("A", 0, 0, 12, 0, {0, 0, 10, 10});
    EXPECT_GT(painter.Measure("A", 12).width, 0) << "measuring needs no buffer";
}

} // namespace

} // namespace zevaver
