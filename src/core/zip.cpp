// Zip extraction and one-file packing on minizip.
//
// Index
//   [entry checks]   fork names and link texts that would leave the extraction folder
//   [entry reading]  reading the current entry whole
//   [extraction]     zip_walk_entries, zip_to_file, zip_to_file_logged, unzip_resource_fork, unzip_symlink
//   [packing]        file_to_zip
#include "core/zip.h"

#include <minizip/unzip.h>
#include <minizip/zip.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <vector>

#include "core/errors.h"
#include "core/globals.h"
#include "core/paths.h"
#include "platform/forks.h"
#include "platform/owners.h"
#include "platform/part_files.h"

namespace {

constexpr int err_no_memory = 12;

constexpr const char macosx_prefix[] = "__MACOSX";
constexpr size_t macosx_prefix_length = 8;
constexpr uLong symlink_attributes = 0xA1ED0000u;  // a link with mode 0755
constexpr uLong link_type_bits = 0xA000;
constexpr uint64_t fork_size_limit = uint64_t(1) << 31;
constexpr size_t pack_chunk = 1 << 20;         // zipWriteInFileInZip takes a 32-bit length
constexpr uLong unix_made_by = (3 << 8) | 20;  // host Unix, zip format 2.0

// Entries are copied in pieces of at most this size, so memory never grows with the entry.
constexpr size_t stream_chunk = size_t(1) << 20;
constexpr size_t smallest_chunk = 4096;
// No AppleDouble image can be larger than its header and the largest fork we
// pack; no link text can be longer than the system takes. A larger declared
// size is a damaged or hostile archive, refused before any allocation.
constexpr uint64_t appledouble_entry_limit = plat::appledouble_header_size + fork_size_limit;
constexpr uint64_t link_text_limit = 4095;

#define NOTE_FAILURE() (sErrFile = __FILE__, sErrLine = __LINE__)

// Where this thread's extraction logs: the log itself, or the text zip_to_file_logged keeps for
// its caller to write in its own order.
thread_local std::ostream* extraction_log = nullptr;

std::ostream& zip_log()
{
    return extraction_log != nullptr ? *extraction_log : xer;
}

// The file-system reference layer reported errors in the original's own numbers.
int reference_error(int error)
{
    switch (error) {
        case ENOENT:
            return -43;
        case ENOTDIR:
            return -120;
        case EACCES:
        case EPERM:
            return -5000;
        case ENAMETOOLONG:
            return -37;
        default:
            return error;
    }
}

// A name as one log line: control bytes shown as '?'.
std::string printable(std::string text)
{
    for (char& c : text)
        if ((unsigned char)c < 0x20 || c == 0x7f)
            c = '?';
    return text;
}

// ---------------------------------------------------------------------------
// [entry checks]
// ---------------------------------------------------------------------------

std::vector<std::string> split_components(const std::string& text, bool any_separator)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : text) {
        if (any_separator ? is_folder_separator(c) : c == '/') {
            parts.push_back(part);
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    parts.push_back(part);
    return parts;
}

// ---------------------------------------------------------------------------
// [entry reading]
// ---------------------------------------------------------------------------

struct malloc_free {
    void operator()(void* p) const { std::free(p); }
};
using byte_buffer = std::unique_ptr<unsigned char, malloc_free>;

// An archive open for reading, closed on every way out.
struct unzip_closer {
    void operator()(void* archive) const { (void)unzClose(archive); }  // nothing was written to report
};
using unzip_handle = std::unique_ptr<void, unzip_closer>;

// Opens, reads whole and closes the current entry. An entry of 0 bytes needs
// no buffer; a short read is 20002; the close reports a CRC mismatch.
int read_current_entry(unzFile archive, const unz_file_info64& info, byte_buffer& buffer, size_t& length)
{
    length = 0;
    int error = unzOpenCurrentFile(archive);
    if (error != UNZ_OK) {
        NOTE_FAILURE();
        return error;
    }
    const uint64_t size = info.uncompressed_size;
    if (size > 0) {
        if (size > SIZE_MAX - 1) {
            unzCloseCurrentFile(archive);
            NOTE_FAILURE();
            return err_no_memory;
        }
        buffer.reset(static_cast<unsigned char*>(std::malloc(size_t(size))));
        if (!buffer) {
            unzCloseCurrentFile(archive);
            NOTE_FAILURE();
            return err_no_memory;
        }
        // unzReadCurrentFile takes an unsigned count; large entries come in pieces.
        uint64_t done = 0;
        while (done < size) {
            const uint64_t want64 = size - done < (uint64_t(1) << 30) ? size - done : (uint64_t(1) << 30);
            const int got = unzReadCurrentFile(archive, buffer.get() + done, unsigned(want64));
            if (got <= 0)
                break;
            done += uint64_t(got);
        }
        if (done != size) {
            unzCloseCurrentFile(archive);
            NOTE_FAILURE();
            return kErrZipRead;
        }
        length = size_t(size);
    }
    error = unzCloseCurrentFile(archive);
    if (error != UNZ_OK) {
        NOTE_FAILURE();
        return error;
    }
    return 0;
}

void log_entry_failure(const char* what, int code, const std::string& path)
{
    zip_log() << what << code << ". file = " << sErrFile << " line = " << sErrLine << ". inFile=" << path << ".\n";
}

void log_summary(int code, const std::string& zip, const std::string& dir)
{
    zip_log() << "Zip to file failed with error err = " << code << ". file = " << sErrFile << " line = " << sErrLine
              << ". zip_file=" << zip << ", out_directory=" << dir << ".\n";
}

// Copies the current entry into a part file beside path, its CRC computed as the bytes go by,
// and only when every byte arrived and the CRC holds does the part file take path's place
// (with the entry's mode bits already set). On any failure the file at path stays exactly as
// it was. The fork kept beside a replaced file belonged to it and goes with it.
int extract_entry_beside(unzFile archive, const unz_file_info64& info, const std::string& path)
{
    int error = unzOpenCurrentFile(archive);
    if (error != UNZ_OK) {
        NOTE_FAILURE();
        return error;
    }
    plat::part_file part(plat::part_folder(path));
    if (part.error() != 0) {
        NOTE_FAILURE();
        unzCloseCurrentFile(archive);
        return part.error();
    }
    std::vector<unsigned char> chunk(std::clamp<uint64_t>(info.uncompressed_size, smallest_chunk, stream_chunk));
    uLong crc = crc32(0, nullptr, 0);
    uint64_t done = 0;
    while (error == 0) {
        const int got = unzReadCurrentFile(archive, chunk.data(), unsigned(chunk.size()));
        if (got <= 0) {
            if (got < 0) {
                error = got;
                NOTE_FAILURE();
            }
            break;
        }
        crc = crc32(crc, chunk.data(), unsigned(got));
        done += uint64_t(got);
        error = part.write(chunk.data(), size_t(got));
        if (error != 0)
            NOTE_FAILURE();
    }
    if (error == 0 && done != info.uncompressed_size) {
        error = kErrZipRead;
        NOTE_FAILURE();
    }
    const int closed = unzCloseCurrentFile(archive);
    if (error == 0 && closed != UNZ_OK) {
        error = closed;
        NOTE_FAILURE();
    }
    if (error == 0 && crc != info.crc) {
        error = UNZ_CRCERROR;
        NOTE_FAILURE();
    }
    // A mode of 000 (DOS-only attributes) would leave the file unreadable.
    const mode_t mode = mode_t((info.external_fa >> 16) & 0777);
    if (error == 0 && mode != 0) {
        error = part.set_mode(mode);
        if (error != 0)
            NOTE_FAILURE();
    }
    if (error == 0) {
        error = part.commit(path);
        if (error != 0)
            NOTE_FAILURE();
    }
    if (error == 0)
        plat::sidecar_delete(path);
    return error;
}

int extract_plain_file(unzFile archive, const std::string& raw_path, const unz_file_info64& info)
{
    std::string path = raw_path;
    set_dir_chars(path);
    const int error = extract_entry_beside(archive, info, path);
    if (error != 0)
        log_entry_failure("Zip to file failed with error ", error, path);
    return error;
}

// The file an AppleDouble entry below "__MACOSX/" describes must lie inside
// the folder: its leaf, once the "._" is taken out, may not be empty, "." or
// "..", which would put the fork on the folder itself, its sidecar or the
// attributes on the folder above. Names without "._" in the leaf are skipped
// later and pass here.
bool appledouble_target_is_safe(const std::string& rest)
{
    size_t leaf = rest.size();
    while (leaf > 0 && !is_folder_separator(rest[leaf - 1]))
        --leaf;
    const size_t marker = rest.rfind("._");
    if (marker == std::string::npos || marker < leaf)
        return true;
    std::string described = rest.substr(leaf);
    described.erase(marker - leaf, 2);
    return !described.empty() && described != "." && described != "..";
}

// A link text may climb `depth` folders and no more. ".." may only lead the
// text: one after a name could climb out of a linked folder that a plain
// lexical walk would keep inside.
bool link_text_stays_within(int depth, const std::string& target)
{
    if (target.empty() || target[0] == '/')
        return false;
    // symlink() would stop at a NUL: "..\0x" passes as one name but links "..".
    if (target.find('\0') != std::string::npos)
        return false;
    bool seen_name = false;
    for (const std::string& part : split_components(target, false)) {
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (seen_name || --depth < 0)
                return false;
        } else {
            seen_name = true;
        }
    }
    return true;
}

