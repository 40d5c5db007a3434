// The VST 3 binary interface as this project uses it, both sides (the plug-in in vst3/, the
// host in host/): the basic types, result codes, interface ids, records and the interfaces
// themselves, declared from the facts of the interface, for 64-bit Windows and Linux.
// Interfaces are abstract classes whose virtual functions sit in the slot order of the
// interface: no data, no virtual destructor and no overloads, so that a vtable is the
// interface's. Windows uses COM's byte order for ids and COM's result codes; the build says
// which (ORV_VST3_COM_COMPATIBLE: 1 on Windows, 0 on Linux).
#pragma once

#include <cstddef>
#include <cstdint>

#ifndef ORV_VST3_COM_COMPATIBLE
#error "ORV_VST3_COM_COMPATIBLE comes from the build (orv_vst3_abi)"
#endif

namespace vst3 {

constexpr bool kComCompatible = ORV_VST3_COM_COMPATIBLE != 0;

using int8 = std::int8_t;
using uint8 = std::uint8_t;
using int16 = std::int16_t;
using uint16 = std::uint16_t;
using int32 = std::int32_t;
using uint32 = std::uint32_t;
using int64 = std::int64_t;
using uint64 = std::uint64_t;
using tresult = int32;
using TBool = uint8;
using char8 = char;
using char16 = char16_t;
using TChar = char16_t;
using String128 = TChar[128];
using FIDString = const char*;
using ParamID = uint32;
using ParamValue = double;
using SampleRate = double;
using Sample32 = float;
using Sample64 = double;
using TSamples = int64;
using SpeakerArrangement = uint64;
using MediaType = int32;
using BusDirection = int32;
using BusType = int32;
using IoMode = int32;
using UnitID = int32;

// Result codes: success is 0 on both systems, the errors differ.
constexpr tresult kResultOk = 0;
constexpr tresult kResultTrue = 0;
constexpr tresult kResultFalse = 1;
constexpr tresult kNoInterface = kComCompatible ? static_cast<tresult>(0x80004002u) : -1;
constexpr tresult kInvalidArgument = kComCompatible ? static_cast<tresult>(0x80070057u) : 2;
constexpr tresult kNotImplemented = kComCompatible ? static_cast<tresult>(0x80004001u) : 3;
constexpr tresult kInternalError = kComCompatible ? static_cast<tresult>(0x80004005u) : 4;
constexpr tresult kNotInitialized = kComCompatible ? static_cast<tresult>(0x8000FFFFu) : 5;
constexpr tresult kOutOfMemory = kComCompatible ? static_cast<tresult>(0x8007000Eu) : 6;

// An interface or class id: 16 bytes made from four 32-bit words. Windows stores the first
// word and the halves of the second little-endian (a COM GUID); Linux stores every word
// most significant byte first.
struct Tuid {
    char bytes[16];
};

constexpr Tuid MakeTuid(uint32 l1, uint32 l2, uint32 l3, uint32 l4) {
    const uint32 words[4] = {l1, l2, l3, l4};
    Tuid id{};
    for (int w = 0; w < 4; ++w) {
        for (int b = 0; b < 4; ++b)
            id.bytes[4 * w + b] = static_cast<char>(words[w] >> (24 - 8 * b));
    }
    if (kComCompatible) {
        id.bytes[0] = static_cast<char>(l1);
        id.bytes[1] = static_cast<char>(l1 >> 8);
        id.bytes[2] = static_cast<char>(l1 >> 16);
        id.bytes[3] = static_cast<char>(l1 >> 24);
        id.bytes[4] = static_cast<char>(l2 >> 16);
        id.bytes[5] = static_cast<char>(l2 >> 24);
        id.bytes[6] = static_cast<char>(l2);
        id.bytes[7] = static_cast<char>(l2 >> 8);
    }
    return id;
}

static_assert(MakeTuid(0xE831FF31, 0xF2D54301, 0, 0).bytes[0] ==
                      (kComCompatible ? '\x31' : '\xE8') &&
                  MakeTuid(0xE831FF31, 0xF2D54301, 0, 0).bytes[4] ==
                      (kComCompatible ? '\xD5' : '\xF2'),
              "the byte order of ids");

// All 16 bytes compared; a null id matches nothing.
inline bool SameTuid(const char* a, const Tuid& b) {
    if (a == nullptr) return false;
    for (int i = 0; i < 16; ++i) {
        if (a[i] != b.bytes[i]) return false;
    }
    return true;
}

// Enumerations.
constexpr MediaType kAudio = 0;
constexpr MediaType kEvent = 1;
constexpr BusDirection kInput = 0;
constexpr BusDirection kOutput = 1;
constexpr BusType kMain = 0;
constexpr BusType kAux = 1;
constexpr uint32 kDefaultActive = 1;
constexpr int32 kRealtime = 0;
constexpr int32 kPrefetch = 1;
constexpr int32 kOffline = 2;
constexpr int32 kSample32 = 0;
constexpr int32 kSample64 = 1;
constexpr SpeakerArrangement kSpeakerEmpty = 0;
constexpr SpeakerArrangement kSpeakerStereo = 0x3;
constexpr SpeakerArrangement kSpeakerMono = 0x80000;
constexpr int32 kCanAutomate = 1;
constexpr int32 kIsReadOnly = 2;
constexpr int32 kIsBypass = 0x10000;
constexpr int32 kParamValuesChanged = 4;
constexpr int32 kFactoryUnicode = 0x10;
constexpr int32 kManyInstances = 0x7FFFFFFF;
constexpr uint32 kNoTail = 0;
constexpr ParamID kNoParamId = 0xFFFFFFFF;
constexpr int32 kSeekSet = 0;
constexpr int32 kSeekCur = 1;
constexpr int32 kSeekEnd = 2;
constexpr uint32 kStatePlaying = 2;

constexpr const char* kAudioEffectCategory = "Audio Module Class";
constexpr const char* kEditorViewType = "editor";
constexpr const char* kPlatformTypeHwnd = "HWND";
constexpr const char* kPlatformTypeX11 = "X11EmbedWindowID";

// Records.
struct PFactoryInfo {
    char8 vendor[64];
    char8 url[256];
    char8 email[128];
    int32 flags;
};

struct PClassInfo {
    char cid[16];
    int32 cardinality;
    char8 category[32];
    char8 name[64];
};

struct PClassInfo2 {
    char cid[16];
    int32 cardinality;
    char8 category[32];
    char8 name[64];
    uint32 classFlags;
    char8 subCategories[128];
    char8 vendor[64];
    char8 version[64];
    char8 sdkVersion[64];
};

struct PClassInfoW {
    char cid[16];
    int32 cardinality;
    char8 category[32];
    char16 name[64];
    uint32 classFlags;
    char8 subCategories[128];
    char16 vendor[64];
    char16 version[64];
    char16 sdkVersion[64];
};

struct BusInfo {
    MediaType mediaType;
    BusDirection direction;
    int32 channelCount;
    String128 name;
    BusType busType;
    uint32 flags;
};

struct RoutingInfo {
    MediaType mediaType;
    int32 busIndex;
    int32 channel;
};

struct ParameterInfo {
    ParamID id;
    String128 title;
    String128 shortTitle;
    String128 units;
    int32 stepCount;
    ParamValue defaultNormalizedValue;
    UnitID unitId;
    int32 flags;
};

struct ProcessSetup {
    int32 processMode;
    int32 symbolicSampleSize;
    int32 maxSamplesPerBlock;
    SampleRate sampleRate;
};

struct AudioBusBuffers {
    int32 numChannels;
    uint64 silenceFlags;
    union {
        Sample32** channelBuffers32;
        Sample64** channelBuffers64;
    };
};

struct ProcessContext {
    uint32 state;
    double sampleRate;
    TSamples projectTimeSamples;
    int64 systemTime;
    TSamples continousTimeSamples;
    double projectTimeMusic;
    double barPositionMusic;
    double cycleStartMusic;
    double cycleEndMusic;
    double tempo;
    int32 timeSigNumerator;
    int32 timeSigDenominator;
    char chord[4];
    int32 smpteOffsetSubframes;
    char frameRate[8];
    int32 samplesToNextClock;
};

struct ViewRect {
    int32 left;
    int32 top;
    int32 right;
    int32 bottom;
};

class IParameterChanges;
class IEventList;

struct ProcessData {
    int32 processMode;
    int32 symbolicSampleSize;
    int32 numSamples;
    int32 numInputs;
    int32 numOutputs;
    AudioBusBuffers* inputs;
    AudioBusBuffers* outputs;
    IParameterChanges* inputParameterChanges;
    IParameterChanges* outputParameterChanges;
    IEventList* inputEvents;
    IEventList* outputEvents;
    ProcessContext* processContext;
};

static_assert(sizeof(PFactoryInfo) == 452 && alignof(PFactoryInfo) == 4, "PFactoryInfo");
static_assert(offsetof(PFactoryInfo, flags) == 448, "PFactoryInfo");
static_assert(sizeof(PClassInfo) == 116 && offsetof(PClassInfo, name) == 52, "PClassInfo");
static_assert(sizeof(PClassInfo2) == 440 && offsetof(PClassInfo2, sdkVersion) == 376,
              "PClassInfo2");
static_assert(offsetof(PClassInfo2, subCategories) == 120, "PClassInfo2");
static_assert(sizeof(PClassInfoW) == 696 && offsetof(PClassInfoW, sdkVersion) == 568,
              "PClassInfoW");
static_assert(offsetof(PClassInfoW, classFlags) == 180 && offsetof(PClassInfoW, vendor) == 312,
              "PClassInfoW");
static_assert(sizeof(BusInfo) == 276 && offsetof(BusInfo, busType) == 268, "BusInfo");
static_assert(sizeof(RoutingInfo) == 12, "RoutingInfo");
static_assert(sizeof(ParameterInfo) == 792 && alignof(ParameterInfo) == 8, "ParameterInfo");
static_assert(offsetof(ParameterInfo, units) == 516 && offsetof(ParameterInfo, stepCount) == 772,
              "ParameterInfo");
static_assert(offsetof(ParameterInfo, defaultNormalizedValue) == 776 &&
                  offsetof(ParameterInfo, flags) == 788,
              "ParameterInfo");
static_assert(sizeof(ProcessSetup) == 24 && offsetof(ProcessSetup, sampleRate) == 16,
              "ProcessSetup");
static_assert(sizeof(AudioBusBuffers) == 24 && offsetof(AudioBusBuffers, silenceFlags) == 8 &&
                  offsetof(AudioBusBuffers, channelBuffers32) == 16,
              "AudioBusBuffers");
static_assert(sizeof(ProcessData) == 80 && offsetof(ProcessData, processContext) == 72,
              "ProcessData");
static_assert(offsetof(ProcessData, inputs) == 24 && offsetof(ProcessData, inputEvents) == 56,
              "ProcessData");
static_assert(sizeof(ProcessContext) == 112 && offsetof(ProcessContext, tempo) == 72,
              "ProcessContext");
static_assert(offsetof(ProcessContext, chord) == 88 && offsetof(ProcessContext, frameRate) == 96 &&
                  offsetof(ProcessContext, samplesToNextClock) == 104,
              "ProcessContext");
static_assert(sizeof(ViewRect) == 16, "ViewRect");

// Interfaces, with their ids. Protected non-virtual destructors: nothing deletes through them.
class FUnknown {
public:
    virtual tresult queryInterface(const char* iid, void** obj) = 0;
    virtual uint32 addRef() = 0;
    virtual uint32 release() = 0;

protected:
    ~FUnknown() = default;
};
constexpr Tuid kFUnknownIid = MakeTuid(0x00000000, 0x00000000, 0xC0000000, 0x00000046);

class IPluginFactory : public FUnknown {
public:
    virtual tresult getFactoryInfo(PFactoryInfo* info) = 0;
    virtual int32 countClasses() = 0;
    virtual tresult getClassInfo(int32 index, PClassInfo* info) = 0;
    virtual tresult createInstance(FIDString cid, FIDString iid, void** obj) = 0;

protected:
    ~IPluginFactory() = default;
};
constexpr Tuid kIPluginFactoryIid = MakeTuid(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F);

class IPluginFactory2 : public IPluginFactory {
public:
    virtual tresult getClassInfo2(int32 index, PClassInfo2* info) = 0;

protected:
    ~IPluginFactory2() = default;
};
constexpr Tuid kIPluginFactory2Iid = MakeTuid(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);

class IPluginFactory3 : public IPluginFactory2 {
public:
    virtual tresult getClassInfoUnicode(int32 index, PClassInfoW* info) = 0;
    virtual tresult setHostContext(FUnknown* context) = 0;

protected:
    ~IPluginFactory3() = default;
};
constexpr Tuid kIPluginFactory3Iid = MakeTuid(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);

class IPluginBase : public FUnknown {
public:
    virtual tresult initialize(FUnknown* context) = 0;
    virtual tresult terminate() = 0;

protected:
    ~IPluginBase() = default;
};
constexpr Tuid kIPluginBaseIid = MakeTuid(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625);

class IBStream : public FUnknown {
public:
    virtual tresult read(void* buffer, int32 numBytes, int32* numBytesRead) = 0;
    virtual tresult write(void* buffer, int32 numBytes, int32* numBytesWritten) = 0;
    virtual tresult seek(int64 pos, int32 mode, int64* result) = 0;
    virtual tresult tell(int64* pos) = 0;

protected:
    ~IBStream() = default;
};
constexpr Tuid kIBStreamIid = MakeTuid(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B);

class IComponent : public IPluginBase {
public:
    virtual tresult getControllerClassId(char classId[16]) = 0;
    virtual tresult setIoMode(IoMode mode) = 0;
    virtual int32 getBusCount(MediaType type, BusDirection dir) = 0;
    virtual tresult getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus) = 0;
    virtual tresult getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) = 0;
    virtual tresult activateBus(MediaType type, BusDirection dir, int32 index, TBool state) = 0;
    virtual tresult setActive(TBool state) = 0;
    virtual tresult setState(IBStream* state) = 0;
    virtual tresult getState(IBStream* state) = 0;

