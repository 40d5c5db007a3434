#include "host/vst3_host_objects.h"

#include <algorithm>
#include <cstring>

#include "host/vst3_system.h"
#include "vst3/vst3_strings.h"

using namespace vst3;

namespace host {

namespace {

// queryInterface for an object that answers FUnknown and its own interface.
template <typename Interface>
tresult Answer(Interface* self, const Tuid& own, const char* iid, void** obj) {
    if (obj == nullptr) return kInvalidArgument;
    if (SameTuid(iid, kFUnknownIid) || SameTuid(iid, own)) {
        self->addRef();
        *obj = self;
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

// Offers the run loop beside an object's own interface.
tresult OfferRunLoop(Vst3RunLoop& runLoop, const char* iid, void** obj) {
    if (!SameTuid(iid, kIRunLoopIid)) return kNoInterface;
    runLoop.addRef();
    *obj = static_cast<IRunLoop*>(&runLoop);
    return kResultOk;
}

}  // namespace

tresult Vst3RunLoop::queryInterface(const char* iid, void** obj) {
    return Answer(this, kIRunLoopIid, iid, obj);
}

tresult Vst3RunLoop::registerEventHandler(IEventHandler* handler, int fd) {
    if (handler == nullptr || fd < 0) return kInvalidArgument;
    for (EventSlot& slot : events_) {
        if (slot.handler != nullptr) continue;
        handler->addRef();
        slot = {handler, fd};
        return kResultOk;
    }
    return kOutOfMemory;
}

tresult Vst3RunLoop::unregisterEventHandler(IEventHandler* handler) {
    tresult result = kInvalidArgument;
    for (EventSlot& slot : events_) {
        if (handler == nullptr || slot.handler != handler) continue;
        slot = {};
        handler->release();
        result = kResultOk;
    }
    return result;
}

tresult Vst3RunLoop::registerTimer(ITimerHandler* handler, uint64 milliseconds) {
    if (handler == nullptr || milliseconds == 0) return kInvalidArgument;
    for (TimerSlot& slot : timers_) {
        if (slot.handler != nullptr) continue;
        handler->addRef();
        const std::chrono::milliseconds period(milliseconds);
        slot = {handler, period, std::chrono::steady_clock::now() + period};
        return kResultOk;
    }
    return kOutOfMemory;
}

tresult Vst3RunLoop::unregisterTimer(ITimerHandler* handler) {
    tresult result = kInvalidArgument;
    for (TimerSlot& slot : timers_) {
        if (handler == nullptr || slot.handler != handler) continue;
        slot = {};
        handler->release();
        result = kResultOk;
    }
    return result;
}

void Vst3RunLoop::Pump() {
    // A handler may unregister itself or others while it runs: each slot is read anew.
    for (EventSlot& slot : events_) {
        if (slot.handler != nullptr && Vst3DescriptorReadable(slot.fd)) {
            slot.handler->onFDIsSet(slot.fd);
        }
    }
    const auto now = std::chrono::steady_clock::now();
    for (TimerSlot& slot : timers_) {
        if (slot.handler == nullptr || now < slot.due) continue;
        slot.due = now + slot.period;
        slot.handler->onTimer();
    }
}

int Vst3RunLoop::Registered() const {
    int count = 0;
    for (const EventSlot& slot : events_) count += slot.handler != nullptr ? 1 : 0;
    for (const TimerSlot& slot : timers_) count += slot.handler != nullptr ? 1 : 0;
    return count;
}

tresult Vst3HostApplication::queryInterface(const char* iid, void** obj) {
    const tresult own = Answer(this, kIHostApplicationIid, iid, obj);
    return own == kNoInterface ? OfferRunLoop(runLoop_, iid, obj) : own;
}

tresult Vst3HostApplication::getName(String128 name) {
    if (name == nullptr) return kInvalidArgument;
    CopyToString16(name, 128, module_.HostName().c_str());
    return kResultOk;
}

// This host makes no messages: nothing of ours needs them.
tresult Vst3HostApplication::createInstance(char*, char*, void** obj) {
    if (obj != nullptr) *obj = nullptr;
    return kNoInterface;
}

tresult Vst3ComponentHandler::queryInterface(const char* iid, void** obj) {
    return Answer(this, kIComponentHandlerIid, iid, obj);
}

tresult Vst3ComponentHandler::beginEdit(ParamID id) {
    record_.Add({HostEvent::Type::kBeginEdit, static_cast<int>(id)});
    return kResultOk;
}

tresult Vst3ComponentHandler::performEdit(ParamID id, ParamValue value) {
    record_.Add({HostEvent::Type::kPerformEdit, static_cast<int>(id), value});
    return kResultOk;
}

tresult Vst3ComponentHandler::endEdit(ParamID id) {
    record_.Add({HostEvent::Type::kEndEdit, static_cast<int>(id)});
    return kResultOk;
}

tresult Vst3PlugFrame::queryInterface(const char* iid, void** obj) {
    const tresult own = Answer(this, kIPlugFrameIid, iid, obj);
    return own == kNoInterface ? OfferRunLoop(runLoop_, iid, obj) : own;
}

tresult Vst3PlugFrame::resizeView(IPlugView* view, ViewRect* newSize) {
    if (view == nullptr || newSize == nullptr) return kInvalidArgument;
    record_.Add({HostEvent::Type::kResize, -1, 0, newSize->right - newSize->left,
                 newSize->bottom - newSize->top});
    return kResultOk;
}

tresult Vst3MemoryStream::queryInterface(const char* iid, void** obj) {
    return Answer(this, kIBStreamIid, iid, obj);
}

tresult Vst3MemoryStream::read(void* buffer, int32 numBytes, int32* numBytesRead) {
    if (numBytesRead != nullptr) *numBytesRead = 0;
    if (buffer == nullptr || numBytes < 0) return kInvalidArgument;
    const std::size_t left = bytes_.size() - std::min(position_, bytes_.size());
    const std::size_t n =
        std::min({left, static_cast<std::size_t>(numBytes), static_cast<std::size_t>(kPiece)});
    if (n > 0) std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    if (numBytesRead != nullptr) *numBytesRead = static_cast<int32>(n);
    return kResultOk;
}

tresult Vst3MemoryStream::write(void* buffer, int32 numBytes, int32* numBytesWritten) {
    if (numBytesWritten != nullptr) *numBytesWritten = 0;
    if (buffer == nullptr || numBytes < 0) return kInvalidArgument;
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    if (bytes_.size() < position_) bytes_.resize(position_);
    const std::size_t overlap = std::min(bytes_.size() - position_, std::size_t(numBytes));
    if (overlap > 0) std::memcpy(bytes_.data() + position_, bytes, overlap);
    bytes_.insert(bytes_.end(), bytes + overlap, bytes + numBytes);
    position_ += static_cast<std::size_t>(numBytes);
    if (numBytesWritten != nullptr) *numBytesWritten = numBytes;
    return kResultOk;
}

tresult Vst3MemoryStream::seek(int64 pos, int32 mode, int64* result) {
    int64 base = 0;
    if (mode == kSeekCur) base = static_cast<int64>(position_);
    if (mode == kSeekEnd) base = static_cast<int64>(bytes_.size());
    if ((mode != kSeekSet && mode != kSeekCur && mode != kSeekEnd) || base + pos < 0) {
        return kInvalidArgument;
    }
    position_ = static_cast<std::size_t>(base + pos);
    if (result != nullptr) *result = static_cast<int64>(position_);
    return kResultOk;
}

tresult Vst3MemoryStream::tell(int64* pos) {
    if (pos == nullptr) return kInvalidArgument;
    *pos = static_cast<int64>(position_);
    return kResultOk;
}

tresult Vst3ParamQueue::queryInterface(const char* iid, void** obj) {
    return Answer(this, kIParamValueQueueIid, iid, obj);
}

tresult Vst3ParamQueue::getPoint(int32 index, int32& sampleOffset, ParamValue& value) {
    if (index < 0 || index >= count_) return kInvalidArgument;
    sampleOffset = offsets_[index];
    value = values_[index];
    return kResultOk;
}

// Kept sorted by offset; a point at an offset already there follows it.
tresult Vst3ParamQueue::addPoint(int32 sampleOffset, ParamValue value, int32& index) {
    if (count_ == kPoints) return kOutOfMemory;
    int32 at = count_;
    while (at > 0 && offsets_[at - 1] > sampleOffset) {
        offsets_[at] = offsets_[at - 1];
        values_[at] = values_[at - 1];
        --at;
    }
    offsets_[at] = sampleOffset;
    values_[at] = value;
    ++count_;
    index = at;
    return kResultOk;
}

tresult Vst3ParamChanges::queryInterface(const char* iid, void** obj) {
    return Answer(this, kIParameterChangesIid, iid, obj);
}

IParamValueQueue* Vst3ParamChanges::getParameterData(int32 index) {
    return index >= 0 && index < used_ ? &queues_[index] : nullptr;
}

IParamValueQueue* Vst3ParamChanges::addParameterData(const ParamID& id, int32& index) {
    for (int32 q = 0; q < used_; ++q) {
        if (queues_[q].getParameterId() == id) {
            index = q;
            return &queues_[q];
        }
    }
    if (used_ == kQueues) return nullptr;
    queues_[used_].Reset(id);
    index = used_;
    return &queues_[used_++];
}

bool Vst3ParamChanges::Add(ParamID id, int32 offset, ParamValue value) {
    int32 index = 0;
    IParamValueQueue* queue = addParameterData(id, index);
    return queue != nullptr && queue->addPoint(offset, value, index) == kResultOk;
}

}  // namespace host
