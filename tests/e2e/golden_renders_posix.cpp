// Fingerprints of the golden renders with glibc's libm.
#include "tests/e2e/golden_renders.h"

const GoldenRender kGoldenRenders[] = {
    {"sines 44.1k stereo Q1 double 512", 0x8cc20faf8aaeff6bull},
    {"sines 48k mono Q1 float 256", 0xc907d5624a385161ull},
    {"sines 96k stereo Q0 double 1024", 0x7613983912d3987cull},
    {"sines 44.1k stereo Q0 double 512, Input 0.0001", 0x505d84468b8363f3ull},
    {"noise 48k stereo Q1 double 512, Drive 10 Input 2", 0x155acbcddb621bfdull},
    {"noise 44.1k mono Q0 float 64", 0x7de9cb848fef7405ull},
    {"noise 96k mono Q1 double 5000", 0xdb23e2c419bc6a4dull},
    {"mixed 48k stereo Q0 float 37", 0xa71777d83898354cull},
    {"mixed 44.1k stereo Q1 float 1", 0x0bb39d1ac2285686ull},
    {"automation 48k double 512", 0x2e6e8b9eb0d44cbaull},
    {"recovery 44.1k double 512", 0xbf5b919a09dd884bull},
    // LV2's ports carry floats: the knobs' plain values and, from a double-precision host, the
    // samples too, rounded on the way in and out.
    {"sines 44.1k stereo Q1 double 512", 0xf8bf31c51b0d550full, "lv2"},
    {"sines 48k mono Q1 float 256", 0xa5d8640d2dd6923dull, "lv2"},
    {"sines 96k stereo Q0 double 1024", 0x9df0b2f7892ce1adull, "lv2"},
    {"sines 44.1k stereo Q0 double 512, Input 0.0001", 0xb158f58dcb6c4d81ull, "lv2"},
    {"noise 48k stereo Q1 double 512, Drive 10 Input 2", 0xd49be938064e9aa0ull, "lv2"},
    {"noise 44.1k mono Q0 float 64", 0x980cf00ed33f6731ull, "lv2"},
    {"noise 96k mono Q1 double 5000", 0x8694acde77288ff9ull, "lv2"},
    {"mixed 48k stereo Q0 float 37", 0x09ba9a2c1dbdbb72ull, "lv2"},
    {"mixed 44.1k stereo Q1 float 1", 0x484de4c281e2b86dull, "lv2"},
    {"automation 48k double 512", 0xfbff368f1bcec773ull, "lv2"},
    {"recovery 44.1k double 512", 0x938f41c3bed62a06ull, "lv2"},
    {nullptr, 0},
};
