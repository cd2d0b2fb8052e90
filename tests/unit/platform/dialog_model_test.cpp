// The dialogs of platforms without dialog resources, apart from any window system: the
// template against resources/orvel.rc, dialog units in pixels, what keys and the mouse
// do to the controls, text wrapping and icon images.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/dialog_model/dialog_controller.h"
#include "platform/dialog_model/dialog_template.h"
#include "platform/dialog_model/dialog_units.h"
#include "platform/resource_ids.h"
#include "platform/dialog_model/icon_image.h"
#include "platform/dialog_model/text_wrap.h"

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// --- The template

// A control's line in the resource script, as the template has it.
std::string rcLine(const ControlTemplate& c) {
    const auto name = [](int id) -> std::string {
        if (id == 1) return "IDOK";
        if (id == 2) return "IDCANCEL";
        if (id == IDC_LOW_DETAIL) return "IDC_LOW_DETAIL";
        return std::to_string(id);
    };
    const std::string place = ", " + std::to_string(c.x) + ", " + std::to_string(c.y) + ", " +
                              std::to_string(c.width) + ", " + std::to_string(c.height);
    if (c.kind == ControlKind::Icon) {
        return std::string(c.iconId == IDI_ORVEL ? "CONTROL IDI_ORVEL" : "?") + ", " + name(c.id) +
               ", 0x82, SS_ICON" + place;
    }
    const char* const statements[] = {"PUSHBUTTON", "DEFPUSHBUTTON", "LTEXT", "ICON", "AUTOCHECKBOX", "GROUPBOX"};
    return statements[int(c.kind)] + std::string(" \"") + c.text + "\", " + name(c.id) + place;
}

// Dialog 2003 of the resource script, line for line, with the controls in the same order
// (the tab order). Push buttons and check boxes are tab stops by default in a script.
TEST(DialogTemplate, MatchesTheWindowsResourceControlForControl) {
    const std::string rc = readFile(ORVEL_SOURCE_DIR "/resources/orvel.rc");
    const std::size_t start = rc.find("IDD_CONFIGURE DIALOG");
    ASSERT_NE(start, std::string::npos);
    std::istringstream block(rc.substr(start, rc.find("\nEND\n", start) - start));
    std::vector<std::string> lines;  // comments left out
    for (std::string line; std::getline(block, line);) {
        line.erase(0, line.find_first_not_of(' '));
        if (line.rfind("//", 0) != 0) lines.push_back(line);
    }
    const DialogTemplate* dialog = findDialogTemplate(2003);
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(lines.size(), 5u + std::size_t(dialog->controlCount));
    EXPECT_EQ(lines[0], "IDD_CONFIGURE DIALOG 0, 0, " + std::to_string(dialog->width) + ", " +
                            std::to_string(dialog->height));
    EXPECT_EQ((std::stoul(lines[1].substr(6), nullptr, 0) & 0x1000u) != 0, dialog->centreOnMouse);  // DS_CENTERMOUSE
    EXPECT_EQ(lines[2], "CAPTION \"" + std::string(dialog->caption) + "\"");
    EXPECT_EQ(lines[3].rfind("FONT " + std::to_string(dialog->fontPoints) + ", ", 0), 0u) << lines[3];
    for (int i = 0; i < dialog->controlCount; ++i) {
        const ControlTemplate& c = dialog->controls[i];
        EXPECT_EQ(lines[5 + std::size_t(i)], rcLine(c));
        EXPECT_EQ(c.tabStop, c.kind == ControlKind::PushButton || c.kind == ControlKind::DefaultPushButton ||
                                 c.kind == ControlKind::AutoCheckBox) << rcLine(c);
    }
    EXPECT_EQ(findDialogTemplate(2004), nullptr);
    EXPECT_EQ(findDialogTemplate(0x10000 | 2003), dialog) << "a resource number is 16 bits";
}

// --- Dialog units

