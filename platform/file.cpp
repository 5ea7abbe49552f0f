#include "platform/file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>
#include <vector>

#if __has_include(<unistd.h>)
#include <unistd.h>
#define PARLOUR_HAVE_FSYNC 1
#endif

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
#ifdef PARLOUR_HAVE_FSYNC
    if (::fsync(::fileno(m_file)) != 0 && errno != EINVAL && errno != EROFS)
        throw CFileException(errno == ENOSPC ? CFileException::diskFull : CFileException::generic);
#endif
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

bool ReplaceFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveFile(const std::string& path) {
    return std::remove(path.c_str()) == 0;
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

CArchive& CArchive::operator<<(uint32_t value) {
    std::vector<unsigned char> bytes;
    PutLE(bytes, value, 4);
    m_file->Write(bytes.data(), bytes.size());
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
    m_file->Write(bytes.data(), bytes.size());
    return *this;
}

uint64_t CArchive::Remaining() const {
    const uint64_t length = m_file->GetLength();
    const uint64_t position = m_file->GetPosition();
    return position < length ? length - position : 0;
}

void CArchive::ReadExactly(void* buffer, size_t count) {
    if (count > Remaining() || m_file->Read(buffer, count) != count)
        throw CArchiveException(CArchiveException::endOfFile);
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
