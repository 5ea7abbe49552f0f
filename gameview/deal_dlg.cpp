#include "gameview/deal_dlg.h"

#include <charconv>
#include <string>

#include "platform/host.h"
#include "res/resource.h"

CDealDlg::CDealDlg() : CDialog(IDD_CHOOSE_DEAL) {}

void CDealDlg::DoDataExchange(CDataExchange* dx) {
    // A deal number is 32 bits unsigned, past what the int exchange takes.
    CString text = FormatString("%u", m_deal);
    DDX_Text(dx, IDC_DEAL_NUMBER, text);
    if (!dx->m_bSaveAndValidate) return;
    std::string digits = ToUtf8(text);
    const size_t first = digits.find_first_not_of(" \t");
    const size_t last = digits.find_last_not_of(" \t");
    digits = first == std::string::npos ? std::string() : digits.substr(first, last - first + 1);
    // A sign is allowed, as in any number box; a negative number is out of range.
    const bool negative = !digits.empty() && digits[0] == '-';
    if (!digits.empty() && (digits[0] == '+' || negative)) digits.erase(0, 1);
    unsigned long long value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || end != digits.data() + digits.size() ||
        (error != std::errc() && error != std::errc::result_out_of_range)) {
        AfxMessageBox(u"Enter an integer.", MB_OK | MB_ICONEXCLAMATION);
        dx->Fail();
    }
    if (error == std::errc::result_out_of_range || value > UINT32_MAX || (negative && value > 0)) {
        AfxMessageBox(u"Enter an integer between 0 and 4294967295.", MB_OK | MB_ICONEXCLAMATION);
        dx->Fail();
    }
    m_deal = static_cast<uint32_t>(value);
}
