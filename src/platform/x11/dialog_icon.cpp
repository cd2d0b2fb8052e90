// The program's icon in its dialogs: icon resource IDI_ORVEL is the .ico file compiled into the
// program, decoded here for the icon control (composed over the dialog's face colour,
// at the screen's scale) and for the window manager (_NET_WM_ICON).
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <vector>

#include "platform/common/embedded_resources.h"
#include "platform/dialog_model/icon_image.h"
#include "platform/x11/dialog.h"
#include "platform/x11/display.h"

namespace {

constexpr int ICON_SIZE = 32;  // the size Windows draws a static icon at

bool loadIcon(InstanceHandle instance, int iconId, IconImage& image) {
    const auto* table = static_cast<const ResourceTable*>(instance);
    if (table == nullptr || table->items == nullptr) return false;
    for (int i = 0; i < table->count; ++i) {
        const EmbeddedResource& item = table->items[i];
        if (item.id == iconId) return decodeIcon(item.data, item.size, ICON_SIZE, image);
    }
    return false;
}

std::uint8_t blend(std::uint32_t over, std::uint32_t under, std::uint32_t alpha, int shift) {
    const std::uint32_t a = (over >> shift) & 0xFF;
    const std::uint32_t b = (under >> shift) & 0xFF;
    return std::uint8_t((a * alpha + b * (255 - alpha) + 127) / 255);
}

}  // namespace

bool x11MakeIconPixmap(Display* display, X11Dialog& dialog, int iconId, std::uint32_t faceRgb) {
    IconImage image;
    if (!loadIcon(dialog.instance, iconId, image)) return false;
    // Whole multiples of the icon's pixels at high resolutions, as Windows scales icons.
    int factor = int(dialog.font != nullptr ? dialog.font->scale + 0.25 : 1.0);
    if (factor < 1) factor = 1;
    const int width = image.width * factor;
    const int height = image.height * factor;
    char* data = static_cast<char*>(std::malloc(std::size_t(width) * std::size_t(height) * 4));
    if (data == nullptr) return false;
    XImage* picture = XCreateImage(display, dialog.visual, unsigned(dialog.depth), ZPixmap, 0, data, unsigned(width),
                                   unsigned(height), 32, 0);
    if (picture == nullptr) {
        std::free(data);
        return false;
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel = image.pixels[std::size_t(y / factor) * std::size_t(image.width) + x / factor];
            const std::uint32_t alpha = pixel >> 24;
            XPutPixel(picture, x, y,
                      x11PixelOf(dialog.visual, blend(pixel, faceRgb, alpha, 16), blend(pixel, faceRgb, alpha, 8),
                                 blend(pixel, faceRgb, alpha, 0)));
        }
    }
    dialog.iconPixmap =
        XCreatePixmap(display, dialog.window, unsigned(width), unsigned(height), unsigned(dialog.depth));
    XPutImage(display, dialog.iconPixmap, dialog.gc, picture, 0, 0, 0, 0, unsigned(width), unsigned(height));
    XDestroyImage(picture);  // frees data too
    dialog.iconWidth = width;
    dialog.iconHeight = height;
    return true;
}

void x11SetWindowIcon(Display* display, Window window, InstanceHandle instance, int iconId) {
    IconImage image;
    if (!loadIcon(instance, iconId, image)) return;
    // Width, height, then ARGB pixels, each in a long, as the property's format 32 asks.
    std::vector<unsigned long> property;
    property.reserve(2 + image.pixels.size());
    property.push_back(static_cast<unsigned long>(image.width));
    property.push_back(static_cast<unsigned long>(image.height));
    for (std::uint32_t pixel : image.pixels) property.push_back(pixel);
    const Atom icon = XInternAtom(display, "_NET_WM_ICON", False);
    XChangeProperty(display, window, icon, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(property.data()), int(property.size()));
}
