// The effect when memory runs short: creation fails cleanly at every allocation it makes, the
// editor's own allocations included; a block size that cannot be had leaves every channel
// pointing at memory it owns; typing a value, drawing text, loading state and building a menu
// survive a failure at each of their allocations and still do what can be done.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "editor/font_cache.h"
#include "editor/popup_menu.h"
#include "editor_headless/headless_editor.h"
#include "effect/orv_q12.h"
#include "raster/cached_font.h"
#include "raster/png_loader.h"
#include "tests/effect/failing_allocator.h"
#include "vst/vst_entry.h"

using namespace vst2;

namespace {

AEffect* CreateEffect() { return CreateVstEffect(nullptr, &ORV_Q12::Create); }

VstPlugin* CreateWithoutEditor(audioMasterCallback host) {
    return new (std::nothrow) ORV_Q12(host, nullptr);
}

void Close(AEffect* effect) { effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f); }

// Allocations made creating one effect through the factory, none of them failing.
long CreationAllocations(VstPluginFactory factory) {
    failing_allocator::Arm(0);
    AEffect* effect = CreateVstEffect(nullptr, factory);
    const long allocations = failing_allocator::Disarm();
    EXPECT_NE(effect, nullptr);
    if (effect != nullptr) Close(effect);
    return allocations;
}

std::vector<std::uint8_t> Chunk(AEffect* effect, bool bank) {
    void* data = nullptr;
    const intptr size = effect->dispatcher(effect, effGetChunk, bank ? 0 : 1, 0, &data, 0.0f);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return size > 0 ? std::vector<std::uint8_t>(bytes, bytes + size) : std::vector<std::uint8_t>();
}

}  // namespace

TEST(MemoryShortage, CreationFailsAtEveryAllocationWithNullAndLeavesNothing) {
    // Whatever the first instance sets up for the whole process (the decoded images) is not
    // counted below.
    Close(CreateEffect());
    const long allocations = CreationAllocations(&ORV_Q12::Create);
    ASSERT_GT(allocations, 20) << "the counter sees the parameters, presets and channels";
    EXPECT_GE(allocations - CreationAllocations(&CreateWithoutEditor), 12)
        << "and the editor, its control list, its eight controls and the frame buffer";

    for (long n = 1; n <= allocations; ++n) {
        failing_allocator::Arm(n);
        AEffect* effect = CreateEffect();
        const long live = failing_allocator::Live();
        failing_allocator::Disarm();
        EXPECT_EQ(effect, nullptr) << "allocation " << n << " failed";
        EXPECT_EQ(live, 0) << "blocks left behind when allocation " << n << " failed";
        if (effect != nullptr) Close(effect);
    }
    AEffect* after = CreateEffect();
    ASSERT_NE(after, nullptr) << "the entry lock was released every time";
    Close(after);
}

TEST(MemoryShortage, AFailedBlockSizeLeavesEverySlotOnLiveMemory) {
    AEffect* effect = CreateEffect();
    ASSERT_NE(effect, nullptr);
    auto* plug = static_cast<ORV_Q12*>(effect->object);
    VstSpeakerArrangement mono{};
    mono.type = kSpeakerArrMono;
    mono.numChannels = 1;
    effect->dispatcher(effect, effSetSpeakerArrangement, 0, reinterpret_cast<intptr>(&mono), &mono,
                       0.0f);
    ASSERT_FALSE(plug->Input(1)->connected);
    ASSERT_FALSE(plug->Output(1)->connected);

    // Each scratch buffer, inputs first, grows in turn; the third cannot, and the two grown
    // ones shrink back, moving again.
    failing_allocator::Arm(3);
    effect->dispatcher(effect, effSetBlockSize, 0, 8192, nullptr, 0.0f);
    failing_allocator::Disarm();
    EXPECT_EQ(plug->BlockSize(), 1024);
    EXPECT_EQ(*plug->Input(1)->slot, plug->Input(1)->Scratch());
    EXPECT_EQ(*plug->Output(1)->slot, plug->Output(1)->Scratch());

    // Under the address sanitizer a stale slot shows as a read or write of freed memory.
    std::vector<float> in(1024, 0.25f), out0(1024), out1(1024);
    float* inputs[] = {in.data()};
    float* outputs[] = {out0.data(), out1.data()};
    effect->processReplacing(effect, inputs, outputs, 1024);
    std::vector<double> din(1024, 0.25), dout0(1024), dout1(1024);
    double* dinputs[] = {din.data()};
    double* doutputs[] = {dout0.data(), dout1.data()};
    effect->processDoubleReplacing(effect, dinputs, doutputs, 1024);
    for (int i = 0; i < 1024; ++i) ASSERT_TRUE(std::isfinite(dout0[i])) << i;
    Close(effect);
}

TEST(MemoryShortage, DecodingAnImageFailsAtEveryAllocationAsShortOfMemoryLeavingNothing) {
    for (int id : {100, 101, 103, 105, 106}) {
        long n = 1;
        for (; n < 1000; ++n) {
            bool shortOfMemory = false;
            failing_allocator::Arm(n);
            std::unique_ptr<MemBitmap> image = LoadPngResource(nullptr, id, &shortOfMemory);
            const bool decoded = image != nullptr;
            image.reset();
            const long live = failing_allocator::Live();
            const long made = failing_allocator::Disarm();
            EXPECT_EQ(live, 0) << id << ": allocation " << n << " failed";
            if (made < n) {
                EXPECT_TRUE(decoded && !shortOfMemory) << id;
                break;
            }
            EXPECT_FALSE(decoded) << id << ": allocation " << n << " failed";
            EXPECT_TRUE(shortOfMemory) << id << ": allocation " << n << " failed";
        }
        EXPECT_GT(n, 3) << id << ": libpng's allocations are counted";
        EXPECT_LT(n, 1000);
    }
    bool shortOfMemory = true;
    const unsigned char notAnImage[16] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_EQ(LoadPngFromMemory(notAnImage, sizeof(notAnImage), &shortOfMemory), nullptr);
    EXPECT_FALSE(shortOfMemory) << "an image that cannot be decoded is not a memory shortage";
}

