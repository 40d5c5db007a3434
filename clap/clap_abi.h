// The CLAP binary interface (version 1.2) as hosts and plug-ins exchange it on 64-bit targets.
// Declared by this project from the published facts of the interface: plain C records of
// fixed-width fields and tables of function pointers, each with layout checks, so that a slip
// shows up at compile time on both toolchains. Only what this project uses is declared; a record
// whose middle it never reads keeps that span as reserved bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace clap {

using clap_id = std::uint32_t;
constexpr clap_id kInvalidId = 0xFFFFFFFF;
constexpr std::size_t kNameSize = 256;
constexpr std::size_t kPathSize = 1024;

struct clap_version {
    std::uint32_t major;
    std::uint32_t minor;
    std::uint32_t revision;
};
// What this project was written against; hosts and plug-ins of any 1.x are compatible.
constexpr clap_version kVersion = {1, 2, 10};
constexpr bool IsCompatible(const clap_version& v) { return v.major >= 1; }

struct clap_host;
struct clap_plugin;
struct clap_plugin_descriptor;

// The module's one export, `clap_entry`, a data object.
struct clap_plugin_entry {
    clap_version version;
    bool (*init)(const char* plugin_path);
    void (*deinit)();
    const void* (*get_factory)(const char* factory_id);
};

constexpr const char* kPluginFactoryId = "clap.plugin-factory";

struct clap_plugin_factory {
    std::uint32_t (*get_plugin_count)(const clap_plugin_factory* factory);
    const clap_plugin_descriptor* (*get_plugin_descriptor)(const clap_plugin_factory* factory,
                                                           std::uint32_t index);
    const clap_plugin* (*create_plugin)(const clap_plugin_factory* factory, const clap_host* host,
                                        const char* plugin_id);
};

struct clap_plugin_descriptor {
    clap_version version;
    const char* id;
    const char* name;
    const char* vendor;
    const char* url;
    const char* manual_url;
    const char* support_url;
    const char* version_text;  // "version" in the interface; renamed beside the record's version
    const char* description;
    const char* const* features;  // ends with a null pointer
};

// ---- processing and events ----

constexpr std::uint16_t kCoreEventSpaceId = 0;

enum : std::uint16_t {
    CLAP_EVENT_PARAM_VALUE = 5,
    CLAP_EVENT_PARAM_MOD = 6,
    CLAP_EVENT_PARAM_GESTURE_BEGIN = 7,
    CLAP_EVENT_PARAM_GESTURE_END = 8,
    CLAP_EVENT_TRANSPORT = 9,
};
enum : std::uint32_t {
    CLAP_EVENT_IS_LIVE = 1,
    CLAP_EVENT_DONT_RECORD = 2,
};

struct clap_event_header {
    std::uint32_t size;  // the whole event, header included
    std::uint32_t time;  // sample offset within the block
    std::uint16_t space_id;
    std::uint16_t type;
    std::uint32_t flags;
};

struct clap_event_param_value {
    clap_event_header header;
    clap_id param_id;
    void* cookie;
    std::int32_t note_id;
    std::int16_t port_index;
    std::int16_t channel;
    std::int16_t key;
    double value;  // plain, in the parameter's own range
};

struct clap_event_param_gesture {
    clap_event_header header;
    clap_id param_id;
};

enum : std::uint32_t {
    CLAP_TRANSPORT_HAS_TEMPO = 1,
    CLAP_TRANSPORT_IS_PLAYING = 16,
};

struct clap_event_transport {
    clap_event_header header;
    std::uint32_t flags;
    std::uint8_t reserved0[20];  // positions this project does not read
    double tempo;                // beats per minute
    std::uint8_t reserved1[56];
};

struct clap_input_events {
    void* ctx;
    std::uint32_t (*size)(const clap_input_events* list);
    const clap_event_header* (*get)(const clap_input_events* list, std::uint32_t index);
};

struct clap_output_events {
    void* ctx;
    // The host copies header->size bytes; false when it could not queue the event.
    bool (*try_push)(const clap_output_events* list, const clap_event_header* event);
};

struct clap_audio_buffer {
    float** data32;
    double** data64;
    std::uint32_t channel_count;
    std::uint32_t latency;
    std::uint64_t constant_mask;
};

