#include <gtest/gtest.h>

#include <memory>

#include "hosts/headless/headless_host.h"
#include "tests/platform/test_view.h"

namespace {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        view = std::make_unique<CTestView>();
        ASSERT_TRUE(view->Create(CRect(0, 0, 240, 268), AFX_IDW_PANE_FIRST));
        host.Idle();
        view->log.clear();
        view->paints = 0;
    }
    // Paints the whole surface one colour without going through the view.
    void Scribble(uint32_t value) {
        for (uint32_t& p : const_cast<CImage&>(view->Surface()).pixels) p = value;
    }
    uint32_t Pixel(int x, int y) const { return view->Surface().At(x, y); }

    HeadlessHost host{100000};
    std::unique_ptr<CTestView> view;
};

constexpr uint32_t kGreen = PixelFromColorRef(kTestBackground);
constexpr uint32_t kYellow = PixelFromColorRef(kTestMark);

}  // namespace

TEST_F(WindowTest, CreationPaintsTheWholeViewWithTheClassBackground) {
    EXPECT_EQ(Pixel(0, 0), kGreen);
    EXPECT_EQ(Pixel(239, 267), kGreen);
    EXPECT_EQ(Pixel(10, 10), kYellow);
    EXPECT_TRUE(view->Class().style & CS_DBLCLKS);
}

TEST_F(WindowTest, OneErasingInvalidationErasesTheWholeRegion) {
    Scribble(0x123456);
    const CRect a(0, 0, 50, 50), b(100, 100, 120, 130);
    view->InvalidateRect(&a, false);
    view->InvalidateRect(&b, true);
    host.Idle();
    EXPECT_EQ(view->paints, 1);
    EXPECT_EQ(Pixel(40, 40), kGreen);  // erased although its own call did not ask
    EXPECT_EQ(Pixel(110, 110), kGreen);
    EXPECT_EQ(Pixel(10, 10), kYellow);
    EXPECT_EQ(Pixel(60, 60), 0x123456u);  // outside the region: untouched
    EXPECT_EQ(view->lastClipBox, CRect(0, 0, 120, 130));
}

TEST_F(WindowTest, WithoutEraseOnlyTheDrawingLandsAndOnlyInsideTheRegion) {
    Scribble(0x123456);
    const CRect part(15, 0, 25, 15);
    view->InvalidateRect(&part, false);
    host.Idle();
    EXPECT_EQ(Pixel(16, 2), 0x123456u);   // in the region, but nothing drawn there
    EXPECT_EQ(Pixel(16, 12), kYellow);    // drawn and inside
    EXPECT_EQ(Pixel(12, 12), 0x123456u);  // drawn but outside the region
    EXPECT_EQ(Pixel(26, 12), 0x123456u);
    EXPECT_FALSE(view->HasInvalidRegion());
    host.Idle();
    EXPECT_EQ(view->paints, 1);  // nothing left to paint
}

TEST_F(WindowTest, UpdateWindowPaintsAtOnceAndInvalidationIsClippedToTheClient) {
    const CRect outside(300, 300, 400, 400);
    view->InvalidateRect(&outside, true);
    EXPECT_FALSE(view->HasInvalidRegion());
    const CRect partly(200, 250, 400, 400);
    view->InvalidateRect(&partly, true);
    view->UpdateWindow();
    EXPECT_EQ(view->paints, 1);
    EXPECT_EQ(view->lastClipBox, CRect(200, 250, 240, 268));
}

