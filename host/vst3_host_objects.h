// The objects a VST 3 host hands its plug-ins, for the host library's VST 3 format: the host
// application (with the run loop), the component handler that records edits, a memory stream
// that hands out its bytes in small pieces, the parameter queues of one block, the view's frame
// and the Linux run loop that IdleEditor pumps. Each is owned by the host's C++ objects: the
// reference counts are kept, but a release never deletes.
// Threads: the host's, one at a time; the parameter queues and the stream allocate nothing once
// made, so Process, SetParam and SetParamAt allocate nothing on the host's side.
#pragma once

#include <atomic>
#include <chrono>
#include <string>

#include "host/plugin_host.h"
#include "vst3/vst3_abi.h"

namespace host {

// The counts of an object the host owns.
class HostReferences {
public:
    vst3::uint32 Add() { return ++count_; }
    vst3::uint32 Release() { return --count_; }

private:
    std::atomic<vst3::uint32> count_{1};
};

// Registered descriptors and timers, called as a host's UI loop calls them.
class Vst3RunLoop final : public vst3::IRunLoop {
public:
    vst3::tresult queryInterface(const char* iid, void** obj) override;
    vst3::uint32 addRef() override { return references_.Add(); }
    vst3::uint32 release() override { return references_.Release(); }
    vst3::tresult registerEventHandler(vst3::IEventHandler* handler, int fd) override;
    vst3::tresult unregisterEventHandler(vst3::IEventHandler* handler) override;
    vst3::tresult registerTimer(vst3::ITimerHandler* handler, vst3::uint64 milliseconds) override;
    vst3::tresult unregisterTimer(vst3::ITimerHandler* handler) override;

    // One turn of the loop: each readable descriptor's handler, then each timer that is due.
    void Pump();
    int Registered() const;

private:
    static constexpr int kSlots = 16;
    struct EventSlot {
        vst3::IEventHandler* handler = nullptr;
        int fd = -1;
    };
    struct TimerSlot {
        vst3::ITimerHandler* handler = nullptr;
        std::chrono::milliseconds period{0};
        std::chrono::steady_clock::time_point due{};
    };

    HostReferences references_;
    EventSlot events_[kSlots];
    TimerSlot timers_[kSlots];
};

// The host application; its context also offers the run loop.
class Vst3HostApplication final : public vst3::IHostApplication {
public:
    Vst3HostApplication(const PluginModule& module, Vst3RunLoop& runLoop)
        : module_(module), runLoop_(runLoop) {}
    vst3::tresult queryInterface(const char* iid, void** obj) override;
    vst3::uint32 addRef() override { return references_.Add(); }
    vst3::uint32 release() override { return references_.Release(); }
    vst3::tresult getName(vst3::String128 name) override;
    vst3::tresult createInstance(char cid[16], char iid[16], void** obj) override;

private:
    HostReferences references_;
    const PluginModule& module_;
    Vst3RunLoop& runLoop_;
};

class Vst3ComponentHandler final : public vst3::IComponentHandler {
public:
    explicit Vst3ComponentHandler(HostRecord& record) : record_(record) {}
    vst3::tresult queryInterface(const char* iid, void** obj) override;
    vst3::uint32 addRef() override { return references_.Add(); }
    vst3::uint32 release() override { return references_.Release(); }
    vst3::tresult beginEdit(vst3::ParamID id) override;
    vst3::tresult performEdit(vst3::ParamID id, vst3::ParamValue value) override;
    vst3::tresult endEdit(vst3::ParamID id) override;
    vst3::tresult restartComponent(vst3::int32) override { return vst3::kResultOk; }

private:
    HostReferences references_;
    HostRecord& record_;
};

// The view's frame: resizes are recorded; the run loop is offered here too.
class Vst3PlugFrame final : public vst3::IPlugFrame {
public:
    Vst3PlugFrame(HostRecord& record, Vst3RunLoop& runLoop) : record_(record), runLoop_(runLoop) {}
    vst3::tresult queryInterface(const char* iid, void** obj) override;
    vst3::uint32 addRef() override { return references_.Add(); }
    vst3::uint32 release() override { return references_.Release(); }
    vst3::tresult resizeView(vst3::IPlugView* view, vst3::ViewRect* newSize) override;

private:
    HostReferences references_;
    HostRecord& record_;
    Vst3RunLoop& runLoop_;
};

// A state in memory: written as the plug-in writes, read back at most kPiece bytes a call, as
// streams in the wild hand data over.
class Vst3MemoryStream final : public vst3::IBStream {
public:
    static constexpr vst3::int32 kPiece = 5;

    Vst3MemoryStream() = default;
    explicit Vst3MemoryStream(const Bytes& bytes) : bytes_(bytes) {}
    vst3::tresult queryInterface(const char* iid, void** obj) override;
    vst3::uint32 addRef() override { return references_.Add(); }
    vst3::uint32 release() override { return references_.Release(); }
    vst3::tresult read(void* buffer, vst3::int32 numBytes, vst3::int32* numBytesRead) override;
    vst3::tresult write(void* buffer, vst3::int32 numBytes, vst3::int32* numBytesWritten) override;
    vst3::tresult seek(vst3::int64 pos, vst3::int32 mode, vst3::int64* result) override;
    vst3::tresult tell(vst3::int64* pos) override;

    const Bytes& Data() const { return bytes_; }
    void Rewind() { position_ = 0; }

private:
    HostReferences references_;
    Bytes bytes_;
    std::size_t position_ = 0;
};

// One parameter's points for the coming block.
class Vst3ParamQueue final : public vst3::IParamValueQueue {
public:
    static constexpr int kPoints = 64;

    vst3::tresult queryInterface(const char* iid, void** obj) override;
    vst3::uint32 addRef() override { return references_.Add(); }
    vst3::uint32 release() override { return references_.Release(); }
    vst3::ParamID getParameterId() override { return id_; }
    vst3::int32 getPointCount() override { return count_; }
    vst3::tresult getPoint(vst3::int32 index, vst3::int32& sampleOffset,
                           vst3::ParamValue& value) override;
    vst3::tresult addPoint(vst3::int32 sampleOffset, vst3::ParamValue value,
                           vst3::int32& index) override;

    void Reset(vst3::ParamID id) {
        id_ = id;
        count_ = 0;
    }

private:
    HostReferences references_;
    vst3::ParamID id_ = vst3::kNoParamId;
    vst3::int32 count_ = 0;
    vst3::int32 offsets_[kPoints] = {};
    vst3::ParamValue values_[kPoints] = {};
};

// The queues of one block, one per parameter that changes, each sorted by offset.
class Vst3ParamChanges final : public vst3::IParameterChanges {
public:
    static constexpr int kQueues = 16;

    vst3::tresult queryInterface(const char* iid, void** obj) override;
    vst3::uint32 addRef() override { return references_.Add(); }
    vst3::uint32 release() override { return references_.Release(); }
    vst3::int32 getParameterCount() override { return used_; }
    vst3::IParamValueQueue* getParameterData(vst3::int32 index) override;
    vst3::IParamValueQueue* addParameterData(const vst3::ParamID& id, vst3::int32& index) override;

    // A point at an offset of the coming block; false when the queues are full.
    bool Add(vst3::ParamID id, vst3::int32 offset, vst3::ParamValue value);
    void Clear() { used_ = 0; }

private:
    HostReferences references_;
    Vst3ParamQueue queues_[kQueues];
    vst3::int32 used_ = 0;
};

}  // namespace host
