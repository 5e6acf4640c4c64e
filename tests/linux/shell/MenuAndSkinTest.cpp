// The GTK pieces of the Linux shell: the popup menu as a picture of the menu model, and the
// skin's pictures read from the shipped files.
#include "framework/linux/GtkPopupMenu.h"
#include "mainwindow/MainMenu.h"
#include "skin/linux/LinuxSkinFiles.h"

#include <gtk/gtk.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace zevaver {

namespace {

bool Gtk() {
    static const bool ready = gtk_init_check(nullptr, nullptr) != FALSE;
    return ready;
}

std::vector<GtkWidget*> Children(GtkWidget* menu) {
    std::vector<GtkWidget*> children;
    GList* list = gtk_container_get_children(GTK_CONTAINER(menu));
    for (GList* at = list; at; at = at->next) children.push_back(GTK_WIDGET(at->data));
    g_list_free(list);
    return children;
}

std::string Label(GtkWidget* item) {
    const char* label = gtk_menu_item_get_label(GTK_MENU_ITEM(item));
    return label ? label : "";
}

TEST(GtkPopupMenu, CaptionsTurnTheirAmpersandMarksIntoMnemonics) {
    EXPECT_EQ(fw::MnemonicCaption("&Enabled"), "_Enabled");
    EXPECT_EQ(fw::MnemonicCaption("Save layout &as..."), "Save layout _as...");
    EXPECT_EQ(fw::MnemonicCaption("Rock && Roll_1"), "Rock & Roll__1");
    EXPECT_EQ(fw::MnemonicCaption("end&"), "end_");
}

TEST(GtkPopupMenu, ShowsTheModelsItemsAndAChoiceClicksTheModelOnceTheMenuHasGone) {
    if (!Gtk()) GTEST_SKIP() << "no display";
    fw::MenuItem root;
    int clicks = 0;
    root.Add("&One").SetAutoCheck(true).OnClick([&](fw::MenuItem&) { ++clicks; });
    root.AddSeparator();
    root.Add("Hidden").SetVisible(false);
    root.Add("Greyed").SetEnabled(false);
    fw::MenuItem& sub = root.Add("&Sub");
    for (int i = 0; i < 6; ++i)
        sub.Add("Radio " + std::to_string(i))
            .SetRadioItem(true)
            .SetChecked(i == 4)
            .SetBreak(i == 3);

    GtkWidget* menu = g_object_ref_sink(fw::GtkPopupMenu::Build(root));
    const std::vector<GtkWidget*> items = Children(menu);
    ASSERT_EQ(items.size(), 4u) << "the hidden item is left out";
    EXPECT_EQ(Label(items[0]), "_One");
    EXPECT_TRUE(GTK_IS_CHECK_MENU_ITEM(items[0]));
    EXPECT_TRUE(GTK_IS_SEPARATOR_MENU_ITEM(items[1]));
    EXPECT_FALSE(gtk_widget_get_sensitive(items[2]));
    GtkWidget* submenu = gtk_menu_item_get_submenu(GTK_MENU_ITEM(items[3]));
    ASSERT_NE(submenu, nullptr);
    const std::vector<GtkWidget*> radios = Children(submenu);
    ASSERT_EQ(radios.size(), 6u);
    EXPECT_TRUE(gtk_check_menu_item_get_draw_as_radio(GTK_CHECK_MENU_ITEM(radios[4])));
    EXPECT_TRUE(gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(radios[4])));
    EXPECT_FALSE(gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(radios[0])));
    guint column = 9;
    gtk_container_child_get(GTK_CONTAINER(submenu), radios[3], "left-attach", &column, nullptr);
    EXPECT_EQ(column, 1u) << "a break starts the second column";

    gtk_menu_item_activate(GTK_MENU_ITEM(items[0]));
    EXPECT_EQ(clicks, 0) << "not while the menu is there";
    while (gtk_events_pending()) gtk_main_iteration();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(root[0].Checked()) << "the model's own click flipped its check mark";
    // A menu built before the tree changed shape clicks nothing.
    root.Add("New");
    gtk_menu_item_activate(GTK_MENU_ITEM(items[0]));
    while (gtk_events_pending()) gtk_main_iteration();
    EXPECT_EQ(clicks, 1);
    g_object_unref(menu);
}

// The files' half alone; the window's half does nothing here.
class SkinFilesOnly final : public LinuxSkinFiles {
public:
    using LinuxSkinFiles::LinuxSkinFiles;
    fw::PixelSurface* BackBuffer() override { return nullptr; }
    void FlushRect(const fw::PixelRect&) override {}
    void CopyScreenToBackBuffer() override {}
    fw::PixelRect WindowBounds() override { return {}; }
    bool IsMainWindowActive() override { return false; }
    bool WindowShown() override { return false; }
    void PopupMenuAt(int, int) override {}
    void CloseMainWindow() override {}
    void MinimizeApplication() override {}
    void ApplyWindowLook(const TSkinConfig&, bool) override {}
};

TEST(LinuxSkinFiles, ReadTheShippedPicturesPixelForPixelAndListTheSkinsOfEveryFolder) {
    const std::string data = std::getenv("MK_DATA_DIR") ? std::getenv("MK_DATA_DIR") : "data";
    SkinFilesOnly files({"/nonexistent", data});
    EXPECT_TRUE(files.FolderExists("Skins\\Zevizi\\"));
    EXPECT_TRUE(files.FileExists("Skins\\Zevizi\\config.txt"));
    const std::optional<std::vector<std::string>> folders = files.SkinFolders();
    ASSERT_TRUE(folders.has_value());
    EXPECT_EQ(folders->size(), 4u);

    auto bitmap = files.NewSkinBitmap();
    ASSERT_TRUE(files.LoadBitmap(*bitmap, "Skins\\Zevizi\\Close Btn.bmp"));
    const std::string bytes = *files.ReadFile("Skins\\Zevizi\\Close Btn.bmp");
    // A 24-bit file: rows bottom-up from offset 54, padded to four bytes.
    const int width = bitmap->Width(), height = bitmap->Height();
    ASSERT_EQ(width, 22);
    ASSERT_EQ(height, 20);
    const Pixels24 pixels = bitmap->Pixels();
    const int fileStride = (width * 3 + 3) & ~3;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(
                    pixels.bits[y * pixels.stride + x * 3 + c],
                    static_cast<uint8_t>(bytes[54 + (height - 1 - y) * fileStride + x * 3 + c]))
                    << x << "," << y;
    // A file cut short is no picture, and leaves the bitmap empty.
    EXPECT_FALSE(static_cast<PixbufBitmap&>(*bitmap).Load(std::string_view(bytes).substr(0, 100)));
    EXPECT_TRUE(bitmap->Empty());
}

} // namespace

} // namespace zevaver