struct clap_process {
    std::int64_t steady_time;
    std::uint32_t frames_count;
    const clap_event_transport* transport;
    const clap_audio_buffer* audio_inputs;
    clap_audio_buffer* audio_outputs;
    std::uint32_t audio_inputs_count;
    std::uint32_t audio_outputs_count;
    const clap_input_events* in_events;
    const clap_output_events* out_events;
};

using clap_process_status = std::int32_t;
enum : clap_process_status {
    CLAP_PROCESS_ERROR = 0,
    CLAP_PROCESS_CONTINUE = 1,
    CLAP_PROCESS_CONTINUE_IF_NOT_QUIET = 2,
    CLAP_PROCESS_TAIL = 3,
    CLAP_PROCESS_SLEEP = 4,
};

struct clap_plugin {
    const clap_plugin_descriptor* desc;
    void* plugin_data;
    bool (*init)(const clap_plugin* plugin);
    void (*destroy)(const clap_plugin* plugin);
    bool (*activate)(const clap_plugin* plugin, double sample_rate, std::uint32_t min_frames,
                     std::uint32_t max_frames);
    void (*deactivate)(const clap_plugin* plugin);
    bool (*start_processing)(const clap_plugin* plugin);
    void (*stop_processing)(const clap_plugin* plugin);
    void (*reset)(const clap_plugin* plugin);
    clap_process_status (*process)(const clap_plugin* plugin, const clap_process* process);
    const void* (*get_extension)(const clap_plugin* plugin, const char* id);
    void (*on_main_thread)(const clap_plugin* plugin);
};

struct clap_host {
    clap_version version;
    void* host_data;
    const char* name;
    const char* vendor;
    const char* url;
    const char* version_text;  // "version" in the interface
    const void* (*get_extension)(const clap_host* host, const char* extension_id);
    void (*request_restart)(const clap_host* host);
    void (*request_process)(const clap_host* host);
    void (*request_callback)(const clap_host* host);
};

// ---- extensions ----

constexpr const char* kExtAudioPorts = "clap.audio-ports";
constexpr const char* kExtParams = "clap.params";
constexpr const char* kExtState = "clap.state";
constexpr const char* kExtGui = "clap.gui";
constexpr const char* kExtTimerSupport = "clap.timer-support";
constexpr const char* kExtPosixFdSupport = "clap.posix-fd-support";
constexpr const char* kExtLatency = "clap.latency";
constexpr const char* kExtTail = "clap.tail";
constexpr const char* kExtThreadCheck = "clap.thread-check";
constexpr const char* kExtLog = "clap.log";

// audio-ports
enum : std::uint32_t {
    CLAP_AUDIO_PORT_IS_MAIN = 1,
    CLAP_AUDIO_PORT_SUPPORTS_64BITS = 2,
    CLAP_AUDIO_PORT_PREFERS_64BITS = 4,
    CLAP_AUDIO_PORT_REQUIRES_COMMON_SAMPLE_SIZE = 8,
};
constexpr const char* kPortStereo = "stereo";

struct clap_audio_port_info {
    clap_id id;
    char name[kNameSize];
    std::uint32_t flags;
    std::uint32_t channel_count;
    const char* port_type;
    clap_id in_place_pair;
};

struct clap_plugin_audio_ports {
    std::uint32_t (*count)(const clap_plugin* plugin, bool is_input);
    bool (*get)(const clap_plugin* plugin, std::uint32_t index, bool is_input,
                clap_audio_port_info* info);
};

struct clap_host_audio_ports {
    bool (*is_rescan_flag_supported)(const clap_host* host, std::uint32_t flag);
    void (*rescan)(const clap_host* host, std::uint32_t flags);
};

// params
enum : std::uint32_t {
    CLAP_PARAM_IS_STEPPED = 1u << 0,
    CLAP_PARAM_IS_PERIODIC = 1u << 1,
    CLAP_PARAM_IS_HIDDEN = 1u << 2,
    CLAP_PARAM_IS_READONLY = 1u << 3,
    CLAP_PARAM_IS_BYPASS = 1u << 4,
    CLAP_PARAM_IS_AUTOMATABLE = 1u << 5,
    CLAP_PARAM_IS_MODULATABLE = 1u << 10,
    CLAP_PARAM_REQUIRES_PROCESS = 1u << 15,
    CLAP_PARAM_IS_ENUM = 1u << 16,
};
enum : std::uint32_t {
    CLAP_PARAM_RESCAN_VALUES = 1,
    CLAP_PARAM_RESCAN_TEXT = 2,
    CLAP_PARAM_RESCAN_INFO = 4,
    CLAP_PARAM_RESCAN_ALL = 8,
};

