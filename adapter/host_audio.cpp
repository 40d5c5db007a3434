#include "adapter/host_audio.h"

#include <algorithm>

namespace {

// Calls piece(done, frames) for consecutive pieces of at most the block size.
template <typename Piece>
void InPieces(PluginBase& plug, const void* inputs, const void* outputs, int frames, Piece piece) {
    if (inputs == nullptr || outputs == nullptr || plug.BlockSize() < 1) return;
    for (int done = 0; done < frames;) {
        const int frameCount = std::min(frames - done, plug.BlockSize());
        piece(done, frameCount);
        done += frameCount;
    }
}

}  // namespace

void ProcessHostAudio(PluginBase& plug, float* const* inputs, float* const* outputs, int offset,
                      int frames, bool accumulate) {
    LockGuard guard(plug.Lock());
    InPieces(plug, inputs, outputs, frames, [&](int done, int piece) {
        const int at = offset + done;
        int k = 0;
        for (int i = 0; i < plug.NInputs(); ++i) {
            InputChannel* channel = plug.Input(i);
            if (!channel->connected) continue;
            const float* source = inputs[k++] + at;
            double* scratch = channel->Scratch();
            for (int s = 0; s < piece; ++s) scratch[s] = source[s];
            *channel->slot = scratch;
        }
        k = 0;
        for (int i = 0; i < plug.NOutputs(); ++i) {
            OutputChannel* channel = plug.Output(i);
            if (!channel->connected) continue;
            *channel->slot = channel->Scratch();
            channel->destination = outputs[k++] + at;
        }

        plug.ProcessBlock(plug.InputSlots(), plug.OutputSlots(), piece);

        for (int i = 0; i < plug.NOutputs(); ++i) {
            OutputChannel* channel = plug.Output(i);
            if (!channel->connected) continue;
            const double* result = channel->Scratch();
            float* destination = channel->destination;
            if (accumulate) {
                for (int s = 0; s < piece; ++s) destination[s] += static_cast<float>(result[s]);
            } else {
                for (int s = 0; s < piece; ++s) destination[s] = static_cast<float>(result[s]);
            }
        }
    });
}

void ProcessHostAudio(PluginBase& plug, double* const* inputs, double* const* outputs, int offset,
                      int frames) {
    LockGuard guard(plug.Lock());
    // The host's buffers go straight to the effect; the pieces keep a disconnected channel's
    // scratch buffer from being overrun by a longer host block.
    InPieces(plug, inputs, outputs, frames, [&](int done, int piece) {
        const int at = offset + done;
        int k = 0;
        for (int i = 0; i < plug.NInputs(); ++i) {
            if (plug.Input(i)->connected) *plug.Input(i)->slot = inputs[k++] + at;
        }
        k = 0;
        for (int i = 0; i < plug.NOutputs(); ++i) {
            if (plug.Output(i)->connected) *plug.Output(i)->slot = outputs[k++] + at;
        }
        plug.ProcessBlock(plug.InputSlots(), plug.OutputSlots(), piece);
    });
}