TEST(MemoryShortage, ATypedValueIsTakenWhateverAllocationFailsWhileTheBoxIsDrawn) {
    ORV_Q12 fx(nullptr, &HeadlessEditor::Create);
    ASSERT_TRUE(fx.IsComplete());
    AEffect* effect = fx.Effect();
    auto& editor = static_cast<HeadlessEditor&>(*fx.AttachedEditor());
    TextStyle& style = editor.ControlAt(1)->Text();  // the Drive knob's entry box
    editor.Tick();
    long n = 1;
    for (; n < 100; ++n) {
        // A text size of its own each time, so the font and its glyphs are made anew.
        style.size = 10 + static_cast<int>(n);
        effect->setParameter(effect, ORV_Q12::kDrive, 0.5f);
        editor.Tick();
        failing_allocator::Arm(n);
        editor.Press(65, 111, MouseButton::Right);
        editor.Release(65, 111, MouseButton::Right);
        editor.TypeText("7.5");
        editor.PressKey(13);
        editor.Tick();
        const long made = failing_allocator::Disarm();
        EXPECT_FALSE(editor.EntryBoxOpen()) << "allocation " << n << " failed";
        EXPECT_EQ(fx.Param(ORV_Q12::kDrive)->value, 7.5) << "allocation " << n << " failed";

        // Drawn again with memory to spare, the box shows every glyph of "7.500": none that
        // found no memory was given up for good.
        editor.Press(65, 111, MouseButton::Right);
        editor.Release(65, 111, MouseButton::Right);
        editor.PressKey(27);
        editor.Tick();
        auto* font = static_cast<CachedFont*>(FontCache::Process().Find(style));
        ASSERT_NE(font, nullptr);
        for (char c : {'7', '.', '5', '0'}) {
            EXPECT_GT(font->FindGlyph(c)->dataPosition, 0) << c << ": allocation " << n;
        }
        if (made < n) break;
    }
    EXPECT_GT(n, 3) << "the font, its cache entry and its glyphs were counted";
    EXPECT_LT(n, 100);
}

TEST(MemoryShortage, AStateLoadShortOfMemoryTakesAllOrNothingAndKeepsThePresetWhole) {
    AEffect* effect = CreateEffect();
    ASSERT_NE(effect, nullptr);
    auto* plug = static_cast<ORV_Q12*>(effect->object);
    effect->setParameter(effect, ORV_Q12::kDrive, 0.8f);
    const double saved = plug->Param(ORV_Q12::kDrive)->value;
    const std::vector<std::uint8_t> chunks[] = {Chunk(effect, false), Chunk(effect, true)};
    for (int bank = 0; bank < 2; ++bank) {
        std::vector<std::uint8_t> chunk = chunks[bank];
        ASSERT_FALSE(chunk.empty());
        long n = 1;
        for (; n < 100; ++n) {
            effect->setParameter(effect, ORV_Q12::kDrive, 0.2f);
            const double before = plug->Param(ORV_Q12::kDrive)->value;
            failing_allocator::Arm(n);
            const intptr loaded =
                effect->dispatcher(effect, effSetChunk, bank != 0 ? 0 : 1,
                                   static_cast<intptr>(chunk.size()), chunk.data(), 0.0f);
            const long made = failing_allocator::Disarm();
            EXPECT_EQ(plug->Param(ORV_Q12::kDrive)->value, loaded != 0 ? saved : before)
                << "allocation " << n << " failed";
            // The current preset's saved state still holds every parameter.
            EXPECT_EQ(plug->PresetAt(0)->state.Size(), 8 * ORV_Q12::kParamCount)
                << "allocation " << n << " failed";
            if (made < n) break;
        }
        EXPECT_LT(n, 100);
    }
    Close(effect);
}

TEST(MemoryShortage, AMenuItemThatCannotBeHadLeavesTheMenuAsItWas) {
    long n = 1;
    for (; n < 100; ++n) {
        failing_allocator::Arm(n);
        {
            PopupMenu menu;
            PopupMenuItem* open = menu.AddItem("Open", ItemChecked);
            PopupMenu* recent = menu.AddSubmenu("Recent");
            PopupMenuItem* inner = recent != nullptr ? recent->AddItem("1.fxp") : nullptr;
            EXPECT_EQ(menu.items.Count(), (open != nullptr) + (recent != nullptr));
            if (open != nullptr) {
                EXPECT_STREQ(open->text.Get(), "Open");
            }
            if (recent != nullptr) {
                EXPECT_STREQ(menu.items.Get(menu.items.Count() - 1)->text.Get(), "Recent");
                EXPECT_EQ(recent->items.Count(), inner != nullptr ? 1 : 0);
            }
        }
        const long live = failing_allocator::Live();
        const long made = failing_allocator::Disarm();
        EXPECT_EQ(live, 0) << "allocation " << n << " failed";
        if (made < n) break;
    }
    EXPECT_LT(n, 100);
}
