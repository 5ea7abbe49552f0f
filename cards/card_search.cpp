// The search that tells the player whether the deal can still be won, and
// the deals "Winnable deals" picks.
#include <atomic>

#include "cards/cardgame.h"
#include "platform/host.h"
#include "platform/random.h"

bool CCardgame::s_winnableDeals = false;

namespace {
// Deals tried for one New with "Winnable deals": half the game's search
// budget in all (about a second's work), a sixteenth for each deal: a deal
// is wanted that the solver wins soon, not one it may prove lost.
constexpr uint64_t kWinnableDealsShare = 2;
constexpr uint64_t kBudgetsPerDeal = 16;
}  // namespace

TablePosition CCardgame::Position() {
    ShowTableAsPainted();
    TablePosition table;
    table.game = SolverGame().value_or(solver::Game::Klondike);
    for (const auto& pile : m_piles) {
        solver::Pile& p = table.piles.emplace_back();
        p.kind = static_cast<solver::Kind>(pile->m_kind);
        for (const auto& card : pile->GetCards())
            p.cards.push_back(
                static_cast<uint8_t>(card->m_index | (card->IsFaceDown() ? solver::FACE_DOWN : 0)));
    }
    return table;
}

void CCardgame::TableChanged(bool playedOn) {
    // The stuck test's tries put the table back as it was.
    if (m_quiet) return;
    // A deal proved lost stays lost whatever is played on from it: no new
    // search, and the bar and a screen reader keep what they were told.
    if (playedOn && Verdict() == DealVerdict::Unwinnable) return;
    m_search.Cancel();
    m_winningLine.clear();
    m_searchDue = true;
    m_verdict = DealVerdict::Searching;
    if (IsWindow() && HasHost() && !GetHost().VirtualClock())
        SetTimer(SEARCH_TIMER_ID, SEARCH_POLL_PERIOD);
}

DealVerdict CCardgame::Verdict() const {
    if (!SolverGame()) return DealVerdict::Unknown;
    return m_searchDue || m_search.Running() ? DealVerdict::Searching : m_verdict;
}

void CCardgame::StartSearch() {
    if (!m_searchDue) return;
    m_searchDue = false;
    if (m_gameOver || !SolverGame()) {
        m_verdict = DealVerdict::Unknown;
        return;
    }
    m_search.Start(Position());
}

void CCardgame::WaitForVerdict(std::optional<std::chrono::milliseconds> most) {
    StartSearch();
    if (std::optional<solver::Result> result = most ? m_search.WaitFor(*most) : m_search.Wait())
        TakeResult(*result);
}

void CCardgame::PollSearch() {
    StartSearch();
    if (std::optional<solver::Result> result = m_search.Poll()) TakeResult(*result);
    if (!m_searchDue && !m_search.Running()) KillTimer(SEARCH_TIMER_ID);
}

void CCardgame::TakeResult(const solver::Result& result) {
    switch (result.verdict) {
        case solver::Verdict::Winnable:
            m_verdict = DealVerdict::Winnable;
            break;
        case solver::Verdict::Unwinnable:
            m_verdict = DealVerdict::Unwinnable;
            break;
        default:
            m_verdict = DealVerdict::Unknown;
            break;
    }
    m_winningLine = result.line;
    const CString words = VerdictWords();
    if (words.empty()) return;
    // Quietly: in the bar once it shows the clock, and to a screen reader
    // when it is news (not after every move, over the move's own words).
    if (m_startTick && !m_gameOver) ShowStatus();
    if (words == m_verdictTold) return;
    // After the last move's words, which it would otherwise replace before
    // a reader has read them.
    const bool afterMove = !m_announcement.empty() && m_announcement != m_verdictTold;
    m_verdictTold = words;
    Announce(afterMove ? m_announcement + u". " + words : words);
}

CString CCardgame::VerdictWords() const {
    switch (Verdict()) {
        case DealVerdict::Winnable:
            return u"Can be won";
        case DealVerdict::Unwinnable:
            return u"Cannot be won from here";
        default:
            return CString();
    }
}

void CCardgame::ChooseWinnableDeal() {
    // The deals from the one just dealt on, each searched where it lies, on
    // this thread: the budget, not the clock, bounds the wait.
    m_choosingDeal = true;
    const solver::Rules& rules = solver::RulesFor(*SolverGame());
    const std::atomic<bool> never{false};
    const uint32_t first = m_deal;
    uint64_t left = rules.Budget() / kWinnableDealsShare;
    bool found = false;
    for (uint32_t deal = first; left > 0 && !found; ++deal) {
        if (deal != first) {
            runtime::ChooseNextDeal(deal);
            DealAgain();
        }
        const solver::Result result =
            solver::Solve(Position(), std::min(left, rules.Budget() / kBudgetsPerDeal), never);
        left -= std::min(left, result.nodes + 1);
        if (result.verdict == solver::Verdict::Winnable) {
            found = true;
            m_searchDue = false;
            TakeResult(result);
        } else {
            // A breath between deals: the browser's page, whose one thread
            // this is, goes on painting; the desktop and the driver return
            // at once.
            Sleep(0);
        }
    }
    if (!found) {
        runtime::ChooseNextDeal(first);
        DealAgain();
        SetStatus(u"No winnable deal found");
    }
    m_choosingDeal = false;
}