TEST(DialogUnits, RoundHalvesAwayFromZeroAndKeepTouchingControlsTouching) {
    // mulDiv(a, b, c): a b / c rounded, halves away from zero; 0 for c = 0.
    const int cases[][4] = {{10, 3, 4, 8}, {-10, 3, 4, -8}, {10, 3, -4, -8}, {9, 3, 4, 7}, {1, 1, 3, 0}, {7, 5, 0, 0}};
    for (const auto& c : cases) EXPECT_EQ(mulDiv(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1] << " " << c[2];
    // 52 letters 6.5 pixels wide on average round up to 7; 6.4 down to 6; never below 1.
    EXPECT_EQ(dialogBaseUnits(338, 14).x, 7);
    EXPECT_EQ(dialogBaseUnits(333, 14).x, 6);
    EXPECT_EQ(dialogBaseUnits(0, 0).y, 1);

    const DialogBaseUnits units{7, 15};
    const PixelRect ok = mapDialogRect(93, 15, 50, 14, units);
    EXPECT_EQ(std::tuple(ok.left, ok.top, ok.width, ok.height), std::tuple(163, 28, 250 - 163, 54 - 28));
    const PixelRect a = mapDialogRect(3, 3, 5, 5, units);
    const PixelRect b = mapDialogRect(8, 8, 5, 5, units);
    EXPECT_EQ(std::pair(a.left + a.width, a.top + a.height), std::pair(b.left, b.top));
    EXPECT_TRUE(ok.contains(163, 28));
    EXPECT_FALSE(ok.contains(250, 40) || ok.contains(200, 54));
}

// --- Keys and the mouse on the configure dialog's controls

class Controller : public ::testing::Test {
protected:
    void SetUp() override { controller.load(*findDialogTemplate(2003), {6, 12}); }
    int index(int id) const { return controller.find(id); }
    const PixelRect& rect(int id) const { return controller.control(index(id)).rect; }
    int centreX(int id) const { return rect(id).left + rect(id).width / 2; }
    int centreY(int id) const { return rect(id).top + rect(id).height / 2; }
    // The control a click at (x, y) sends, or 0.
    int clickAt(int x, int y) {
        controller.pointerDown(x, y);
        const DialogCommand command = controller.pointerUp(x, y);
        return command.send ? command.id : 0;
    }
    DialogController controller;
};

// Keys one after another from the focus on OK (1), by way of Cancel (2) and the check
// box (1000): where the focus and the default button go, what each key clicks, and the
// box's check and pressed look afterwards.
TEST_F(Controller, KeysMoveTheFocusAndClickTheControls) {
    using K = DialogKey;
    const struct {
        DialogKey key;
        int focus, defaultButton, clicks;
        std::uint32_t check;
        bool pressed;
    } steps[] = {
        {K::Tab, 2, 2, 0, 0, false},  // the default follows a focused push button...
        {K::Tab, 1000, 1, 0, 0, false},  // ...and goes back to OK from the box
        {K::Tab, 1, 1, 0, 0, false},    {K::BackTab, 1000, 1, 0, 0, false}, {K::BackTab, 2, 2, 0, 0, false},
        {K::BackTab, 1, 1, 0, 0, false},
        // Enter clicks the focused button, or the default without toggling the box;
        // Escape is Cancel.
        {K::Enter, 1, 1, 1, 0, false},  {K::Tab, 2, 2, 0, 0, false},     {K::Enter, 2, 2, 2, 0, false},
        {K::Tab, 1000, 1, 0, 0, false}, {K::Enter, 1000, 1, 1, 0, false}, {K::Escape, 1000, 1, 2, 0, false},
        // Space presses the focused control and clicks it when let go.
        {K::SpaceDown, 1000, 1, 0, 0, true}, {K::SpaceUp, 1000, 1, 1000, 1, false},
        {K::SpaceDown, 1000, 1, 0, 1, true}, {K::SpaceUp, 1000, 1, 1000, 0, false},
        {K::Tab, 1, 1, 0, 0, false},    {K::SpaceDown, 1, 1, 0, 0, true}, {K::SpaceUp, 1, 1, 1, 0, false},
        {K::SpaceUp, 1, 1, 0, 0, false},  // a release without its press clicks nothing
        {K::SpaceDown, 1, 1, 0, 0, true}, {K::Tab, 2, 2, 0, 0, false},  // Tab lets the held button go
        {K::SpaceUp, 2, 2, 0, 0, false},
    };
    controller.focusFirstTabStop();
    ASSERT_EQ(controller.focus(), index(1));
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        const auto& s = steps[i];
        const int previous = controller.focus();
        const DialogCommand command = controller.key(s.key);
        SCOPED_TRACE(testing::Message() << "step " << i + 1);
        EXPECT_EQ(command.send ? command.id : 0, s.clicks);
        EXPECT_EQ(controller.focus(), index(s.focus));
        EXPECT_EQ(controller.defaultButton(), index(s.defaultButton));
        EXPECT_EQ(controller.check(index(1000)), s.check);
        EXPECT_EQ(controller.drawnPressed(previous), s.pressed);
    }
}

