// The settings file on POSIX systems, kept the way Windows keeps a private-profile file,
// with care never to leave the user's file half written:
// - the new text goes to a temporary file beside the file, which is synced, given the old
//   file's permission bits (and, where allowed, its owner) and then renamed over it; on
//   any failure the temporary is removed and the old file stays as it was;
// - a symbolic link is followed to its final target, and the target is replaced, so the
//   link stays a link;
// - missing directories are created, private to the user (0700);
// - a file larger than 1 MiB is not a settings file this program wrote: reading it gives
//   the default and writing refuses to touch it, rather than hold and rewrite it all.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <string>

#include "platform/private_profile.h"
#include "platform/common/profile_text.h"
#include "platform/posix/settings_location.h"

namespace {

constexpr std::size_t MAX_FILE_SIZE = std::size_t{1} << 20;
constexpr int MAX_SYMLINK_HOPS = 40;  // as many as Linux follows before ELOOP

thread_local std::string lastError;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }
    // Closes now, so that a failing close is seen; false with errno set when it fails.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// The file's full path: an absolute name as it is, any other in the settings directory.
// Empty when there is no settings directory.
std::string settingsPath(const char* fileName) {
    if (fileName[0] == '/') {
        return fileName;
    }
    std::string path = platformSettingsDirectory();
    if (path.empty()) {
        return path;
    }
    if (path.back() != '/') {
        path += '/';
    }
    return path + fileName;
}

// Everything before the last '/' of an absolute path ("/" for a file in the root).
std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? std::string("/") : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

struct FileContents {
    bool exists = false;
    std::string text;
    struct stat status {};
};

// Reads the whole file; a missing file is not an error. False with reason set otherwise.
bool readFile(const std::string& path, FileContents& contents, std::string& reason) {
    // O_NONBLOCK: a FIFO put in the file's place must not hang the program.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.get() < 0) {
        if (errno == ENOENT) {
            contents.exists = false;
            return true;
        }
        reason = std::strerror(errno);
        return false;
    }
    if (::fstat(file.get(), &contents.status) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(contents.status.st_mode)) {
        reason = "not a regular file";
        return false;
    }
    const auto tooLarge = [&reason] {
        reason = "larger than 1 MiB, so not a settings file; left as it is";
        return false;
    };
    if (static_cast<unsigned long long>(contents.status.st_size) > MAX_FILE_SIZE) {
        return tooLarge();
    }
    contents.text.clear();
    char buffer[16384];
    for (;;) {
        const ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            reason = std::strerror(errno);
            return false;
        }
        if (count == 0) {
            break;
        }
        contents.text.append(buffer, static_cast<std::size_t>(count));
        if (contents.text.size() > MAX_FILE_SIZE) {
            return tooLarge();  // it grew while being read
        }
    }
    contents.exists = true;
    return true;
}

// The file a write to path must replace: path itself, or the final target of the
// symbolic link(s) it names, which need not exist yet. Relative links are resolved
// against the directory of the link.
bool resolveLinks(std::string path, std::string& target, std::string& reason) {
    for (int hop = 0; hop <= MAX_SYMLINK_HOPS; ++hop) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0) {
            if (errno == ENOENT) {
                target = path;  // a new file, perhaps in directories still to be made
                return true;
            }
            reason = std::strerror(errno);
            return false;
        }
        if (!S_ISLNK(status.st_mode)) {
            target = path;
            return true;
        }
        std::string link(static_cast<std::size_t>(status.st_size) + 256, '\0');
        ssize_t length;
        while ((length = ::readlink(path.c_str(), link.data(), link.size())) >= 0 &&
               static_cast<std::size_t>(length) == link.size()) {
            link.resize(link.size() * 2);  // possibly cut short: try again with more room
        }
        if (length < 0) {
            reason = std::strerror(errno);
            return false;
        }
        if (length == 0) {
            reason = "empty symbolic link";
            return false;
        }
        link.resize(static_cast<std::size_t>(length));
        path = link[0] == '/' ? link : directoryOf(path) + "/" + link;
    }
    reason = std::strerror(ELOOP);
    return false;
}

// mkdir -p, new directories private to the user. False with the directory that could
// not be made and the reason.
bool makeDirectories(const std::string& directory, std::string& failed, std::string& reason) {
    for (std::size_t end = 1; end <= directory.size(); ++end) {
        if (end < directory.size() && directory[end] != '/') {
            continue;
        }
        const std::string prefix = directory.substr(0, end);
        struct stat status {};
        if (::stat(prefix.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
            continue;
        }
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
            failed = prefix;
            reason = std::strerror(errno);
            return false;
        }
    }
    return true;
}

bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t count = ::write(fd, text.data() + done, text.size() - done);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            if (count == 0) {
                errno = EIO;
            }
            return false;
        }
        done += static_cast<std::size_t>(count);
    }
    return true;
}

// A new, empty file beside target that no one else has opened: its name is unique to
// this process and call, and O_EXCL refuses any file already there.
int createTemporary(const std::string& target, mode_t mode, std::string& temporaryPath) {
    static std::atomic<unsigned> counter{0};
    const std::string stem = directoryOf(target) + "/." + baseNameOf(target) + ".tmp-" + std::to_string(::getpid());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath = stem + "-" + std::to_string(counter++);
        const int fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

// Writes text to a temporary beside target and renames it over target. False with
// reason set, and the temporary removed, when any step fails.
bool replaceFile(const std::string& target, const FileContents& old, const std::string& text, std::string& reason) {
    std::string temporaryPath;
    // A new file is made with 0666 so that the umask decides; a replacement starts
    // private and is given the old file's bits once its owner is right.
    FileDescriptor file(createTemporary(target, old.exists ? 0600 : 0666, temporaryPath));
    if (file.get() < 0) {
        reason = std::strerror(errno);
        return false;
    }
    const auto fail = [&] {
        reason = std::strerror(errno);
        ::unlink(temporaryPath.c_str());
        return false;
    };
    if (old.exists) {
        // Changing the owner needs privileges this program usually lacks; keeping the
        // owner then happens anyway, as the same user owns both files.
        if (old.status.st_uid != ::geteuid() || old.status.st_gid != ::getegid()) {
            [[maybe_unused]] const int ignored = ::fchown(file.get(), old.status.st_uid, old.status.st_gid);
        }
        if (::fchmod(file.get(), old.status.st_mode & 07777) != 0) {
            return fail();
        }
    }
    if (!writeAll(file.get(), text) || ::fsync(file.get()) != 0 || !file.close()) {
        return fail();
    }
    if (::rename(temporaryPath.c_str(), target.c_str()) != 0) {
        return fail();
    }
    // The rename is done; syncing the directory makes it last through a power cut. Some
    // file systems cannot sync a directory, and the file is written either way.
    FileDescriptor directory(::open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0) {
        ::fsync(directory.get());
    }
    return true;
}

bool writeProfile(const char* section, const char* key, const char* value, const char* fileName) {
    const std::string name = fileName != nullptr ? fileName : "";
    if (name.empty()) {
        lastError = "cannot write the settings file: no file name";
        return false;
    }
    const std::string path = settingsPath(fileName);
    if (path.empty()) {
        lastError = "cannot write " + name + ": no settings directory, as no home directory is known";
        return false;
    }
    const auto failure = [&path](const std::string& reason) {
        lastError = "cannot write " + path + ": " + reason;
        return false;
    };
    if (section == nullptr || key == nullptr || value == nullptr || !profileNamesWritable(section, key, value)) {
        return failure("the section, key or value cannot be kept in a settings file");
    }

    std::string target;
    std::string reason;
    if (!resolveLinks(path, target, reason)) {
        return failure(reason);
    }
    const auto targetFailure = [&](const std::string& why) {
        return failure(target == path ? why : "its target " + target + ": " + why);
    };

    std::string failedDirectory;
    if (!makeDirectories(directoryOf(target), failedDirectory, reason)) {
        return targetFailure("cannot create directory " + failedDirectory + ": " + reason);
    }
    FileContents old;
    if (!readFile(target, old, reason)) {
        return targetFailure(reason);
    }
    const std::string text = profileWriteString(old.exists ? old.text : std::string(), section, key, value);
    if (!replaceFile(target, old, text, reason)) {
        return targetFailure(reason);
    }
    lastError.clear();
    return true;
}

}  // namespace

std::int32_t platformGetPrivateProfileInt(const char* section, const char* key, std::int32_t defaultValue,
                                          const char* fileName) {
    if (section == nullptr || key == nullptr || fileName == nullptr || fileName[0] == '\0') {
        return defaultValue;
    }
    const std::string path = settingsPath(fileName);
    FileContents contents;
    std::string reason;
    if (path.empty() || !readFile(path, contents, reason) || !contents.exists) {
        return defaultValue;
    }
    return profileReadInt(contents.text, section, key, defaultValue);
}

bool platformWritePrivateProfileString(const char* section, const char* key, const char* value,
                                       const char* fileName) {
    return writeProfile(section, key, value, fileName);
}

const char* platformProfileError() { return lastError.c_str(); }
