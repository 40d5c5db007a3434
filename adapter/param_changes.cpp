#include "adapter/param_changes.h"

#include <algorithm>
#include <iterator>

#include "adapter/host_audio.h"
#include "adapter/host_params.h"

void ParamChanges::Clear() {
    count_ = 0;
    sorted_ = true;
    if (anyLeftOver_) {
        std::fill(std::begin(hasLeftOver_), std::end(hasLeftOver_), false);
        anyLeftOver_ = false;
    }
}

void ParamChanges::Add(int offset, int index, double normalized) {
    AddPoint({offset, index, normalized, false});
}

void ParamChanges::AddPlain(int offset, int index, double plain) {
    AddPoint({offset, index, plain, true});
}

void ParamChanges::AddPoint(const Point& point) {
    if (count_ == kCapacity) {
        if (point.index >= 0 && point.index < kMaxParams) {
            leftOver_[point.index] = point;
            hasLeftOver_[point.index] = true;
            anyLeftOver_ = true;
        }
        return;
    }
    if (count_ > 0 && point.offset < points_[count_ - 1].offset) sorted_ = false;
    points_[count_++] = point;
}

void ParamChanges::Apply(PluginBase& plug, const Point& point) {
    if (point.plain) {
        ApplyHostPlainParam(plug, point.index, point.value);
    } else {
        ApplyHostParam(plug, point.index, point.value);
    }
}

void ParamChanges::SortByOffset() {
    if (sorted_) return;
    for (int i = 1; i < count_; ++i) {
        const Point point = points_[i];
        int j = i;
        for (; j > 0 && points_[j - 1].offset > point.offset; --j) points_[j] = points_[j - 1];
        points_[j] = point;
    }
    sorted_ = true;
}

template <typename RunFrames>
void ParamChanges::Run(PluginBase& plug, int frames, RunFrames run) {
    LockGuard guard(plug.Lock());
    if (frames < 0) frames = 0;
    SortByOffset();
    int done = 0;
    for (int i = 0; i < count_; ++i) {
        const int at = std::min(std::max(points_[i].offset, 0), frames);
        if (at > done) {
            run(done, at - done);
            done = at;
        }
        Apply(plug, points_[i]);
    }
    if (frames > done) run(done, frames - done);
    if (anyLeftOver_) {
        for (int index = 0; index < kMaxParams; ++index) {
            if (hasLeftOver_[index]) Apply(plug, leftOver_[index]);
        }
    }
}

void ParamChanges::Process(PluginBase& plug, float* const* inputs, float* const* outputs,
                           int frames) {
    Run(plug, frames,
        [&](int offset, int count) { ProcessHostAudio(plug, inputs, outputs, offset, count); });
}

void ParamChanges::Process(PluginBase& plug, double* const* inputs, double* const* outputs,
                           int frames) {
    Run(plug, frames,
        [&](int offset, int count) { ProcessHostAudio(plug, inputs, outputs, offset, count); });
}