protected:
    ~IComponent() = default;
};
constexpr Tuid kIComponentIid = MakeTuid(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802);

class IAudioProcessor : public FUnknown {
public:
    virtual tresult setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                       SpeakerArrangement* outputs, int32 numOuts) = 0;
    virtual tresult getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) = 0;
    virtual tresult canProcessSampleSize(int32 symbolicSampleSize) = 0;
    virtual uint32 getLatencySamples() = 0;
    virtual tresult setupProcessing(ProcessSetup& setup) = 0;
    virtual tresult setProcessing(TBool state) = 0;
    virtual tresult process(ProcessData& data) = 0;
    virtual uint32 getTailSamples() = 0;

protected:
    ~IAudioProcessor() = default;
};
constexpr Tuid kIAudioProcessorIid = MakeTuid(0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D);

class IProcessContextRequirements : public FUnknown {
public:
    virtual uint32 getProcessContextRequirements() = 0;

protected:
    ~IProcessContextRequirements() = default;
};
constexpr Tuid kIProcessContextRequirementsIid =
    MakeTuid(0x2A654303, 0xEF764E3D, 0x95B5FE83, 0x730EF6D0);

class IParamValueQueue : public FUnknown {
public:
    virtual ParamID getParameterId() = 0;
    virtual int32 getPointCount() = 0;
    virtual tresult getPoint(int32 index, int32& sampleOffset, ParamValue& value) = 0;
    virtual tresult addPoint(int32 sampleOffset, ParamValue value, int32& index) = 0;

protected:
    ~IParamValueQueue() = default;
};
constexpr Tuid kIParamValueQueueIid = MakeTuid(0x01263A18, 0xED074F6F, 0x98C9D356, 0x4686F9BA);

