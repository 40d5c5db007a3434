// The state extension: the program state every format stores (adapter/program_state.h), written
// to and read from the host's streams in whatever pieces they move. A load takes only a whole
// state of this version and changes nothing otherwise.
#include "adapter/program_state.h"
#include "adapter/state_stream.h"
#include "clap/clap_extensions.h"
#include "clap/clap_plugin.h"

using namespace clap;

namespace {

bool Save(const clap_plugin* p, const clap_ostream* stream) {
    ClapPlugin* plug = ClapPlugin::From(p);
    return plug != nullptr && plug->WriteState(stream);
}

bool Load(const clap_plugin* p, const clap_istream* stream) {
    ClapPlugin* plug = ClapPlugin::From(p);
    return plug != nullptr && plug->ReadState(stream);
}

}  // namespace

const clap_plugin_state kClapState = {&Save, &Load};

bool ClapPlugin::WriteState(const clap_ostream* stream) {
    if (stream == nullptr || stream->write == nullptr) return false;
    StateChunk chunk;
    if (!SaveProgramState(*this, chunk)) return false;
    return WriteStateStream(
        [stream](const std::uint8_t* bytes, std::int64_t size) {
            return stream->write(stream, bytes, static_cast<std::uint64_t>(size));
        },
        chunk);
}

bool ClapPlugin::ReadState(const clap_istream* stream) {
    if (stream == nullptr || stream->read == nullptr) return false;
    StateChunk chunk;
    const bool read = ReadStateStream(
        [stream](std::uint8_t* buffer, std::int64_t capacity) {
            return stream->read(stream, buffer, static_cast<std::uint64_t>(capacity));
        },
        chunk);
    return read && LoadProgramStateStrictly(*this, chunk);
}