// How many folders the link's folder really lies below the extraction folder,
// links already followed (an earlier entry may have made "x" a link to ".", so
// "x/y" is only one folder down). 0 when it lies outside, as in a user's own
// linked folder: a link there may not climb at all.
int folder_depth_on_disk(const std::string& dir, const std::string& link_path)
{
    const size_t cut = link_path.rfind('/');
    const std::string folder = cut == std::string::npos ? "." : link_path.substr(0, cut + 1);
    const std::unique_ptr<char, malloc_free> real_dir(realpath(dir.empty() ? "." : dir.c_str(), nullptr));
    const std::unique_ptr<char, malloc_free> real_folder(realpath(folder.empty() ? "." : folder.c_str(), nullptr));
    int depth = 0;
    if (real_dir && real_folder) {
        std::string base = real_dir.get();
        const std::string inner = real_folder.get();
        if (base.back() != '/')
            base += '/';
        if (inner.compare(0, base.size(), base) == 0) {
            for (const std::string& part : split_components(inner.substr(base.size()), false))
                if (!part.empty())
                    ++depth;
        }
    }
    return depth;
}

}  // namespace

bool zip_link_target_is_safe(const std::string& entry_name, const std::string& target)
{
    std::vector<std::string> location = split_components(entry_name, true);
    location.pop_back();
    int depth = 0;
    for (const std::string& part : location)
        if (!part.empty() && part != ".")
            ++depth;
    return link_text_stays_within(depth, target);
}

