#include "platform/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>
#include <thread>
#include <vector>

CFile::~CFile() {
    Abort();
}

bool CFile::Open(const std::string& path, unsigned flags) {
    Abort();
    const char* mode = (flags & modeCreate) ? "wb" : ((flags & modeWrite) ? "r+b" : "rb");
    m_file = std::fopen(path.c_str(), mode);
    if (m_file && !(flags & (modeWrite | modeCreate))) {
        // A folder opens for reading on some systems; it is not a file.
        std::error_code ec;
        if (std::filesystem::is_directory(path, ec)) Abort();
    }
    return m_file != nullptr;
}

size_t CFile::Read(void* buffer, size_t count) {
    if (!m_file || count == 0) return 0;
    return std::fread(buffer, 1, count, m_file);
}

void CFile::Write(const void* buffer, size_t count) {
    if (!m_file) throw CFileException(CFileException::generic);
    if (count == 0) return;
    if (std::fwrite(buffer, 1, count, m_file) != count)
        throw CFileException(errno == ENOSPC ? CFileException::diskFull : CFileException::generic);
}

void CFile::Flush() {
    if (!m_file) throw CFileException(CFileException::generic);
    if (std::fflush(m_file) != 0)
        throw CFileException(errno == ENOSPC ? CFileException::diskFull : CFileException::generic);
    if (::fsync(::fileno(m_file)) != 0 && errno != EINVAL && errno != EROFS)
        throw CFileException(errno == ENOSPC ? CFileException::diskFull : CFileException::generic);
}

void CFile::Close() {
    if (!m_file) return;
    std::FILE* file = m_file;
    m_file = nullptr;
    if (std::fclose(file) != 0) throw CFileException(CFileException::generic);
}

void CFile::Abort() {
    if (m_file) std::fclose(m_file);
    m_file = nullptr;
}

uint64_t CFile::GetLength() const {
    if (!m_file) return 0;
    const long here = std::ftell(m_file);
    std::fseek(m_file, 0, SEEK_END);
    const long end = std::ftell(m_file);
    std::fseek(m_file, here, SEEK_SET);
    return end < 0 ? 0 : static_cast<uint64_t>(end);
}

uint64_t CFile::GetPosition() const {
    if (!m_file) return 0;
    const long here = std::ftell(m_file);
    return here < 0 ? 0 : static_cast<uint64_t>(here);
}

namespace {

// Closes a descriptor on every way out.
struct Fd {
    explicit Fd(int fd) : fd(fd) {}
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int fd;
};

void SyncFolderOf(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    Fd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // Some file systems cannot sync a folder; the rename has happened anyway.
    if (dir.fd >= 0) ::fsync(dir.fd);
}

}  // namespace

bool ReplaceFile(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0) return false;
    SyncFolderOf(to);
    return true;
}

bool RemoveFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec))
        names.push_back(it->path().filename().string());
    return names;
}

FileRead ReadSmallFile(const std::string& path, size_t limit, std::vector<unsigned char>* bytes) {
    bytes->clear();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        // A link to nowhere is there, but cannot be read.
        struct stat link {};
        return ::lstat(path.c_str(), &link) == 0 ? FileRead::unreadable : FileRead::missing;
    }
    // A FIFO or a device is never opened: opening one can block, and reading
    // one may never end.
    if (!S_ISREG(st.st_mode)) return FileRead::notAFile;
    Fd file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.fd < 0) return errno == ENOENT ? FileRead::missing : FileRead::unreadable;
    // It may have been swapped for something else since.
    if (::fstat(file.fd, &st) != 0) return FileRead::unreadable;
    if (!S_ISREG(st.st_mode)) return FileRead::notAFile;
    if (static_cast<uint64_t>(st.st_size) > limit) return FileRead::tooLarge;
    // One read past the limit tells a file that grew since.
    bytes->resize(static_cast<size_t>(st.st_size) + 1);
    size_t got = 0;
    while (got < bytes->size()) {
        const ssize_t n = ::read(file.fd, bytes->data() + got, bytes->size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            bytes->clear();
            return FileRead::unreadable;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
        if (got == bytes->size() && got <= limit) bytes->resize(std::min(limit + 1, got * 2));
    }
    if (got > limit) {
        bytes->clear();
        return FileRead::tooLarge;
    }
    bytes->resize(got);
    return FileRead::read;
}