class IParameterChanges : public FUnknown {
public:
    virtual int32 getParameterCount() = 0;
    virtual IParamValueQueue* getParameterData(int32 index) = 0;
    virtual IParamValueQueue* addParameterData(const ParamID& id, int32& index) = 0;

protected:
    ~IParameterChanges() = default;
};
constexpr Tuid kIParameterChangesIid = MakeTuid(0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D);

class IComponentHandler : public FUnknown {
public:
    virtual tresult beginEdit(ParamID id) = 0;
    virtual tresult performEdit(ParamID id, ParamValue valueNormalized) = 0;
    virtual tresult endEdit(ParamID id) = 0;
    virtual tresult restartComponent(int32 flags) = 0;

protected:
    ~IComponentHandler() = default;
};
constexpr Tuid kIComponentHandlerIid = MakeTuid(0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6);

class IPlugView;

class IEditController : public IPluginBase {
public:
    virtual tresult setComponentState(IBStream* state) = 0;
    virtual tresult setState(IBStream* state) = 0;
    virtual tresult getState(IBStream* state) = 0;
    virtual int32 getParameterCount() = 0;
    virtual tresult getParameterInfo(int32 paramIndex, ParameterInfo& info) = 0;
    virtual tresult getParamStringByValue(ParamID id, ParamValue valueNormalized,
                                          String128 string) = 0;
    virtual tresult getParamValueByString(ParamID id, TChar* string,
                                          ParamValue& valueNormalized) = 0;
    virtual ParamValue normalizedParamToPlain(ParamID id, ParamValue valueNormalized) = 0;
    virtual ParamValue plainParamToNormalized(ParamID id, ParamValue plainValue) = 0;
    virtual ParamValue getParamNormalized(ParamID id) = 0;
    virtual tresult setParamNormalized(ParamID id, ParamValue value) = 0;
    virtual tresult setComponentHandler(IComponentHandler* handler) = 0;
    virtual IPlugView* createView(FIDString name) = 0;

protected:
    ~IEditController() = default;
};
constexpr Tuid kIEditControllerIid = MakeTuid(0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E);

