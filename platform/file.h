// Binary files and the archive of integers and strings they are written in.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/strings.h"

class CFileException {
public:
    enum Cause { generic, endOfFile, diskFull, badPath };
    explicit CFileException(Cause cause) : m_cause(cause) {}
    Cause m_cause;
};

class CArchiveException {
public:
    enum Cause { generic, endOfFile, badLength };
    explicit CArchiveException(Cause cause) : m_cause(cause) {}
    Cause m_cause;
};

class CFile {
public:
    enum : unsigned { modeRead = 0x0, modeWrite = 0x1, modeCreate = 0x1000, typeBinary = 0x8000 };

    CFile() = default;
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens path (UTF-8); false when it cannot be opened.
    bool Open(const std::string& path, unsigned flags);
    // Reads up to count bytes; returns how many were read.
    size_t Read(void* buffer, size_t count);
    // Writes all bytes or throws CFileException.
    void Write(const void* buffer, size_t count);
    // Pushes written bytes to the disk; throws CFileException on failure.
    void Flush();
    // Closes; throws CFileException when buffered bytes could not be written.
    void Close();
    // Closes without reporting anything (after a failure).
    void Abort();
    uint64_t GetLength() const;
    uint64_t GetPosition() const;
    bool IsOpen() const { return m_file != nullptr; }

private:
    std::FILE* m_file = nullptr;
};

// Renames over an existing file in one step and syncs the folder, so the new
// name survives a crash; false when the rename failed.
bool ReplaceFile(const std::string& from, const std::string& to);
// Removes a file or a link (never what it points to, never a folder).
bool RemoveFile(const std::string& path);
bool FileExists(const std::string& path);
bool CreateDirectories(const std::string& path);
// The names in a folder; empty when it cannot be read.
std::vector<std::string> FolderEntries(const std::string& folder);

// What reading a small data file of the program's own found.
enum class FileRead {
    missing,     // nothing of that name
    read,        // read whole
    unreadable,  // there, but it cannot be opened or read
    notAFile,    // a folder, a FIFO, a device: never opened for reading
    tooLarge,    // more than the limit
};
// Reads path whole in one pass, never more than limit bytes, never blocking.
FileRead ReadSmallFile(const std::string& path, size_t limit, std::vector<unsigned char>* bytes);

// Creates path with these bytes and pushes them to the disk. The name must be
// new: an existing file, folder or link there is left alone and the call
// fails. When like names a plain file, the new file takes its permissions
// (and its owner, where that may be given). A file-size limit makes the call
// fail rather than end the program. On any failure nothing is left behind.
bool WriteNewFile(const std::string& path, const std::vector<unsigned char>& bytes,
                  const std::string& like = "");
// WriteNewFile under a name of this call's own, prefix + "<process>.<n>";
// gives the name, or "" on failure.
std::string WriteTemporaryFile(const std::string& prefix, const std::vector<unsigned char>& bytes,
                               const std::string& like = "");
// Moves from to the first of base, base.1, base.2, ... that names nothing,
// never over anything; gives the name taken, or "" on failure.
std::string MoveToFreeName(const std::string& from, const std::string& base);
// Where a file is really kept: the file a link at path leads to, when it
// leads to a plain file; otherwise path itself.
std::string FileBehindLink(const std::string& path);

// An exclusive lock on a lock file, held while this object lives. Programs
// that take it on the same file run one at a time.
class CFileLock {
public:
    enum Result { locked, busy, failed };
    CFileLock() = default;
    ~CFileLock();
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;
    // Creates the lock file when needed and waits at most timeoutMs for it:
    // busy when another holder kept it that long.
    Result Lock(const std::string& path, uint32_t timeoutMs);

private:
    int m_fd = -1;
};

// Reads or writes little-endian integers and strings through a file or a
// buffer in memory. Reading never goes past the end: a short read or a length
// that runs past it throws CArchiveException before anything is allocated.
class CArchive {
public:
    enum Mode { load, store };
    CArchive(CFile* file, Mode mode) : m_file(file), m_mode(mode) {}
    // Loads from bytes, which must outlive the archive.
    explicit CArchive(const std::vector<unsigned char>& bytes)
        : m_mode(load), m_data(bytes.data()), m_size(bytes.size()) {}
    // Stores by appending to *out.
    explicit CArchive(std::vector<unsigned char>* out) : m_mode(store), m_out(out) {}

    bool IsLoading() const { return m_mode == load; }
    bool IsStoring() const { return m_mode == store; }

    CArchive& operator<<(int32_t value);
    CArchive& operator<<(uint32_t value);
    CArchive& operator<<(const CString& value);
    CArchive& operator>>(int32_t& value);
    CArchive& operator>>(uint32_t& value);
    CArchive& operator>>(CString& value);

    void Flush() {}
    void Close() {}
    // Bytes left to load.
    uint64_t Remaining() const;

private:
    void ReadExactly(void* buffer, size_t count);
    void WriteBytes(const std::vector<unsigned char>& bytes);
    uint8_t ReadByte();
    uint16_t ReadWord();
    uint32_t ReadDword();

    CFile* m_file = nullptr;
    Mode m_mode;
    // Loading from memory.
    const unsigned char* m_data = nullptr;
    size_t m_size = 0;
    size_t m_pos = 0;
    // Storing to memory.
    std::vector<unsigned char>* m_out = nullptr;
};