bool WriteNewFile(const std::string& path, const std::vector<unsigned char>& bytes,
                  const std::string& like) {
    // Past a file-size limit (ulimit -f) the write then fails with EFBIG,
    // where the signal would end the program in the middle of it.
    std::signal(SIGXFSZ, SIG_IGN);
    struct stat old {};
    const bool keep = !like.empty() && ::stat(like.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    // Made private first, so a file meant for its owner alone never shows
    // more to anyone, even for a moment.
    Fd file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                   keep ? 0600 : 0666));
    if (file.fd < 0) return false;
    if (keep) {
        struct stat made {};
        const bool owner =
            ::fstat(file.fd, &made) == 0 && made.st_uid == old.st_uid && made.st_gid == old.st_gid;
        if (!owner && ::fchown(file.fd, old.st_uid, old.st_gid) != 0) {
            // Only root may give a file away: the new one stays the player's.
        }
        if (::fchmod(file.fd, old.st_mode & 07777) != 0) {
            // Some file systems keep no permissions: the bytes matter more.
        }
    }
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::write(file.fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<size_t>(n);
    }
    // A file system that cannot sync (EINVAL) has still taken the bytes.
    ok = ok && (::fsync(file.fd) == 0 || errno == EINVAL);
    ok = ::close(file.fd) == 0 && ok;
    file.fd = -1;
    if (!ok) ::unlink(path.c_str());
    return ok;
}

std::string WriteTemporaryFile(const std::string& prefix, const std::vector<unsigned char>& bytes,
                               const std::string& like) {
    static std::atomic<unsigned> serial{0};
    // Something already there under a name (a leftover, a folder) is passed by.
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string path = prefix + std::to_string(::getpid()) + "." + std::to_string(serial++);
        if (WriteNewFile(path, bytes, like)) return path;
        if (errno != EEXIST && errno != ELOOP && errno != EISDIR) break;
    }
    return "";
}

std::string MoveToFreeName(const std::string& from, const std::string& base) {
    // A name is taken only when nothing has it, so nothing kept there before
    // is ever replaced. Between the look and the move another program could
    // take the name: callers hold a lock that keeps ours from doing so.
    constexpr unsigned kMaxNumber = 100000;
    for (unsigned n = 0; n <= kMaxNumber; ++n) {
        const std::string to = n == 0 ? base : base + "." + std::to_string(n);
        struct stat st {};
        if (::lstat(to.c_str(), &st) == 0) continue;
        if (errno != ENOENT) return "";
        return ReplaceFile(from, to) ? to : "";
    }
    return "";
}

std::string FileBehindLink(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    // A link to nowhere or to something else than a plain file is left as it is.
    if (!fs::is_symlink(path, ec) || !fs::is_regular_file(path, ec)) return path;
    const fs::path target = fs::canonical(path, ec);
    return ec ? path : target.string();
}

CFileLock::~CFileLock() {
    if (m_fd >= 0) ::close(m_fd);  // closing lets go of the lock
}

namespace {

// What to lock at path: the lock file, made when missing. One the player may
// not write (left by the program run as another user) or a folder of that
// name is locked through a descriptor for reading: still the one file every
// program locks. A link there is never followed (it could lead anywhere, or
// nowhere); then, as when nothing at path can be opened, the caller locks
// the folder holding it, as every program that finds it so does.
int OpenLockFile(const std::string& path) {
    const int fd =
        ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd >= 0 || errno == ELOOP) return fd;
    return ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
}

}  // namespace