class IHostApplication : public FUnknown {
public:
    virtual tresult getName(String128 name) = 0;
    virtual tresult createInstance(char cid[16], char iid[16], void** obj) = 0;

protected:
    ~IHostApplication() = default;
};
constexpr Tuid kIHostApplicationIid = MakeTuid(0x58E595CC, 0xDB2D4969, 0x8B6AAF8C, 0x36A664E5);

class IPlugFrame : public FUnknown {
public:
    virtual tresult resizeView(IPlugView* view, ViewRect* newSize) = 0;

protected:
    ~IPlugFrame() = default;
};
constexpr Tuid kIPlugFrameIid = MakeTuid(0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3);

class IPlugView : public FUnknown {
public:
    virtual tresult isPlatformTypeSupported(FIDString type) = 0;
    virtual tresult attached(void* parent, FIDString type) = 0;
    virtual tresult removed() = 0;
    virtual tresult onWheel(float distance) = 0;
    virtual tresult onKeyDown(char16 key, int16 keyCode, int16 modifiers) = 0;
    virtual tresult onKeyUp(char16 key, int16 keyCode, int16 modifiers) = 0;
    virtual tresult getSize(ViewRect* size) = 0;
    virtual tresult onSize(ViewRect* newSize) = 0;
    virtual tresult onFocus(TBool state) = 0;
    virtual tresult setFrame(IPlugFrame* frame) = 0;
    virtual tresult canResize() = 0;
    virtual tresult checkSizeConstraint(ViewRect* rect) = 0;

protected:
    ~IPlugView() = default;
};
constexpr Tuid kIPlugViewIid = MakeTuid(0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29);

