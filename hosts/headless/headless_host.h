// The host that tests and the scripted driver run on: a virtual clock, and
// modal dialogs and message boxes answered from a queue and recorded.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/host.h"

// One queued answer, as a script writes it after "answer".
struct ModalAnswer {
    enum Kind { Yes, No, Ok, Cancel, Name, Choice, Values, Reset };
    Kind kind = Ok;
    CString text;                 // Name
    int choice = 0;               // Choice
    std::vector<CString> values;  // Values
    // Parses "yes", "name Alice", "values 8 8 5", ...; false when malformed.
    static bool Parse(const std::string& line, ModalAnswer* answer);
    std::string ToString() const;
};

// What one modal showed and how it was answered.
struct ModalRecord {
    bool isMessageBox = false;
    // Message box:
    CString text;
    unsigned type = 0;
    // Dialog: the template and the controls as they were shown, before any answer.
    unsigned templateId = 0;
    CString caption;
    std::map<unsigned, ControlState> controls;
    // The answer taken ("yes", "name Alice") or the default.
    std::string answer;
    int result = 0;
};

class HeadlessHost : public Host {
public:
    explicit HeadlessHost(uint64_t startTick = 100000);
    ~HeadlessHost() override;

    uint64_t Now() override { return m_now; }
    void Sleep(uint32_t milliseconds) override { m_now += milliseconds; }
    bool VirtualClock() const override { return true; }
    int RunModal(CDialog& dialog) override;
    int MessageBox(const CString& text, unsigned type) override;
    void Quit(int exitCode) override;

    // Advances the clock, delivering the timer ticks that fall due, in order;
    // a very long wait merges the ticks past the first kMaxTicksPerWait.
    void Wait(uint64_t milliseconds);
    static constexpr int kMaxTicksPerWait = 10000;
    // Runs posted commands, then paints, as an idle message loop does.
    void Idle(bool paint = true);
    // With pixels on demand the card tables' paints draw nothing until
    // PaintOwedPixelsOfAllWindows (the driver calls it for a picture);
    // turned off, what is owed is drawn at once.
    void SetPixelsOnDemand(bool onDemand);
    bool PixelsOnDemand() const override { return m_pixelsOnDemand; }

    void QueueAnswer(const ModalAnswer& answer) { m_answers.push_back(answer); }
    size_t QueuedAnswers() const { return m_answers.size(); }
    const std::vector<ModalRecord>& Modals() const { return m_modals; }
    void ClearModals() { m_modals.clear(); }
    // Called as each modal closes (the driver prints it).
    std::function<void(const ModalRecord&)> onModalClosed;

    bool QuitRequested() const { return m_quit; }
    int ExitCode() const { return m_exitCode; }

private:
    bool TakeAnswer(ModalAnswer* answer);
    void Record(ModalRecord record);

    uint64_t m_now;
    std::deque<ModalAnswer> m_answers;
    std::vector<ModalRecord> m_modals;
    bool m_quit = false;
    int m_exitCode = 0;
    bool m_pixelsOnDemand = false;
};