// A press and release over the same control clicks it and gives it the focus; the box
// toggles from its square or its text. A press dragged off a control, or let go over
// another one, clicks nothing; static controls take no clicks; while the mouse holds a
// button, Enter and Escape do nothing.
TEST_F(Controller, TheMouseClicksWhatItPressesAndLetsGoOf) {
    controller.focusFirstTabStop();
    const int box = index(1000), cancel = index(2);
    const PixelRect& r = controller.control(box).rect;
    EXPECT_EQ(clickAt(r.left + 2, centreY(1000)), 1000);  // the square
    EXPECT_EQ(std::pair(controller.check(box), controller.focus()), std::pair(1u, box));
    EXPECT_EQ(clickAt(r.left + r.width - 3, centreY(1000)), 1000);  // the end of the text
    EXPECT_EQ(controller.check(box), 0u);

    controller.pointerDown(centreX(2), centreY(2));
    EXPECT_TRUE(controller.drawnPressed(cancel));
    EXPECT_EQ(controller.focus(), cancel);
    controller.pointerMove(0, 0);
    EXPECT_FALSE(controller.drawnPressed(cancel));
    controller.pointerMove(centreX(2), centreY(2));
    EXPECT_TRUE(controller.drawnPressed(cancel));
    EXPECT_FALSE(controller.key(DialogKey::Enter).send || controller.key(DialogKey::Escape).send);
    EXPECT_FALSE(controller.pointerUp(0, 0).send);
    controller.pointerDown(centreX(2), centreY(2));
    EXPECT_FALSE(controller.pointerUp(centreX(1), centreY(1)).send);

    for (int i = 0; i < controller.count(); ++i) {
        const DialogControl& c = controller.control(i);
        EXPECT_FALSE(c.id == -1 && clickAt(c.rect.left + 1, c.rect.top + 1) != 0) << c.text;
    }
    EXPECT_EQ(controller.focus(), cancel) << "clicks beside the controls move no focus";
}

// --- Text wrapping, one unit a character