CFileLock::Result CFileLock::Lock(const std::string& path, uint32_t timeoutMs) {
    if (m_fd >= 0) return locked;
    int fd = OpenLockFile(path);
    if (fd < 0) {
        const std::filesystem::path folder = std::filesystem::path(path).parent_path();
        fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    if (fd < 0) return failed;
    // Poll rather than block, so a program stopped while holding the lock
    // cannot hang this one for ever.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK || errno == EINTR;
        if (!held || std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            return held ? busy : failed;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    m_fd = fd;
    return locked;
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

bool CreateDirectories(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    return std::filesystem::is_directory(path, ec);
}

namespace {
void PutLE(std::vector<unsigned char>& out, uint64_t value, int size) {
    for (int i = 0; i < size; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}
}  // namespace

CArchive& CArchive::operator<<(int32_t value) {
    return *this << static_cast<uint32_t>(value);
}

void CArchive::WriteBytes(const std::vector<unsigned char>& bytes) {
    if (m_out)
        m_out->insert(m_out->end(), bytes.begin(), bytes.end());
    else
        m_file->Write(bytes.data(), bytes.size());
}

CArchive& CArchive::operator<<(uint32_t value) {
    std::vector<unsigned char> bytes;
    PutLE(bytes, value, 4);
    WriteBytes(bytes);
    return *this;
}

CArchive& CArchive::operator<<(const CString& value) {
    // Always the UTF-16 form: the mark FF FE FF, then the length, then the units.
    std::vector<unsigned char> bytes{0xFF, 0xFE, 0xFF};
    const uint64_t length = value.size();
    if (length < 0xFF) {
        PutLE(bytes, length, 1);
    } else if (length < 0xFFFE) {
        PutLE(bytes, 0xFF, 1);
        PutLE(bytes, length, 2);
    } else {
        PutLE(bytes, 0xFF, 1);
        PutLE(bytes, 0xFFFF, 2);
        PutLE(bytes, length, 4);
    }
    for (char16_t unit : value) PutLE(bytes, unit, 2);
    WriteBytes(bytes);
    return *this;
}

uint64_t CArchive::Remaining() const {
    if (m_data || !m_file) return m_size - m_pos;
    const uint64_t length = m_file->GetLength();
    const uint64_t position = m_file->GetPosition();
    return position < length ? length - position : 0;
}

void CArchive::ReadExactly(void* buffer, size_t count) {
    if (count > Remaining()) throw CArchiveException(CArchiveException::endOfFile);
    if (!m_file) {
        if (count) std::memcpy(buffer, m_data + m_pos, count);
        m_pos += count;
    } else if (m_file->Read(buffer, count) != count) {
        throw CArchiveException(CArchiveException::endOfFile);
    }
}

uint8_t CArchive::ReadByte() {
    unsigned char b[1];
    ReadExactly(b, 1);
    return b[0];
}

uint16_t CArchive::ReadWord() {
    unsigned char b[2];
    ReadExactly(b, 2);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t CArchive::ReadDword() {
    unsigned char b[4];
    ReadExactly(b, 4);
    return uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
}

CArchive& CArchive::operator>>(int32_t& value) {
    value = static_cast<int32_t>(ReadDword());
    return *this;
}

CArchive& CArchive::operator>>(uint32_t& value) {
    value = ReadDword();
    return *this;
}

CArchive& CArchive::operator>>(CString& value) {
    bool utf16 = false;
    uint64_t length = ReadByte();
    if (length == 0xFF) {
        uint32_t word = ReadWord();
        if (word == 0xFFFE) {
            utf16 = true;
            length = ReadByte();
            if (length == 0xFF) word = ReadWord();
        }
        if (length == 0xFF) {
            if (word < 0xFFFF) {
                length = word;
            } else {
                const uint32_t dword = ReadDword();
                if (dword < 0xFFFFFFFFu) {
                    length = dword;
                } else {
                    const uint64_t low = ReadDword();
                    const uint64_t high = ReadDword();
                    length = low | (high << 32);
                    if (length >= (uint64_t{1} << 31))
                        throw CArchiveException(CArchiveException::badLength);
                }
            }
        }
    }
    // Refuse a length the file cannot hold before allocating anything.
    const uint64_t bytes = utf16 ? length * 2 : length;
    if (bytes > Remaining()) throw CArchiveException(CArchiveException::badLength);
    std::vector<unsigned char> raw(static_cast<size_t>(bytes));
    ReadExactly(raw.data(), raw.size());
    if (utf16) {
        value.resize(static_cast<size_t>(length));
        for (size_t i = 0; i < value.size(); ++i)
            value[i] = static_cast<char16_t>(raw[2 * i] | (raw[2 * i + 1] << 8));
    } else {
        value = FromCodePage1252(
            std::string_view(reinterpret_cast<const char*>(raw.data()), raw.size()));
    }
    return *this;
}
