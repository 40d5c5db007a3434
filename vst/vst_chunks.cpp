// Program and bank chunks exchanged with the host through effGetChunk and effSetChunk.
#include "vst/vst_plugin.h"

vst2::intptr VstPlugin::GetChunk(bool bank, void** data) {
    StateChunk& chunk = bank ? bankState : programState;
    bool saved = chunk.WriteChunkHeader();
    if (bank) {
        ModifyCurrentPreset();
        saved = saved && SerializePresets(chunk);
    } else {
        saved = saved && SaveState(chunk);
    }
    if (!saved || chunk.Size() == 0) return 0;
    *data = const_cast<std::uint8_t*>(chunk.Data());
    return chunk.Size();
}

bool VstPlugin::SetChunk(bool bank, const void* data, vst2::intptr size) {
    if (data == nullptr || size <= 0 || size > 0x7FFFFFFF) return false;
    StateChunk& chunk = bank ? bankState : programState;
    if (!chunk.Assign(data, static_cast<std::int32_t>(size))) return false;

    std::int32_t pos = 0;
    const std::int32_t version = chunk.ReadChunkHeader(&pos);
    std::int32_t result;
    if (bank && version >= StateChunk::kStateChunkVersion) {
        result = UnserializePresets(chunk, pos);
    } else {
        result = LoadState(chunk, pos);
        ModifyCurrentPreset();
    }
    if (result < 0) return false;
    PushParamsToEditor();
    return true;
}