int characters(std::string_view text) {
    int count = 0;
    for (char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

std::vector<std::string> wrap(std::string_view text, int width) {
    std::vector<std::string> lines;
    for (std::string_view line : wrapText(text, width, characters)) lines.emplace_back(line);
    return lines;
}

using Lines = std::vector<std::string>;

TEST(TextWrap, BreaksAtBlanksThenInsideWordsButNeverInsideACharacter) {
    EXPECT_EQ(wrap("Orvel team", 10), Lines({"Orvel team"}));
    EXPECT_EQ(wrap("Orvel team", 9), Lines({"Orvel", "team"}));
    EXPECT_EQ(wrap("one two three", 7), Lines({"one two", "three"}));
    EXPECT_EQ(wrap("one   two", 4), Lines({"one", "two"}));
    EXPECT_EQ(wrap("cannot write /x/Orvelconfig.ini: no", 16),
              Lines({"cannot write", "/x/Orvelconfig.i", "ni: no"}));
    EXPECT_EQ(wrap("first\n\nthird line", 5), Lines({"first", "", "third", "line"}));
    EXPECT_EQ(wrap("", 5), Lines({""}));
    EXPECT_EQ(wrap("\xc3\xa4\xc3\xb6\xc3\xbc", 2), Lines({"\xc3\xa4\xc3\xb6", "\xc3\xbc"}));
    EXPECT_EQ(wrap("abc", 0), Lines({"a", "b", "c"}));
}

// --- Icons

void put16(std::string& s, std::uint32_t v) {
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}
void put32(std::string& s, std::uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

// One image of an icon file: the header, the palette, the colour rows and the mask rows
// as given (bottom row first).
struct IconPart {
    int side;
    int bits;
    std::string data;
};

IconPart iconImage(int side, int bits, const std::string& palette, const std::string& rows, const std::string& mask,
                   int colours = 0) {
    std::string image;  // the header: its size, the width, the height of colour and mask together, ...
    for (std::uint32_t v : {40, side, 2 * side}) put32(image, v);
    put16(image, 1);  // ... one plane, the bits per pixel, no compression, the palette's size
    put16(image, std::uint32_t(bits));
    for (std::uint32_t v : {0, 0, 0, 0, colours, 0}) put32(image, v);
    return {side, bits, image + palette + rows + mask};
}

// The icon file of the images, in that order.
std::string iconFile(const std::vector<IconPart>& parts) {
    std::string file;
    put16(file, 0);
    put16(file, 1);
    put16(file, std::uint32_t(parts.size()));
    std::uint32_t offset = 6 + 16 * std::uint32_t(parts.size());
    for (const IconPart& part : parts) {
        file += std::string{char(part.side), 0, 0, 0};
        put16(file, 1);
        put16(file, std::uint32_t(part.bits));
        put32(file, std::uint32_t(part.data.size()));
        put32(file, offset);
        offset += std::uint32_t(part.data.size());
    }
    for (const IconPart& part : parts) file += part.data;
    return file;
}

bool decode(const std::string& file, IconImage& image, int wanted = 2) {
    return decodeIcon(reinterpret_cast<const unsigned char*>(file.data()), file.size(), wanted, image);
}

// The program's icon has 4- and 8-bit images: palette indexes, high nibble first, rows
// from the bottom, and the mask's set bits transparent.
TEST(IconImage, ReadsPalettedRowsFromTheBottomWithTheMaskAsTransparency) {
    std::string palette;
    for (std::uint32_t c : {0x000000u, 0x112233u, 0x445566u}) put32(palette, c);
    std::string rows;
    rows += std::string("\x21\x00\x00\x00", 4);  // bottom: colour 2, colour 1
    rows += std::string("\x10\x00\x00\x00", 4);  // top: colour 1, colour 0
    std::string mask(4, '\0');                     // bottom row opaque
    mask += std::string("\x40\x00\x00\x00", 4);  // top row: the second pixel transparent
    IconImage image;
    ASSERT_TRUE(decode(iconFile({iconImage(2, 4, palette, rows, mask, 3)}), image));
    ASSERT_EQ(std::pair(image.width, image.height), std::pair(2, 2));
    image.pixels[1] &= 0xFF000000u;  // transparent: only its alpha counts
    EXPECT_EQ(image.pixels, (std::vector<std::uint32_t>{0xFF112233u, 0, 0xFF445566u, 0xFF112233u}));
}

// Of images of the wanted size, the one with the most colours, in whatever order they
// come: the program's icon has a 16-colour and an 8-bit image of 32 pixels.
TEST(IconImage, ChoosesTheWantedSizeWithTheMostColours) {
    std::string palette;
    put32(palette, 0);
    put32(palette, 0x0000FFu);
    const IconPart few = iconImage(1, 4, palette, std::string("\x10\0\0\0", 4), std::string(4, '\0'), 2);
    const IconPart many = iconImage(1, 24, "", std::string("\x00\xff\x00\x00", 4), std::string(4, '\0'));
    const IconPart larger = iconImage(2, 24, "", std::string(16, '\x40'), std::string(8, '\0'));
    for (const std::string& file : {iconFile({few, many, larger}), iconFile({larger, many, few})}) {
        IconImage image;
        ASSERT_TRUE(decode(file, image, 1));
        EXPECT_EQ(std::pair(image.width, image.pixels[0]), std::pair(1, 0xFF00FF00u));
    }
}

TEST(IconImage, TheProgramsIconHasAnOpaqueColourImageOf32Pixels) {
    const std::string file = readFile(ORVEL_SOURCE_DIR "/resources/orvel.ico");
    IconImage image;
    ASSERT_TRUE(decode(file, image, 32));
    EXPECT_EQ(std::pair(image.width, image.height), std::pair(32, 32));
    for (std::uint32_t p : image.pixels) ASSERT_EQ(p >> 24, 0xFFu);
}

}  // namespace
