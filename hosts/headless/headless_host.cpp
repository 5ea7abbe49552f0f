#include "hosts/headless/headless_host.h"

#include <algorithm>
#include <sstream>

HeadlessHost::HeadlessHost(uint64_t startTick) : m_now(startTick) {
    SetHost(this);
}

HeadlessHost::~HeadlessHost() {
    if (HasHost() && &GetHost() == this) SetHost(nullptr);
}

bool ModalAnswer::Parse(const std::string& line, ModalAnswer* answer) {
    std::istringstream in(line);
    std::string word;
    if (!(in >> word)) return false;
    ModalAnswer a;
    if (word == "yes") {
        a.kind = Yes;
    } else if (word == "no") {
        a.kind = No;
    } else if (word == "ok") {
        a.kind = Ok;
    } else if (word == "cancel") {
        a.kind = Cancel;
    } else if (word == "reset") {
        a.kind = Reset;
    } else if (word == "name") {
        a.kind = Name;
        // Everything after "name " is the text, blanks included; it may be empty.
        const size_t at = line.find("name");
        std::string rest = line.substr(at + 4);
        if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
        a.text = FromUtf8(rest);
        *answer = a;
        return true;
    } else if (word == "choice") {
        a.kind = Choice;
        // A radio group never has more buttons than this.
        if (!(in >> a.choice) || a.choice < 0 || a.choice > 63) return false;
    } else if (word == "values") {
        a.kind = Values;
        std::string value;
        while (in >> value) a.values.push_back(FromUtf8(value));
        // Three for the ball board's boxes, one for the deal's number.
        if (a.values.empty() || a.values.size() > 3) return false;
    } else {
        return false;
    }
    std::string extra;
    if (a.kind != Values && in >> extra) return false;
    *answer = a;
    return true;
}

std::string ModalAnswer::ToString() const {
    switch (kind) {
        case Yes:
            return "yes";
        case No:
            return "no";
        case Ok:
            return "ok";
        case Cancel:
            return "cancel";
        case Reset:
            return "reset";
        case Name:
            return text.empty() ? "name" : "name " + ToUtf8(text);  // as a script writes it
        case Choice:
            return "choice " + std::to_string(choice);
        case Values: {
            std::string s = "values";
            // Appended piece by piece: g++ 12 warns falsely (-Wrestrict) on
            // " " + a temporary string.
            for (const CString& v : values) s.append(" ").append(ToUtf8(v));
            return s;
        }
    }
    return "";
}

bool HeadlessHost::TakeAnswer(ModalAnswer* answer) {
    if (m_answers.empty()) return false;
    *answer = m_answers.front();
    m_answers.pop_front();
    return true;
}

void HeadlessHost::Record(ModalRecord record) {
    m_modals.push_back(record);
    if (onModalClosed) onModalClosed(m_modals.back());
}

int HeadlessHost::MessageBox(const CString& text, unsigned type) {
    const bool yesNo = (type & MB_TYPEMASK) == MB_YESNO;
    ModalRecord record;
    record.isMessageBox = true;
    record.text = text;
    record.type = type;
    ModalAnswer answer;
    int result;
    if (TakeAnswer(&answer)) {
        record.answer = answer.ToString();
        if (yesNo)
            result =
                answer.kind == ModalAnswer::Yes || answer.kind == ModalAnswer::Ok ? IDYES : IDNO;
        else
            result = IDOK;
    } else {
        record.answer = yesNo ? "no" : "ok";
        result = yesNo ? IDNO : IDOK;
    }
    record.result = result;
    Record(record);
    return result;
}

namespace {

std::vector<unsigned> ControlsOfKind(const CDialog& dialog, ControlKind kind) {
    std::vector<unsigned> ids;
    for (const DialogControl& c : dialog.Template()->controls)
        if (c.kind == kind && !(c.style & CTRL_READONLY)) ids.push_back(c.id);
    return ids;
}

unsigned ResetButton(const CDialog& dialog) {
    for (const DialogControl& c : dialog.Template()->controls)
        if ((c.kind == ControlKind::PushButton || c.kind == ControlKind::DefPushButton) &&
            c.text == u"Reset")
            return c.id;
    return 0;
}

}  // namespace

int HeadlessHost::RunModal(CDialog& dialog) {
    if (!dialog.BeginModal()) return -1;
    ModalRecord record;
    record.templateId = dialog.TemplateId();
    record.caption = dialog.GetWindowText();
    record.controls = dialog.Controls();
    std::string taken;
    while (!dialog.HasEnded()) {
        ModalAnswer answer;
        if (!TakeAnswer(&answer)) {
            taken = "cancel";
            dialog.ClickButton(IDCANCEL);
            break;
        }
        taken = answer.ToString();
        switch (answer.kind) {
            case ModalAnswer::Cancel:
            case ModalAnswer::No:
                dialog.ClickButton(IDCANCEL);
                break;
            case ModalAnswer::Yes:
            case ModalAnswer::Ok:
                dialog.ClickButton(IDOK);
                break;
            case ModalAnswer::Name: {
                std::vector<unsigned> edits = ControlsOfKind(dialog, ControlKind::Edit);
                if (!edits.empty()) dialog.Control(edits[0]).text = answer.text;
                dialog.ClickButton(IDOK);
                break;
            }
            case ModalAnswer::Values: {
                std::vector<unsigned> edits = ControlsOfKind(dialog, ControlKind::Edit);
                for (size_t i = 0; i < edits.size() && i < answer.values.size(); ++i)
                    dialog.Control(edits[i]).text = answer.values[i];
                dialog.ClickButton(IDOK);
                break;
            }
            case ModalAnswer::Choice: {
                std::vector<unsigned> radios = ControlsOfKind(dialog, ControlKind::RadioButton);
                if (!radios.empty()) {
                    std::vector<unsigned> group = dialog.RadioGroup(radios[0]);
                    for (size_t i = 0; i < group.size(); ++i)
                        dialog.Control(group[i]).checked = static_cast<int>(i) == answer.choice;
                }
                dialog.ClickButton(IDOK);
                break;
            }
            case ModalAnswer::Reset:
                if (unsigned id = ResetButton(dialog)) dialog.ClickButton(id);
                break;
        }
    }
    record.answer = taken;
    record.result = dialog.Result();
    Record(record);
    return dialog.Result();
}

void HeadlessHost::Quit(int exitCode) {
    m_quit = true;
    m_exitCode = exitCode;
}

void HeadlessHost::Wait(uint64_t milliseconds) {
    const uint64_t until = m_now + milliseconds;
    DueTimer next;
    // A wait delivers its ticks one by one up to a bound (hours of a clock
    // that ticks every second); past it, the clock goes to the end of the
    // wait and each timer then due fires once, its missed ticks merged, as a
    // program busy all that time sees them. So no wait takes long.
    for (int delivered = 0; NextTimer(&next) && next.due <= until; ++delivered) {
        if (delivered == kMaxTicksPerWait && m_now < until) m_now = until;
        if (next.due > m_now) m_now = next.due;
        FireTimer(next);
        DispatchPostedMessages();
    }
    // A handler that slept may have taken the clock past the end of the wait;
    // time does not go back for it.
    m_now = std::max(m_now, until);
}

void HeadlessHost::SetPixelsOnDemand(bool onDemand) {
    m_pixelsOnDemand = onDemand;
    if (!onDemand) PaintOwedPixelsOfAllWindows();
}

void HeadlessHost::Idle(bool paint) {
    DispatchPostedMessages();
    if (paint) PaintInvalidWindows();
}