// ---------------------------------------------------------------------------
// [extraction]
// ---------------------------------------------------------------------------

int unzip_resource_fork(void* handle, std::string path, const unz_file_info64_s& info)
{
    unzFile archive = static_cast<unzFile>(handle);
    // Only the leaf names the described file; a "._" in a folder above it does not.
    size_t leaf = path.size();
    while (leaf > 0 && !is_folder_separator(path[leaf - 1]))
        --leaf;
    const size_t marker = path.rfind("._");
    if (marker == std::string::npos || marker < leaf)
        return 0;  // not an AppleDouble name
    path.erase(marker, 2);
    set_dir_chars(path);

    byte_buffer buffer;
    size_t length = 0;
    int error = 0;
    if (info.uncompressed_size > appledouble_entry_limit) {
        error = kErrZipForkHeader;
        NOTE_FAILURE();
    } else {
        error = read_current_entry(archive, info, buffer, length);
    }
    plat::appledouble_parts parts;
    if (error == 0) {
        error = plat::appledouble_decode(buffer.get(), length, parts);
        if (error != 0)
            NOTE_FAILURE();
    }
    if (error == 0) {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0)
            return 0;  // its file is not here: nothing to apply

        uint8_t finder[plat::finder_info_size];
        std::string fork;
        // What the file has is the base the entry's parts go over; where that cannot be read (a
        // damaged sidecar), fork_read leaves both empty and the entry's parts stand alone.
        (void)plat::fork_read(path, finder, fork);
        if (parts.has_finder)
            std::memcpy(finder, parts.finder16, sizeof(finder));
        if (parts.has_fork && parts.fork_length > 0)
            fork.assign(reinterpret_cast<const char*>(parts.fork), parts.fork_length);
        error = plat::fork_write(path, finder, fork);
        if (error != 0)
            NOTE_FAILURE();
    }
    if (error != 0)
        log_entry_failure("Unzip RF failed with error ", error, path);
    return error;
}