TEST_F(WindowTest, ARegionLeftUnpaintedDoesNotGrowWithRepeatedAreas) {
    const CRect small(10, 10, 20, 20), other(30, 30, 40, 40), big(0, 0, 50, 50);
    for (int i = 0; i < 100; ++i) view->InvalidateRect(&small, false);
    view->InvalidateRect(&other, false);
    EXPECT_EQ(view->InvalidRegion(), (std::vector<CRect>{small, other}));
    view->InvalidateRect(&big, false);  // takes the place of both
    EXPECT_EQ(view->InvalidRegion(), (std::vector<CRect>{big}));
    for (int i = 0; i < 100; ++i) view->Invalidate(false);
    EXPECT_EQ(view->InvalidRegion().size(), 1u);
    EXPECT_FALSE(view->EraseRequested());
    view->InvalidateRect(&small, true);  // covered, but its erase still counts
    EXPECT_TRUE(view->EraseRequested());
    host.Idle();
    EXPECT_EQ(view->lastClipBox, CRect(0, 0, 240, 268));
}

TEST_F(WindowTest, TimersFireInOrderOnTheVirtualClock) {
    view->SetTimer(1234, 1000);
    view->SetTimer(7, 400);
    host.Wait(2100);
    EXPECT_EQ(view->log, (std::vector<std::string>{"timer 7 at 100400", "timer 7 at 100800",
                                                   "timer 1234 at 101000", "timer 7 at 101200",
                                                   "timer 7 at 101600", "timer 1234 at 102000",
                                                   "timer 7 at 102000"}));
    EXPECT_EQ(GetTickCount(), 102100u);
    view->log.clear();
    view->KillTimer(7);
    host.Wait(1000);
    EXPECT_EQ(view->log, std::vector<std::string>{"timer 1234 at 103000"});
    view->DestroyWindow();
    view->log.clear();
    host.Wait(5000);
    EXPECT_TRUE(view->log.empty());  // a destroyed window's timers die with it
}

TEST_F(WindowTest, SleepAdvancesTheClockWithoutDeliveringTicks) {
    view->SetTimer(1234, 1000);
    Sleep(3500);
    EXPECT_EQ(GetTickCount(), 103500u);
    EXPECT_TRUE(view->log.empty());
    host.Wait(0);  // the missed ticks arrive as one
    EXPECT_EQ(view->log, std::vector<std::string>{"timer 1234 at 103500"});
}

TEST_F(WindowTest, TheClockNeverGoesBackWhenAHandlerSleepsDuringAWait) {
    view->SetTimer(1, 50);
    view->sleepOnTimer = 500;
    host.Wait(100);
    // The tick due within the wait comes after the first handler's sleep.
    EXPECT_EQ(view->log, (std::vector<std::string>{"timer 1 at 100050", "timer 1 at 100550"}));
    EXPECT_EQ(GetTickCount(), 101050u);
    view->sleepOnTimer = 0;
    host.Wait(100);
    EXPECT_EQ(GetTickCount(), 101150u);
}

TEST_F(WindowTest, APostedCommandRunsAfterTheHandlerThatPostedIt) {
    EXPECT_TRUE(view->SendCommand(ID_TEST_COMMAND));
    EXPECT_EQ(view->log, (std::vector<std::string>{"command", "command done"}));
    host.Idle();
    EXPECT_EQ(view->log, (std::vector<std::string>{"command", "command done", "posted"}));
}

TEST_F(WindowTest, PostedCommandsToADestroyedWindowAreDropped) {
    view->PostCommand(ID_TEST_POST);
    view.reset();
    host.Idle();  // must not touch the freed view
    EXPECT_FALSE(HasPostedMessages());
    {
        CTestView never;  // posted to, but never created
        never.PostCommand(ID_TEST_POST);
    }
    // Else a window made later at the same address would take it.
    EXPECT_FALSE(HasPostedMessages());
}

TEST_F(WindowTest, AWindowClassRegisteredAgainKeepsItsName) {
    CBrush green, red;
    green.CreateSolidBrush(kTestBackground);
    red.CreateSolidBrush(RGB(255, 0, 0));
    const CString name = AfxRegisterWndClass(CS_DBLCLKS, IDC_ARROW, &green, 0);
    EXPECT_EQ(AfxRegisterWndClass(CS_DBLCLKS, IDC_ARROW, &green, 0), name);
    EXPECT_NE(AfxRegisterWndClass(CS_DBLCLKS, IDC_ARROW, &red, 0), name);
    EXPECT_NE(AfxRegisterWndClass(CS_VREDRAW, IDC_ARROW, &green, 0), name);
}

