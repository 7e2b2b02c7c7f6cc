#include "portable_files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vanto {

namespace fs = std::filesystem;

namespace {

class FileErrorCategory final : public std::error_category {
  public:
    const char* name() const noexcept override { return "vanto.file"; }
    std::string message(int value) const override {
        switch (static_cast<FileError>(value)) {
        case FileError::notRegular:
            return "not a regular file";
        case FileError::tooLarge:
            return "file too large";
        }
        return "unknown error";
    }
};

std::error_code lastError() {
    return {errno, std::generic_category()};
}

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { close(); }
    int get() const { return fd_; }
    // A write error may show up only here.
    std::error_code close() {
        std::error_code error;
        if (fd_ >= 0 && ::close(fd_) != 0 && errno != EINTR) error = lastError();
        fd_ = -1;
        return error;
    }

  private:
    int fd_;
};

std::error_code writeAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return lastError();
        if (n == 0) return std::make_error_code(std::errc::io_error);
        done += static_cast<std::size_t>(n);
    }
    return {};
}

} // namespace

std::error_code make_error_code(FileError error) {
    static const FileErrorCategory category;
    return {static_cast<int>(error), category};
}

FileContents readRegularFile(const fs::path& file, std::size_t maxSize) {
    FileContents contents;
    Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) {
        if (errno == ENOENT)
            contents.missing = true;
        else
            contents.error = lastError();
        return contents;
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) {
        contents.error = lastError();
        return contents;
    }
    if (!S_ISREG(status.st_mode)) {
        contents.error = FileError::notRegular;
        return contents;
    }
    if (static_cast<std::uintmax_t>(status.st_size) > maxSize) {
        contents.error = FileError::tooLarge;
        return contents;
    }
    contents.bytes.reserve(static_cast<std::size_t>(status.st_size));
    std::uint8_t buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            contents.error = lastError();
            contents.bytes.clear();
            return contents;
        }
        if (n == 0) break;
        // The file may grow while it is read.
        if (contents.bytes.size() + static_cast<std::size_t>(n) > maxSize) {
            contents.error = FileError::tooLarge;
            contents.bytes.clear();
            return contents;
        }
        contents.bytes.insert(contents.bytes.end(), buffer, buffer + n);
    }
    return contents;
}

std::string temporaryPrefix(const fs::path& file) {
    return "." + file.filename().string() + ".";
}

std::error_code replaceFile(const fs::path& file, std::span<const std::uint8_t> bytes,
                            mode_t mode) {
    const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    std::string temporary = (folder / (temporaryPrefix(file) + "XXXXXX")).string();
    Descriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0) return lastError();
    // mkostemp made it 0600; the mode is set here, not left to the umask.
    std::error_code error = writeAll(fd.get(), bytes);
    if (!error && ::fchmod(fd.get(), mode) != 0) error = lastError();
    if (!error && ::fsync(fd.get()) != 0) error = lastError();
    if (const std::error_code closed = fd.close(); !error) error = closed;
    if (!error && ::rename(temporary.c_str(), file.c_str()) != 0) error = lastError();
    if (error) {
        ::unlink(temporary.c_str());
        return error;
    }
    // The rename is in the folder; only its flush makes it survive a crash.
    // Some file systems cannot flush a folder, and the file is in place by
    // now: that is no failure of the write.
    const Descriptor folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.get() >= 0) ::fsync(folderFd.get());
    return {};
}

void removeTemporaries(const fs::path& file) {
    const std::string prefix = temporaryPrefix(file);
    constexpr std::size_t kSuffix = 6; // the XXXXXX of mkostemp
    std::error_code error;
    const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() == prefix.size() + kSuffix && name.starts_with(prefix)) {
            std::error_code ignored;
            if (it->is_regular_file(ignored)) ::unlink(it->path().c_str());
        }
    }
}

std::error_code makeFolders(const fs::path& folder, mode_t mode) {
    std::error_code error;
    if (folder.empty() || fs::is_directory(folder, error)) return {};
    const fs::path parent = folder.parent_path();
    if (!parent.empty() && parent != folder) {
        if (const std::error_code failed = makeFolders(parent, mode)) return failed;
    }
    if (::mkdir(folder.c_str(), mode) != 0) {
        if (errno == EEXIST && fs::is_directory(folder, error)) return {};
        return lastError();
    }
    // mkdir applies the umask; the mode must hold whatever it is.
    if (::chmod(folder.c_str(), mode) != 0) return lastError();
    return {};
}

} // namespace vanto