int unzip_symlink(const std::string& path, const std::string& text)
{
    const int error = plat::replace_with_link(plat::part_folder(path), text, path);
    if (error == 0) {
        plat::sidecar_delete(path);
        return 0;
    }
    // The original reported every failure to make the link as -1; the cause goes to the log.
    NOTE_FAILURE();
    zip_log() << "Zip to symlink could not make " << path << ": " << error_str(error) << "\n";
    log_entry_failure("Zip to symlink failed with error ", -1, path);
    return -1;
}

namespace {

// Extracts the entry the archive stands at, by its kind: a folder, a fork below "__MACOSX/", a
// link or a plain file. A refused entry is EINVAL after its one log line; any other failure is
// logged with the archive's summary.
int extract_entry(unzFile archive, const std::string& entry, const unz_file_info64& info, const std::string& zip,
                  const std::string& dir)
{
    int error = 0;
    const std::string out_path = dir + entry;
    const bool is_macosx = entry.compare(0, macosx_prefix_length, macosx_prefix) == 0;
    if (is_folder_separator(entry.back())) {
        if (!is_macosx) {
            const int made = make_folder(out_path);
            error = (made == 0 || made == -48 || made == EEXIST) ? 0 : made;
            if (error != 0)
                NOTE_FAILURE();
        }
    } else if (is_macosx) {
        const std::string rest = entry.size() > macosx_prefix_length + 1 ? entry.substr(macosx_prefix_length + 1) : "";
        if (!appledouble_target_is_safe(rest)) {
            NOTE_FAILURE();
            zip_log() << "Zip to file refused the entry " << printable(entry) << " of " << zip
                      << ": it describes no file inside " << dir << ".\n";
            return EINVAL;
        }
        error = unzip_resource_fork(archive, dir + rest, info);
    } else if (((info.external_fa >> 16) & link_type_bits) == link_type_bits) {
        // The link text is checked before anything is made, so a later entry can
        // never write through a link that leads out of the folder.
        byte_buffer buffer;
        size_t length = 0;
        if (info.uncompressed_size > link_text_limit) {
            error = ENAMETOOLONG;
            NOTE_FAILURE();
            log_entry_failure("Zip to symlink failed with error ", error, out_path);
        } else {
            error = read_current_entry(archive, info, buffer, length);
        }
        if (error == 0) {
            const std::string text(reinterpret_cast<const char*>(buffer.get()), length);
            std::string link_path = out_path;
            set_dir_chars(link_path);
            const bool inside = zip_link_target_is_safe(entry, text) &&
                link_text_stays_within(folder_depth_on_disk(dir, link_path), text);
            if (!inside) {
                NOTE_FAILURE();
                zip_log() << "Zip to file refused the link " << entry << " -> " << text << " of " << zip
                          << ": it leads outside " << dir << ".\n";
                return EINVAL;
            }
            error = unzip_symlink(link_path, text);
        }
    } else {
        error = extract_plain_file(archive, out_path, info);
    }
    if (error != 0) {
        zip_log() << "UNZIP zip_to_file failed with err=" << error << "\n";
        log_summary(error, zip, dir);
    }
    return error;
}

}  // namespace

int zip_walk_entries(const std::string& path, const zip_entry_visitor& visit, zip_walk_step* failed)
{
    zip_walk_step ignored = ZIP_STEP_NONE;
    zip_walk_step& step = failed != nullptr ? *failed : ignored;
    step = ZIP_STEP_NONE;
    const unzip_handle archive(unzOpen64(path.c_str()));
    if (!archive) {
        step = ZIP_STEP_OPEN;
        return kErrZipOpen;
    }
    int error = unzGoToFirstFile(archive.get());
    while (true) {
        unz_file_info64 info;
        if (error == UNZ_OK)
            error = unzGetCurrentFileInfo64(archive.get(), &info, nullptr, 0, nullptr, 0, nullptr, 0);
        // The name buffer is sized from the entry itself, so no name is cut short.
        std::vector<char> name;
        if (error == UNZ_OK) {
            name.assign(info.size_filename + 1, '\0');
            error =
                unzGetCurrentFileInfo64(archive.get(), &info, name.data(), uLong(name.size()), nullptr, 0, nullptr, 0);
        }
        if (error != UNZ_OK) {
            step = ZIP_STEP_RECORD;
            return error;
        }
        const int answer = visit(archive.get(), std::string(name.data(), info.size_filename), info);
        if (answer != 0)
            return answer;
        error = unzGoToNextFile(archive.get());
        if (error == UNZ_END_OF_LIST_OF_FILE)
            return 0;
        if (error != UNZ_OK) {
            step = ZIP_STEP_NEXT;
            return error;
        }
    }
}

