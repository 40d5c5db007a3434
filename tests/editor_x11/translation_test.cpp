// The X back-end's own translations, with no server: double-clicks from press times and places,
// keysyms into what the value box takes, and frame buffer pixels into a visual's pixels.
#include <gtest/gtest.h>

#include "editor_x11/double_click.h"
#include "editor_x11/x11_keymap.h"
#include "editor_x11/x11_pixel_format.h"

TEST(DoubleClickTest, ASecondPressSoonAndCloseByIsADoubleClickAndTheThirdStartsAgain) {
    DoubleClick clicks;
    EXPECT_FALSE(clicks.Press(1000, 50, 50));
    EXPECT_TRUE(clicks.Press(1399, 52, 48));
    EXPECT_FALSE(clicks.Press(1450, 52, 48)) << "the press after a double-click";
    EXPECT_TRUE(clicks.Press(1500, 52, 48));

    EXPECT_FALSE(clicks.Press(2000, 50, 50));
    EXPECT_FALSE(clicks.Press(2400, 50, 50)) << "400 ms is too late";
    EXPECT_FALSE(clicks.Press(2500, 53, 50)) << "three pixels is too far";
    clicks.Reset();
    EXPECT_FALSE(clicks.Press(2550, 53, 50)) << "another button came between";
    // The server's millisecond clock wraps around.
    EXPECT_FALSE(clicks.Press(0xFFFFFF00u, 10, 10));
    EXPECT_TRUE(clicks.Press(0x00000010u, 10, 10));
}

TEST(EntryKeyTest, EnterEscapeBackspaceAndPrintableCharacters) {
    EXPECT_EQ(EntryKeyFromKeysym(0xFF0D, 0).virtualKey, 13);
    EXPECT_EQ(EntryKeyFromKeysym(0xFF8D, 0).virtualKey, 13) << "keypad Enter";
    EXPECT_EQ(EntryKeyFromKeysym(0xFF1B, 0).virtualKey, 27);
    EXPECT_EQ(EntryKeyFromKeysym(0xFF08, kControlMask).virtualKey, 8);
    EXPECT_EQ(EntryKeyFromKeysym('7', 0).character, '7');
    EXPECT_EQ(EntryKeyFromKeysym('A', kShiftMask).character, 'A');
    EXPECT_EQ(EntryKeyFromKeysym(0xFFAE, kNumLockMask).character, '.') << "keypad decimal";
    EXPECT_EQ(EntryKeyFromKeysym(0xFFB7, kNumLockMask).character, '7');
    EXPECT_EQ(EntryKeyFromKeysym('7', kControlMask).character, '\0');
    EXPECT_EQ(EntryKeyFromKeysym('7', kAltMask).character, '\0');
    const EntryKey arrow = EntryKeyFromKeysym(0xFF51, 0);
    EXPECT_EQ(arrow.virtualKey, 0);
    EXPECT_EQ(arrow.character, '\0');
    EXPECT_EQ(EntryKeyFromKeysym(0xE9, 0).character, '\0') << "beyond ASCII";
}

TEST(PixelFormatTest, TheUsualVisualIsTheFrameBuffersOwnLayout) {
    const X11PixelFormat usual(0xFF0000, 0xFF00, 0xFF, 32, 32, false);
    ASSERT_TRUE(usual.valid);
    EXPECT_TRUE(usual.sameAsFrame);
    EXPECT_EQ(usual.Pixel(0x80123456u), 0x123456u) << "alpha is no channel of the visual";
    EXPECT_FALSE(X11PixelFormat(0xFF0000, 0xFF00, 0xFF, 32, 32, true).sameAsFrame);
    EXPECT_FALSE(X11PixelFormat(0xFF, 0xFF00, 0xFF0000, 32, 32, false).sameAsFrame);
}

TEST(PixelFormatTest, OtherVisualsKeepEachChannelsTopBits) {
    const X11PixelFormat rgb565(0xF800, 0x07E0, 0x001F, 16, 32, false);
    ASSERT_TRUE(rgb565.valid);
    EXPECT_EQ(rgb565.Pixel(0xFFFFFFFFu), 0xFFFFu);
    EXPECT_EQ(rgb565.Pixel(0xFF087F80u), (0x08u >> 3) << 11 | (0x7Fu >> 2) << 5 | (0x80u >> 3));
    EXPECT_EQ(rgb565.RowBytes(3), 8) << "6 bytes padded to 32 bits";
    uint8_t row[4] = {};
    const uint32_t red = 0xFFFF0000u;
    rgb565.ConvertRow(&red, 1, row);
    EXPECT_EQ(row[0], 0x00);
    EXPECT_EQ(row[1], 0xF8);

    // Ten bits a channel: full scale stays full scale.
    const X11PixelFormat deep(0x3FF00000, 0xFFC00, 0x3FF, 32, 32, false);
    ASSERT_TRUE(deep.valid);
    EXPECT_EQ(deep.Pixel(0xFFFFFFFFu), 0x3FFFFFFFu);
    EXPECT_EQ(deep.Pixel(0xFF000000u), 0u);

    EXPECT_FALSE(X11PixelFormat(0xF0F000, 0xFF00, 0xFF, 32, 32, false).valid) << "gap in a mask";
    EXPECT_FALSE(X11PixelFormat(0xE0, 0x1C, 0x03, 8, 32, false).valid) << "8 bits per pixel";
}
