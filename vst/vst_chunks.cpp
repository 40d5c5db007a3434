// Program and bank chunks exchanged with the host through effGetChunk and effSetChunk. A program
// chunk holds the program state every format stores (adapter/program_state.h).
#include "adapter/program_state.h"
#include "vst/vst_plugin.h"

vst2::intptr VstPlugin::GetChunk(bool bank, void** data) {
    StateChunk& chunk = bank ? bankState : programState;
    bool saved;
    if (bank) {
        saved = chunk.WriteChunkHeader();
        ModifyCurrentPreset();
        saved = saved && SerializePresets(chunk);
    } else {
        saved = SaveProgramState(*this, chunk);
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
    if (bank && chunk.ReadChunkHeader(&pos) >= StateChunk::kStateChunkVersion) {
        if (UnserializePresets(chunk, pos) < 0) return false;
        PushParamsToEditor();
        return true;
    }
    // A program chunk, or a bank chunk without the header or with an older version.
    return LoadProgramState(*this, chunk) >= 0;
}