int zip_to_file(std::string zip, std::string dir, std::string* name, int use_name)
{
    zip = app_path + zip;
    dir = app_path + dir;
    set_dir_chars(zip);
    set_dir_chars(dir);

    bool first = true;
    const auto extract = [&](void* archive, const std::string& stored, const unz_file_info64& info) {
        std::string entry = first && use_name && name != nullptr ? *name : stored;
        if (!relative_path_is_safe(entry)) {
            NOTE_FAILURE();
            zip_log() << "Zip to file refused the entry " << printable(entry) << " of " << zip
                      << ": it would land outside " << dir << " or holds control characters.\n";
            return EINVAL;
        }
        if (first && name != nullptr && !use_name) {
            *name = entry;
            set_dir_chars(*name);
        }
        first = false;
        return extract_entry(static_cast<unzFile>(archive), entry, info, zip, dir);
    };
    zip_walk_step failed = ZIP_STEP_NONE;
    const int error = zip_walk_entries(zip, extract, &failed);
    switch (failed) {
        case ZIP_STEP_OPEN:
            NOTE_FAILURE();
            zip_log() << "ok i am about to report that i could not open a zip file for extraction!\n";
            zip_log() << "that incoming file is " << zip << "\n";
            zip_log() << "in c-form, it is " << zip.c_str() << "\n";
            zip_log() << "the size is " << zip.size() << "\n";
            break;
        case ZIP_STEP_RECORD:
            zip_log() << "err != UNZ_OK! err=" << error << "\n";
            // An archive without entries has nothing to extract.
            if (error == UNZ_END_OF_LIST_OF_FILE)
                return 0;
            NOTE_FAILURE();
            break;
        case ZIP_STEP_NEXT:
            NOTE_FAILURE();
            zip_log() << "NEXTFILE zip_to_file failed with err=" << error << "\n";
            break;
        case ZIP_STEP_NONE:
            return error;  // the entry's own failure, logged where it happened
    }
    log_summary(error, zip, dir);
    return error;
}

int zip_to_file_logged(const std::string& zip, const std::string& dir, std::string* log)
{
    std::ostringstream kept;
    // Restored however the extraction ends, so no later extraction on this thread writes to a
    // stream that is gone.
    struct restore {
        ~restore() { extraction_log = nullptr; }
    } restore_after;
    extraction_log = &kept;
    const int error = zip_to_file(zip, dir, nullptr, 0);
    *log += kept.str();
    return error;
}

// ---------------------------------------------------------------------------
// [packing]
// ---------------------------------------------------------------------------

