// Parameter changes a host sends with one block, each at its sample offset (VST 3's parameter
// queues, CLAP's events): the block runs up to a change's offset, the change is applied as
// automation applies one (ApplyHostParam), and the block goes on. The points live in a fixed
// array, so a block allocates nothing; a block with more points than it holds applies the last
// value of each parameter left over at the block's end.
// Lifecycle: one per adapter instance, filled and run in the host's process call.
// Threads: the host's audio thread (or its main thread, for a flush between blocks); processing
// holds the plug-in lock for the whole block.
#pragma once

#include "plugin/plugin_base.h"

class ParamChanges {
public:
    // Points one block may hold; more than any host sends.
    static constexpr int kCapacity = 512;
    // Parameters whose left-over points are kept for the block's end.
    static constexpr int kMaxParams = 64;

    // Forgets every point; the adapter calls it before it fills in a block's points.
    void Clear();
    // One point: at sample `offset` of the coming block, parameter `index` takes `normalized`.
    // Points may come in any order; those at the same offset keep the order they came in.
    void Add(int offset, int index, double normalized);
    // The same with a plain value in the parameter's own units (ApplyHostPlainParam).
    void AddPlain(int offset, int index, double plain);
    int Count() const { return count_; }

    // Runs `frames` frames of the host's buffers (as ProcessHostAudio does), applying each point
    // at its offset: before the frame at that offset, so the frame hears the new value. Offsets
    // before the block count as 0, offsets after it as its end. With 0 frames it only applies the
    // points, as a host's flush between blocks asks. The points stay until Clear.
    void Process(PluginBase& plug, float* const* inputs, float* const* outputs, int frames);
    void Process(PluginBase& plug, double* const* inputs, double* const* outputs, int frames);

private:
    struct Point {
        int offset;
        int index;
        double value;
        bool plain;
    };

    void AddPoint(const Point& point);
    static void Apply(PluginBase& plug, const Point& point);

    // Sorts the points by offset (stable: a host's own order is usually sorted already).
    void SortByOffset();
    template <typename RunFrames>
    void Run(PluginBase& plug, int frames, RunFrames run);

    Point points_[kCapacity];
    int count_ = 0;
    bool sorted_ = true;
    Point leftOver_[kMaxParams] = {};
    bool hasLeftOver_[kMaxParams] = {};
    bool anyLeftOver_ = false;
};