struct clap_param_info {
    clap_id id;
    std::uint32_t flags;
    void* cookie;
    char name[kNameSize];
    char module[kPathSize];
    double min_value;
    double max_value;
    double default_value;
};

struct clap_plugin_params {
    std::uint32_t (*count)(const clap_plugin* plugin);
    bool (*get_info)(const clap_plugin* plugin, std::uint32_t param_index,
                     clap_param_info* param_info);
    bool (*get_value)(const clap_plugin* plugin, clap_id param_id, double* out_value);
    bool (*value_to_text)(const clap_plugin* plugin, clap_id param_id, double value,
                          char* out_buffer, std::uint32_t out_buffer_capacity);
    bool (*text_to_value)(const clap_plugin* plugin, clap_id param_id, const char* param_value_text,
                          double* out_value);
    void (*flush)(const clap_plugin* plugin, const clap_input_events* in,
                  const clap_output_events* out);
};

struct clap_host_params {
    void (*rescan)(const clap_host* host, std::uint32_t flags);
    void (*clear)(const clap_host* host, clap_id param_id, std::uint32_t flags);
    void (*request_flush)(const clap_host* host);
};

// state
struct clap_istream {
    void* ctx;
    // Bytes read, 0 at the end, -1 for an error.
    std::int64_t (*read)(const clap_istream* stream, void* buffer, std::uint64_t size);
};

struct clap_ostream {
    void* ctx;
    // Bytes written, -1 for an error.
    std::int64_t (*write)(const clap_ostream* stream, const void* buffer, std::uint64_t size);
};

struct clap_plugin_state {
    bool (*save)(const clap_plugin* plugin, const clap_ostream* stream);
    bool (*load)(const clap_plugin* plugin, const clap_istream* stream);
};

struct clap_host_state {
    void (*mark_dirty)(const clap_host* host);
};

// gui
constexpr const char* kWindowApiWin32 = "win32";
constexpr const char* kWindowApiX11 = "x11";

struct clap_window {
    const char* api;
    union {
        const void* cocoa;
        unsigned long x11;  // an X11 Window id: 8 bytes on Linux, 4 on Windows
        void* win32;        // an HWND
        void* ptr;
    };
};

struct clap_gui_resize_hints {
    bool can_resize_horizontally;
    bool can_resize_vertically;
    bool preserve_aspect_ratio;
    std::uint32_t aspect_ratio_width;
    std::uint32_t aspect_ratio_height;
};

struct clap_plugin_gui {
    bool (*is_api_supported)(const clap_plugin* plugin, const char* api, bool is_floating);
    bool (*get_preferred_api)(const clap_plugin* plugin, const char** api, bool* is_floating);
    bool (*create)(const clap_plugin* plugin, const char* api, bool is_floating);
    void (*destroy)(const clap_plugin* plugin);
    bool (*set_scale)(const clap_plugin* plugin, double scale);
    bool (*get_size)(const clap_plugin* plugin, std::uint32_t* width, std::uint32_t* height);
    bool (*can_resize)(const clap_plugin* plugin);
    bool (*get_resize_hints)(const clap_plugin* plugin, clap_gui_resize_hints* hints);
    bool (*adjust_size)(const clap_plugin* plugin, std::uint32_t* width, std::uint32_t* height);
    bool (*set_size)(const clap_plugin* plugin, std::uint32_t width, std::uint32_t height);
    bool (*set_parent)(const clap_plugin* plugin, const clap_window* window);
    bool (*set_transient)(const clap_plugin* plugin, const clap_window* window);
    void (*suggest_title)(const clap_plugin* plugin, const char* title);
    bool (*show)(const clap_plugin* plugin);
    bool (*hide)(const clap_plugin* plugin);
};

struct clap_host_gui {
    void (*resize_hints_changed)(const clap_host* host);
    bool (*request_resize)(const clap_host* host, std::uint32_t width, std::uint32_t height);
    bool (*request_show)(const clap_host* host);
    bool (*request_hide)(const clap_host* host);
    void (*closed)(const clap_host* host, bool was_destroyed);
};

