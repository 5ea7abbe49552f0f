#include "hiscores/hiscore_store.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

// Files written before ours held between one and nine tables; we read at most
// the seven games we have.
constexpr uint32_t kMaxTableCount = 9;

uint32_t Dword(const unsigned char* b) {
    return uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
}

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace

std::string DefaultDataDir() {
    // A relative XDG_DATA_HOME is to be ignored, as an unset one.
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return WithSlash(xdg) + "parlour/";
    const char* home = std::getenv("HOME");
    if (home && home[0] != '\0') return WithSlash(home) + ".local/share/parlour/";
    return "parlour/";
}

CHiScoreStore::CHiScoreStore() {
    for (CHiScoresDlg& table : m_hiScoreTables) table.SetStore(this);
}

void CHiScoreStore::DeleteAllEntries() {
    for (CHiScoresDlg& table : m_hiScoreTables) table.DeleteAllEntries();
}

void CHiScoreStore::LoadHiScores() {
    for (CHiScoresDlg& table : m_hiScoreTables) {
        table.DeleteAllEntries();
        table.m_lastName.clear();
        table.m_highlight = 0;
        table.m_title = u"Hi Scores";
    }
    m_fileDamaged = false;

    CFile file;
    if (!file.Open(ScoresPath(), CFile::modeRead | CFile::typeBinary)) return;
    unsigned char countBytes[4];
    const size_t got = file.Read(countBytes, sizeof countBytes);
    if (got == sizeof countBytes) {
        const uint32_t count = Dword(countBytes);
        if (count >= 1 && count <= kMaxTableCount) {
            CArchive ar(&file, CArchive::load);
            const int tables = static_cast<int>(std::min<uint32_t>(count, HISCORE_TABLE_COUNT));
            for (int i = 0; i < tables; ++i) {
                try {
                    m_hiScoreTables[static_cast<size_t>(i)].Serialize(ar);
                } catch (const CArchiveException&) {
                    // This table and the ones after it stay empty.
                    m_fileDamaged = true;
                    break;
                }
            }
        } else {
            m_fileDamaged = true;
        }
    } else if (got > 0) {
        m_fileDamaged = true;
    }
    for (size_t i = 0; i < m_hiScoreTables.size(); ++i)
        if (m_titles[i]) m_hiScoreTables[i].m_title = m_titles[i];
}

bool CHiScoreStore::WriteTables(const std::string& path) {
    if (!m_dataDir.empty() && !CreateDirectories(m_dataDir)) return false;
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary)) return false;
    try {
        CArchive ar(&file, CArchive::store);
        ar << static_cast<uint32_t>(HISCORE_TABLE_COUNT);
        for (CHiScoresDlg& table : m_hiScoreTables) table.Serialize(ar);
        file.Flush();
        file.Close();
    } catch (const CFileException&) {
        file.Abort();
        return false;
    }
    return true;
}

bool CHiScoreStore::KeepDamagedFile() {
    std::error_code ec;
    const std::string path = ScoresPath();
    if (!std::filesystem::exists(path, ec)) return !ec;
    std::filesystem::copy_file(path, path + ".bad",
                               std::filesystem::copy_options::overwrite_existing, ec);
    return !ec;
}

bool CHiScoreStore::SaveHiScores() {
    // The new file is whole on disk before it takes the old one's name, so a
    // crash or a full disk never leaves a damaged or empty file behind.
    const std::string path = ScoresPath();
    const std::string temp = path + ".tmp";
    bool saved = WriteTables(temp);
    if (saved && m_fileDamaged) saved = KeepDamagedFile();
    if (saved) saved = ReplaceFile(temp, path);
    if (!saved) {
        RemoveFile(temp);
        AfxMessageBox(u"can't write scores!", MB_OK);
        return false;
    }
    m_fileDamaged = false;
    return true;
}