TEST_F(WindowTest, QuickSecondPressIsADoubleTapOnlyForDoubleTapClasses) {
    view->SendStylusDown(CPoint(5, 6));
    view->SendStylusUp(CPoint(5, 6));
    view->SendStylusDown(CPoint(5, 6), true);
    view->SendStylusMove(CPoint(7, 8));
    EXPECT_EQ(view->log,
              (std::vector<std::string>{"down 5 6", "up 5 6", "dblclk 5 6", "move 7 8"}));

    class PlainView : public CView {
    public:
        void OnDraw(CDC*) override {}
        void OnLButtonDown(unsigned, CPoint) override { ++downs; }
        int downs = 0;
    } plain;
    plain.Create(CRect(0, 0, 10, 10), 1);
    plain.SendStylusDown(CPoint(1, 1), true);
    EXPECT_EQ(plain.downs, 1);

    // A double-tap class without a handler for it loses the second tap.
    class DoubleTapView : public CView {
    public:
        bool PreCreateWindow(CREATESTRUCT& cs) override {
            cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS);
            return true;
        }
        void OnDraw(CDC*) override {}
        void OnLButtonDown(unsigned, CPoint) override { ++downs; }
        int downs = 0;
    } quiet;
    quiet.Create(CRect(0, 0, 10, 10), 1);
    quiet.SendStylusDown(CPoint(1, 1));
    quiet.SendStylusDown(CPoint(1, 1), true);
    EXPECT_EQ(quiet.downs, 1);
}

TEST(CommandRouting, ViewDocumentFrameApplicationAndTheFirstHandlerWins) {
    HeadlessHost host;
    CTestApp app;
    CTestDocument document;
    CTestFrame frame;
    frame.SetDocument(&document);
    auto owned = std::make_unique<CTestView>();
    CTestView* view = owned.get();
    view->SetDocument(&document);
    frame.SetActiveView(std::move(owned));
    view->Create(CRect(0, 0, 240, 268), AFX_IDW_PANE_FIRST);

    EXPECT_TRUE(frame.SendCommand(ID_TEST_COMMAND));  // the view has it before the document
    EXPECT_EQ(view->log.front(), "command");
    EXPECT_TRUE(document.log.empty());
    EXPECT_TRUE(frame.SendCommand(ID_TEST_DOC));  // the document before the application
    EXPECT_EQ(document.log, std::vector<std::string>{"document"});
    EXPECT_TRUE(app.log.empty());
    EXPECT_TRUE(frame.SendCommand(ID_TEST_APP));
    EXPECT_EQ(app.log, std::vector<std::string>{"app"});
    EXPECT_FALSE(frame.SendCommand(ID_TEST_UNHANDLED));

    EXPECT_TRUE(frame.QueryCommand(ID_TEST_APP).m_enabled);
    EXPECT_FALSE(frame.QueryCommand(ID_TEST_UNHANDLED).m_enabled);
    const CCmdUI checked = frame.QueryCommand(ID_TEST_CHECKED);
    EXPECT_TRUE(checked.m_enabled);
    EXPECT_TRUE(checked.m_checked);
    EXPECT_FALSE(frame.QueryCommand(ID_TEST_APP).m_checked);
    EXPECT_EQ(app.log.size(), 1u);  // asking does not run anything
}

TEST(Caption, DocumentTitleBeforeTheProgramTitle) {
    HeadlessHost host;
    CDocument document;
    CFrameWnd frame;
    frame.SetAppTitle(u"Parlour");
    frame.SetDocument(&document);
    document.SetFrame(&frame);
    EXPECT_EQ(frame.GetCaption(), u"Parlour");
    document.SetTitle(u"Klondike");
    EXPECT_EQ(frame.GetCaption(), u"Klondike - Parlour");
}