// timer-support, posix-fd-support
struct clap_plugin_timer_support {
    void (*on_timer)(const clap_plugin* plugin, clap_id timer_id);
};

struct clap_host_timer_support {
    bool (*register_timer)(const clap_host* host, std::uint32_t period_ms, clap_id* timer_id);
    bool (*unregister_timer)(const clap_host* host, clap_id timer_id);
};

enum : std::uint32_t {
    CLAP_POSIX_FD_READ = 1,
    CLAP_POSIX_FD_WRITE = 2,
    CLAP_POSIX_FD_ERROR = 4,
};

struct clap_plugin_posix_fd_support {
    void (*on_fd)(const clap_plugin* plugin, int fd, std::uint32_t flags);
};

struct clap_host_posix_fd_support {
    bool (*register_fd)(const clap_host* host, int fd, std::uint32_t flags);
    bool (*modify_fd)(const clap_host* host, int fd, std::uint32_t flags);
    bool (*unregister_fd)(const clap_host* host, int fd);
};

// latency, tail, thread-check, log
struct clap_plugin_latency {
    std::uint32_t (*get)(const clap_plugin* plugin);
};
struct clap_host_latency {
    void (*changed)(const clap_host* host);
};

struct clap_plugin_tail {
    std::uint32_t (*get)(const clap_plugin* plugin);  // INT32_MAX and up: infinite
};
struct clap_host_tail {
    void (*changed)(const clap_host* host);
};

struct clap_host_thread_check {
    bool (*is_main_thread)(const clap_host* host);
    bool (*is_audio_thread)(const clap_host* host);
};

enum : std::int32_t {
    CLAP_LOG_DEBUG = 0,
    CLAP_LOG_INFO = 1,
    CLAP_LOG_WARNING = 2,
    CLAP_LOG_ERROR = 3,
    CLAP_LOG_FATAL = 4,
    CLAP_LOG_HOST_MISBEHAVING = 5,
    CLAP_LOG_PLUGIN_MISBEHAVING = 6,
};

struct clap_host_log {
    void (*log)(const clap_host* host, std::int32_t severity, const char* message);
};

// ---- layout checks ----

static_assert(sizeof(void*) == 8, "the interface is declared for 64-bit targets");
static_assert(sizeof(clap_version) == 12 && alignof(clap_version) == 4, "clap_version");
static_assert(sizeof(clap_plugin_entry) == 40 && offsetof(clap_plugin_entry, init) == 16 &&
                  offsetof(clap_plugin_entry, get_factory) == 32,
              "clap_plugin_entry");
static_assert(sizeof(clap_plugin_factory) == 24, "clap_plugin_factory");
static_assert(sizeof(clap_plugin_descriptor) == 88 && offsetof(clap_plugin_descriptor, id) == 16 &&
                  offsetof(clap_plugin_descriptor, vendor) == 32 &&
                  offsetof(clap_plugin_descriptor, version_text) == 64 &&
                  offsetof(clap_plugin_descriptor, features) == 80,
              "clap_plugin_descriptor");
static_assert(sizeof(clap_plugin) == 96 && offsetof(clap_plugin, init) == 16 &&
                  offsetof(clap_plugin, process) == 72 &&
                  offsetof(clap_plugin, on_main_thread) == 88,
              "clap_plugin");
static_assert(sizeof(clap_host) == 88 && offsetof(clap_host, host_data) == 16 &&
                  offsetof(clap_host, name) == 24 && offsetof(clap_host, get_extension) == 56 &&
                  offsetof(clap_host, request_callback) == 80,
              "clap_host");
static_assert(sizeof(clap_process) == 64 && offsetof(clap_process, frames_count) == 8 &&
                  offsetof(clap_process, transport) == 16 &&
                  offsetof(clap_process, audio_inputs_count) == 40 &&
                  offsetof(clap_process, audio_outputs_count) == 44 &&
                  offsetof(clap_process, in_events) == 48 &&
                  offsetof(clap_process, out_events) == 56,
              "clap_process");
static_assert(sizeof(clap_audio_buffer) == 32 && offsetof(clap_audio_buffer, channel_count) == 16 &&
                  offsetof(clap_audio_buffer, latency) == 20 &&
                  offsetof(clap_audio_buffer, constant_mask) == 24,
              "clap_audio_buffer");