// The Linux run loop a host offers its plug-ins' editors, and what they register with it.
class IEventHandler : public FUnknown {
public:
    virtual void onFDIsSet(int fd) = 0;

protected:
    ~IEventHandler() = default;
};
constexpr Tuid kIEventHandlerIid = MakeTuid(0x561E65C9, 0x13A0496F, 0x813A2C35, 0x654D7983);

class ITimerHandler : public FUnknown {
public:
    virtual void onTimer() = 0;

protected:
    ~ITimerHandler() = default;
};
constexpr Tuid kITimerHandlerIid = MakeTuid(0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9);

class IRunLoop : public FUnknown {
public:
    virtual tresult registerEventHandler(IEventHandler* handler, int fd) = 0;
    virtual tresult unregisterEventHandler(IEventHandler* handler) = 0;
    virtual tresult registerTimer(ITimerHandler* handler, uint64 milliseconds) = 0;
    virtual tresult unregisterTimer(ITimerHandler* handler) = 0;

protected:
    ~IRunLoop() = default;
};
constexpr Tuid kIRunLoopIid = MakeTuid(0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389);

// A view's scale on a display of more than 96 dpi, where the host announces it.
class IPlugViewContentScaleSupport : public FUnknown {
public:
    virtual tresult setContentScaleFactor(float factor) = 0;

protected:
    ~IPlugViewContentScaleSupport() = default;
};
constexpr Tuid kIPlugViewContentScaleSupportIid =
    MakeTuid(0x65ED9690, 0x8AC44525, 0x8AADEF7A, 0x72EA703F);

}  // namespace vst3
