// Small files read and replaced whole, the one way every file of the
// program is written: the settings domains, the launch agent and the
// input-source state.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include <sys/types.h>

namespace vanto {

// Reasons of our own, beside the system's.
enum class FileError {
    notRegular = 1, // a folder, a FIFO, a device or a socket where a file belongs
    tooLarge,
};
std::error_code make_error_code(FileError error);

struct FileContents {
    bool missing = false;  // nothing at the path
    std::error_code error; // something there, but it could not be read
    std::vector<std::uint8_t> bytes;
};

// Reads a regular file of at most maxSize bytes. Anything else at the path
// is an error, found without blocking: a FIFO must not hang the reader.
FileContents readRegularFile(const std::filesystem::path& file, std::size_t maxSize);

// Replaces file with bytes, atomically and durably: a temporary file in the
// same folder is written, given mode (whatever the umask), flushed to the
// disk and renamed over file, and the folder is flushed so that the rename
// lasts. A crash leaves either the old file or the new one, and at worst a
// temporary file named by temporaryPrefix(file) and six more characters.
std::error_code replaceFile(const std::filesystem::path& file, std::span<const std::uint8_t> bytes,
                            mode_t mode);
std::string temporaryPrefix(const std::filesystem::path& file);

// Removes the temporary files replaceFile left for file when its writer was
// killed. Only safe while no other writer of file can be at work.
void removeTemporaries(const std::filesystem::path& file);

// Creates folder and its missing parents with mode, whatever the umask;
// folders that exist keep theirs.
std::error_code makeFolders(const std::filesystem::path& folder, mode_t mode);

} // namespace vanto

template <> struct std::is_error_code_enum<vanto::FileError> : std::true_type {};