static_assert(sizeof(clap_input_events) == 24 && sizeof(clap_output_events) == 16, "event lists");
static_assert(sizeof(clap_event_header) == 16 && alignof(clap_event_header) == 4 &&
                  offsetof(clap_event_header, time) == 4 &&
                  offsetof(clap_event_header, space_id) == 8 &&
                  offsetof(clap_event_header, type) == 10 &&
                  offsetof(clap_event_header, flags) == 12,
              "clap_event_header");
static_assert(sizeof(clap_event_param_value) == 56 && alignof(clap_event_param_value) == 8 &&
                  offsetof(clap_event_param_value, param_id) == 16 &&
                  offsetof(clap_event_param_value, cookie) == 24 &&
                  offsetof(clap_event_param_value, note_id) == 32 &&
                  offsetof(clap_event_param_value, port_index) == 36 &&
                  offsetof(clap_event_param_value, channel) == 38 &&
                  offsetof(clap_event_param_value, key) == 40 &&
                  offsetof(clap_event_param_value, value) == 48,
              "clap_event_param_value");
static_assert(sizeof(clap_event_param_gesture) == 20 && alignof(clap_event_param_gesture) == 4 &&
                  offsetof(clap_event_param_gesture, param_id) == 16,
              "clap_event_param_gesture");
static_assert(sizeof(clap_event_transport) == 104 && offsetof(clap_event_transport, flags) == 16 &&
                  offsetof(clap_event_transport, tempo) == 40,
              "clap_event_transport");
static_assert(sizeof(clap_audio_port_info) == 288 && offsetof(clap_audio_port_info, name) == 4 &&
                  offsetof(clap_audio_port_info, flags) == 260 &&
                  offsetof(clap_audio_port_info, channel_count) == 264 &&
                  offsetof(clap_audio_port_info, port_type) == 272 &&
                  offsetof(clap_audio_port_info, in_place_pair) == 280,
              "clap_audio_port_info");
static_assert(sizeof(clap_param_info) == 1320 && offsetof(clap_param_info, flags) == 4 &&
                  offsetof(clap_param_info, cookie) == 8 && offsetof(clap_param_info, name) == 16 &&
                  offsetof(clap_param_info, module) == 272 &&
                  offsetof(clap_param_info, min_value) == 1296 &&
                  offsetof(clap_param_info, max_value) == 1304 &&
                  offsetof(clap_param_info, default_value) == 1312,
              "clap_param_info");
static_assert(sizeof(clap_istream) == 16 && sizeof(clap_ostream) == 16, "streams");
static_assert(sizeof(clap_window) == 16 && offsetof(clap_window, x11) == 8 &&
                  offsetof(clap_window, win32) == 8,
              "clap_window: the union is 8 bytes on both systems");
static_assert(sizeof(clap_gui_resize_hints) == 12 &&
                  offsetof(clap_gui_resize_hints, preserve_aspect_ratio) == 2 &&
                  offsetof(clap_gui_resize_hints, aspect_ratio_width) == 4 &&
                  offsetof(clap_gui_resize_hints, aspect_ratio_height) == 8,
              "clap_gui_resize_hints");
static_assert(sizeof(clap_plugin_audio_ports) == 16 && sizeof(clap_host_audio_ports) == 16,
              "audio-ports");
static_assert(sizeof(clap_plugin_params) == 48 && sizeof(clap_host_params) == 24, "params");
static_assert(sizeof(clap_plugin_state) == 16 && sizeof(clap_host_state) == 8, "state");
static_assert(sizeof(clap_plugin_gui) == 120 && offsetof(clap_plugin_gui, set_parent) == 80 &&
                  offsetof(clap_plugin_gui, hide) == 112 && sizeof(clap_host_gui) == 40,
              "gui");
static_assert(sizeof(clap_plugin_timer_support) == 8 && sizeof(clap_host_timer_support) == 16,
              "timer-support");
static_assert(sizeof(clap_plugin_posix_fd_support) == 8 && sizeof(clap_host_posix_fd_support) == 24,
              "posix-fd-support");
static_assert(sizeof(clap_plugin_latency) == 8 && sizeof(clap_host_latency) == 8 &&
                  sizeof(clap_plugin_tail) == 8 && sizeof(clap_host_tail) == 8,
              "latency and tail");
static_assert(sizeof(clap_host_thread_check) == 16 && sizeof(clap_host_log) == 8,
              "thread-check and log");

}  // namespace clap
