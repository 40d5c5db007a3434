#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "adapter/program_state.h"
#include "adapter/state_stream.h"
#include "standalone/state_file.h"

namespace {

std::string Reason() { return std::strerror(errno); }

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the folder and those above it that are missing, private to the user as configuration
// folders are.
bool MakeFolders(const std::string& folder) {
    struct stat info {};
    if (stat(folder.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return true;
        errno = ENOTDIR;
        return false;
    }
    const std::string parent = FolderOf(folder);
    if (parent != folder && !MakeFolders(parent)) return false;
    return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t wrote = write(fd, data, size);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return false;
        data += wrote;
        size -= static_cast<std::size_t>(wrote);
    }
    return true;
}

}  // namespace

std::string StateFile::DefaultPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config != nullptr && config[0] == '/') {
        folder = config;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        folder = std::string(home) + "/.config";
    } else {
        return "";
    }
    return folder + "/" ORV_STANDALONE_PROGRAM "/state";
}

StateFile::Load StateFile::LoadInto(PluginBase& plug, std::string* problem) const {
    const int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return Load::kMissing;
        *problem = Reason();
        return Load::kUnreadable;
    }
    StateChunk chunk;
    bool failed = false;
    const bool whole = ReadStateStream(
        [&](std::uint8_t* buffer, std::int64_t capacity) -> std::int64_t {
            for (;;) {
                const ssize_t got = read(fd, buffer, static_cast<std::size_t>(capacity));
                if (got < 0 && errno == EINTR) continue;
                if (got < 0) failed = true;
                return got;
            }
        },
        chunk);
    const std::string readError = failed ? Reason() : "";
    close(fd);
    if (failed) {
        *problem = readError;
        return Load::kUnreadable;
    }
    if (!whole || !LoadProgramStateStrictly(plug, chunk)) {
        *problem = "it holds no ORV Q12 settings (" + std::to_string(chunk.Size()) + " bytes" +
                   (whole ? "" : " or more") + ")";
        return Load::kDamaged;
    }
    return Load::kLoaded;
}

bool StateFile::SaveFrom(PluginBase& plug, std::string* problem) const {
    StateChunk chunk;
    if (!SaveProgramState(plug, chunk)) {
        *problem = "out of memory";
        return false;
    }
    const std::string folder = FolderOf(path_);
    if (!MakeFolders(folder)) {
        *problem = "cannot make " + folder + ": " + Reason();
        return false;
    }
    std::vector<char> name(path_.begin(), path_.end());
    const char kTemporary[] = ".XXXXXX";
    name.insert(name.end(), kTemporary, kTemporary + sizeof(kTemporary));
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        *problem = Reason();
        return false;
    }
    const bool written =
        WriteAll(fd, chunk.Data(), static_cast<std::size_t>(chunk.Size())) && fsync(fd) == 0;
    const std::string writeError = written ? "" : Reason();
    if (close(fd) != 0 && written) {
        *problem = Reason();
        unlink(name.data());
        return false;
    }
    if (!written || rename(name.data(), path_.c_str()) != 0) {
        *problem = written ? Reason() : writeError;
        unlink(name.data());
        return false;
    }
    // The rename itself reaches the disk with the folder's entry.
    const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}
