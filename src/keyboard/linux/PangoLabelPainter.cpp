#include "keyboard/linux/PangoLabelPainter.h"

#include <gtk/gtk.h>
#include <pango/pangocairo.h>

namespace zevaver {

namespace {

constexpr const char* FallbackFamily = "Sans";

// The family of the font GTK's widgets use ("Cantarell 11" gives "Cantarell").
std::string InterfaceFamily() {
    gchar* setting = nullptr;
    if (GtkSettings* settings = gtk_settings_get_default())
        g_object_get(settings, "gtk-font-name", &setting, nullptr);
    std::string family = FallbackFamily;
    if (setting) {
        PangoFontDescription* description = pango_font_description_from_string(setting);
        if (const char* name = pango_font_description_get_family(description); name && *name)
            family = name;
        pango_font_description_free(description);
        g_free(setting);
    }
    return family;
}

} // namespace

PangoLabelPainter::~PangoLabelPainter() {
    if (layout_) g_object_unref(layout_);
    if (context_) g_object_unref(context_);
}

void PangoLabelPainter::Prepare() {
    if (context_) return;
    family_ = InterfaceFamily();
    context_ = pango_font_map_create_context(pango_cairo_font_map_get_default());
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    // Measured and drawn alike whatever the screen's settings.
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(context_, options);
    cairo_font_options_destroy(options);
    layout_ = pango_layout_new(context_);
}

PangoLayout* PangoLabelPainter::Layout(const std::string& text, int size, bool light) {
    Prepare();
    PangoFontDescription* font = pango_font_description_new();
    pango_font_description_set_family(font, family_.c_str());
    // Semi-bold reads better than regular at a few pixels' height, on any key colour.
    pango_font_description_set_weight(font, light ? PANGO_WEIGHT_NORMAL : PANGO_WEIGHT_SEMIBOLD);
    // The letters' height in pixels (the em), not the line's.
    pango_font_description_set_absolute_size(font, size * PANGO_SCALE);
    pango_layout_set_font_description(layout_, font);
    pango_font_description_free(font);
    pango_layout_set_text(layout_, text.c_str(), static_cast<int>(text.size()));
    return layout_;
}

TextSize PangoLabelPainter::Measure(const std::string& text, int size) {
    int width = 0, height = 0;
    pango_layout_get_pixel_size(Layout(text, size), &width, &height);
    return {width, height};
}

void PangoLabelPainter::Draw(const std::string& text, int left, int top, int size,
                             fw::ColorRef color, const fw::PixelRect& clip) {
    if (!buffer_) return;
    // Measured at the heavier weight, so a lighter drawing always fits.
    const unsigned red = color & 0xFF, green = (color >> 8) & 0xFF, blue = (color >> 16) & 0xFF;
    PangoLayout* layout = Layout(text, size, red * 2 + green * 5 + blue > 128 * 8);
    // The keyboard wrote the pixels itself since cairo last looked.
    cairo_surface_mark_dirty(buffer_);
    cairo_t* cr = cairo_create(buffer_);
    cairo_rectangle(cr, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top);
    cairo_clip(cr);
    cairo_set_source_rgb(cr, red / 255.0, green / 255.0, blue / 255.0);
    cairo_move_to(cr, left, top);
    pango_cairo_show_layout(cr, layout);
    cairo_destroy(cr);
    // The keyboard writes the pixels directly next time: the text must be there by then.
    cairo_surface_flush(buffer_);
}

} // namespace zevaver