namespace {

int open_entry(zipFile archive, const std::string& name, const zip_fileinfo* info, int method, uint64_t length)
{
    const int zip64 = length >= 0xffffffffu ? 1 : 0;
    // Entries carrying a Unix mode say so in "version made by" (host 3, Unix);
    // other tools apply the mode bits only then.
    const uLong made_by = (info != nullptr && info->external_fa != 0) ? unix_made_by : 0;
    const int error = zipOpenNewFileInZip4_64(archive, name.c_str(), info, nullptr, 0, nullptr, 0, nullptr, method,
                                              Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY,
                                              nullptr, 0, made_by, 0, zip64);
    if (error != ZIP_OK)
        NOTE_FAILURE();
    return error;
}

// Closes the entry that open_entry began; the first error of the two is the result.
int close_entry(zipFile archive, int error)
{
    const int closed = zipCloseFileInZip(archive);
    if (error == 0 && closed != ZIP_OK) {
        NOTE_FAILURE();
        error = closed;
    }
    return error;
}

int write_entry(zipFile archive, const std::string& name, const zip_fileinfo* info, int method, const void* data,
                uint64_t length)
{
    int error = open_entry(archive, name, info, method, length);
    if (error != ZIP_OK)
        return error;
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    while (length > 0 && error == 0) {
        const unsigned piece = unsigned(length < pack_chunk ? length : pack_chunk);
        error = zipWriteInFileInZip(archive, bytes, piece);
        if (error != ZIP_OK)
            NOTE_FAILURE();
        bytes += piece;
        length -= piece;
    }
    return close_entry(archive, error);
}

// An archive open for writing, closed however the packing ends. The close writes the archive's
// directory and can fail, so a packing that reaches its end closes through finish_archive.
struct zip_writer_closer {
    void operator()(void* archive) const { (void)zipClose(archive, nullptr); }  // the packing failed already
};
using zip_writer_handle = std::unique_ptr<void, zip_writer_closer>;

// Closes the archive; the first error of the packing and the close is the result.
int finish_archive(zip_writer_handle archive, int error)
{
    const int closed = zipClose(archive.release(), nullptr);
    if (error == 0 && closed != ZIP_OK) {
        NOTE_FAILURE();
        error = closed;
    }
    return error;
}

// Packs a file's bytes as read from fd in pieces, so memory stays the same whatever its size.
int write_file_entry(zipFile archive, const std::string& name, const zip_fileinfo* info, int fd, uint64_t length)
{
    int error = open_entry(archive, name, info, Z_DEFLATED, length);
    if (error != ZIP_OK)
        return error;
    std::vector<unsigned char> piece(pack_chunk);
    while (error == 0) {
        const ssize_t got = read(fd, piece.data(), piece.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            if (got < 0) {
                error = errno;
                NOTE_FAILURE();
            }
            break;
        }
        error = zipWriteInFileInZip(archive, piece.data(), unsigned(got));
        if (error != ZIP_OK)
            NOTE_FAILURE();
    }
    return close_entry(archive, error);
}

int pack_file(const std::string& file, const std::string& zip)
{
    const std::string full = app_path + file;
    std::string normal = full;
    set_dir_chars(normal);
    size_t cut = normal.size();
    while (cut > 0 && normal[cut - 1] != '/')
        --cut;
    const std::string leaf = normal.substr(cut);
    const std::string zip_path = app_path + zip;

    struct stat st;
    if (lstat(normal.c_str(), &st) != 0) {
        NOTE_FAILURE();
        return reference_error(errno);
    }

    if (S_ISLNK(st.st_mode)) {
        std::vector<char> text(size_t(st.st_size > 0 ? st.st_size : 0) + 4096);
        const ssize_t got = readlink(normal.c_str(), text.data(), text.size());
        if (got < 0) {
            NOTE_FAILURE();
            return reference_error(errno);
        }
        zip_writer_handle archive(zipOpen64(zip_path.c_str(), APPEND_STATUS_CREATE));
        if (!archive) {
            NOTE_FAILURE();
            return kErrZipCreate;
        }
        zip_fileinfo info{};
        info.external_fa = symlink_attributes;
        const int error = write_entry(archive.get(), leaf, &info, 0, text.data(), uint64_t(got));
        return finish_archive(std::move(archive), error);
    }

    const plat::descriptor reader(open(normal.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!reader || !S_ISREG(st.st_mode)) {
        NOTE_FAILURE();
        return kErrFileOpenRead;
    }
    (void)posix_fadvise(reader.get(), 0, 0, POSIX_FADV_SEQUENTIAL);  // only a hint to read ahead further
    zip_writer_handle archive(zipOpen64(zip_path.c_str(), APPEND_STATUS_CREATE));
    if (!archive) {
        NOTE_FAILURE();
        return kErrZipCreate;
    }
    // The mode travels in the high 16 bits, so an executable stays executable.
    zip_fileinfo info{};
    info.external_fa = uLong(S_IFREG | (st.st_mode & 0777)) << 16;
    int error = write_file_entry(archive.get(), leaf, &info, reader.get(), uint64_t(st.st_size));

    if (error == 0) {
        uint8_t finder[plat::finder_info_size];
        std::string fork;
        if (plat::fork_read(normal, finder, fork) == 0 && !fork.empty()) {
            if (fork.size() >= fork_size_limit) {
                NOTE_FAILURE();
                error = kErrZipForkTooBig;
            } else {
                const std::string image = plat::appledouble_encode(finder, fork);
                error = write_entry(archive.get(), std::string(macosx_prefix) + "/._" + leaf, nullptr, Z_DEFLATED,
                                    image.data(), image.size());
            }
        }
    }
    return finish_archive(std::move(archive), error);
}

}  // namespace

int file_to_zip(std::string file, std::string zip)
{
    const int error = pack_file(file, zip);
    if (error != 0)
        xer << "file_to_zip failed with error " << error << ".\nfile = " << sErrFile << " line = " << sErrLine << "\n";
    return error;
}
