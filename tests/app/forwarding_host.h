// A host a test puts in front of the test host for a while: it hands the
// clock, the modals and Exit to it, and overrides what the test watches.
#pragma once

#include "hosts/headless/headless_host.h"
#include "platform/host.h"

class ForwardingHost : public Host {
public:
    explicit ForwardingHost(HeadlessHost& host) : m_host(host) { SetHost(this); }
    ~ForwardingHost() override { SetHost(&m_host); }
    uint64_t Now() override { return m_host.Now(); }
    void Sleep(uint32_t milliseconds) override { m_host.Sleep(milliseconds); }
    int RunModal(CDialog& dialog) override { return m_host.RunModal(dialog); }
    int MessageBox(const CString& text, unsigned type) override {
        return m_host.MessageBox(text, type);
    }
    void Quit(int exitCode) override { m_host.Quit(exitCode); }

protected:
    HeadlessHost& m_host;
};
