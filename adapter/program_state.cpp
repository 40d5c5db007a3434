#include "adapter/program_state.h"

#include <cmath>

bool SaveProgramState(PluginBase& plug, StateChunk& chunk) {
    LockGuard guard(plug.Lock());
    return chunk.WriteChunkHeader() && plug.SaveState(chunk);
}

std::int32_t LoadProgramState(PluginBase& plug, const StateChunk& chunk) {
    LockGuard guard(plug.Lock());
    std::int32_t pos = 0;
    chunk.ReadChunkHeader(&pos);
    const std::int32_t result = plug.LoadState(chunk, pos);
    plug.ModifyCurrentPreset();
    if (result >= 0) plug.PushParamsToEditor();
    return result;
}

bool LoadProgramStateStrictly(PluginBase& plug, const StateChunk& chunk) {
    LockGuard guard(plug.Lock());
    std::int32_t pos = 0;
    if (chunk.ReadChunkHeader(&pos) != StateChunk::kStateChunkVersion) return false;
    if (chunk.Size() != pos + 8 * static_cast<std::int64_t>(plug.ParamCount())) return false;
    for (std::int32_t at = pos; at < chunk.Size(); at += 8) {
        double v = 0;
        chunk.GetDouble(&v, at);
        if (!std::isfinite(v)) return false;
    }
    return LoadProgramState(plug, chunk) == chunk.Size();
}
