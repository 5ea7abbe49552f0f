// Binary files and the archive of integers and strings they are written in.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

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

// Renames over an existing file in one step; false on failure.
bool ReplaceFile(const std::string& from, const std::string& to);
bool RemoveFile(const std::string& path);
bool FileExists(const std::string& path);
bool CreateDirectories(const std::string& path);

// Reads or writes little-endian integers and strings through a file. Reading
// never goes past the end of the file: a short read or a length that runs
// past it throws CArchiveException before anything is allocated.
class CArchive {
public:
    enum Mode { load, store };
    CArchive(CFile* file, Mode mode) : m_file(file), m_mode(mode) {}

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

private:
    void ReadExactly(void* buffer, size_t count);
    uint64_t Remaining() const;
    uint8_t ReadByte();
    uint16_t ReadWord();
    uint32_t ReadDword();

    CFile* m_file;
    Mode m_mode;
};
