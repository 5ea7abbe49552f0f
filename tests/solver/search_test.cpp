// The search on Golf, Freecell, Klondike and Spider tables made by hand, and its thread:
// started, restarted, cancelled, waited for and dropped while it runs.
#include "solver/search.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <numeric>

#include "solver/bytes.h"
#include "solver/worker.h"

namespace {

using solver::Pile;
using solver::TablePosition;

// Golf: stock, waste, seven columns; cards as index (rank = index % 13).
TablePosition Golf(std::vector<uint8_t> stock, std::vector<uint8_t> waste,
                   std::vector<std::vector<uint8_t>> columns) {
    TablePosition table{solver::Game::Golf, {{solver::STOCK, stock}, {solver::WASTE, waste}}};
    columns.resize(7);
    for (auto& column : columns) table.piles.push_back({solver::TABLEAU, column});
    return table;
}

// Freecell: eight columns, the foundations holding each suit's cards below
// rank home, four free cells.
TablePosition Freecell(std::vector<std::vector<uint8_t>> columns,
                       std::vector<std::vector<uint8_t>> cells, int home) {
    TablePosition table{solver::Game::Freecell, {}};
    columns.resize(8);
    for (auto& column : columns) table.piles.push_back({solver::TABLEAU, column});
    for (int suit = 0; suit < 4; ++suit) {
        table.piles.push_back({solver::FOUNDATION, {}});
        for (int rank = 0; rank < home; ++rank)
            table.piles.back().cards.push_back(static_cast<uint8_t>(13 * suit + rank));
    }
    cells.resize(4);
    for (auto& cell : cells) table.piles.push_back({solver::WASTE, cell});
    return table;
}

// The whole deck in order: everything but the cards named on the waste.
std::vector<uint8_t> WasteWithout(std::initializer_list<uint8_t> out) {
    std::vector<uint8_t> waste;
    for (uint8_t card = 0; card < 52; ++card)
        if (std::find(out.begin(), out.end(), card) == out.end()) waste.push_back(card);
    return waste;
}

struct Case {
    const char* name;
    TablePosition table;
    solver::Verdict verdict;
    size_t lineLength;
};

class SearchCases : public ::testing::TestWithParam<Case> {};

TEST_P(SearchCases, FindsTheVerdictAndALineThatWins) {
    const std::atomic<bool> never{false};
    const solver::Result result = solver::Solve(GetParam().table, 0, never);
    EXPECT_EQ(result.verdict, GetParam().verdict);
    EXPECT_EQ(result.line.size(), GetParam().lineLength);
    // The line, played on the model, wins.
    TablePosition table = GetParam().table;
    const solver::Rules& rules = solver::RulesFor(table.game);
    for (const CardMove& move : result.line) {
        const std::vector<CardMove> legal = rules.LegalMoves(table);
        ASSERT_NE(std::find(legal.begin(), legal.end(), move), legal.end());
        rules.Apply(table, move);
    }
    EXPECT_EQ(rules.IsWon(table), GetParam().verdict == solver::Verdict::Winnable);
}

// The waste's top is the last card of WasteWithout: the king of spades (51)
// unless it is left out.
INSTANTIATE_TEST_SUITE_P(Golf, SearchCases,
                         ::testing::Values(
                             // The king of spades on the waste and the stock out: nothing goes
                             // on a king.
                             Case{"NothingOnAKing", Golf({}, WasteWithout({11, 10}), {{10}, {11}}),
                                  solver::Verdict::Unwinnable, 0},
                             // Onto the queen of spades (50): the jack, then the ten from the
                             // stock, the nine, and the last card from the stock.
                             Case{"PlayThenTurnThenPlay",
                                  Golf({51, 9}, WasteWithout({51, 10, 9, 8}), {{8}, {10}}),
                                  solver::Verdict::Winnable, 4},
                             // Every three and five lies under the waste's king: the four of
                             // clubs can never be played, whatever the stock turns.
                             Case{"ADeadCard", Golf({20, 21}, WasteWithout({3, 20, 21}), {{3}}),
                                  solver::Verdict::Unwinnable, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// Cards by suit (clubs, diamonds, hearts, spades) and rank (ace 0 .. king 12).
constexpr uint8_t C = 0, D = 13, H = 26, S = 39, NINE = 8, TEN = 9, JACK = 10, QUEEN = 11,
                  KING = 12;
INSTANTIATE_TEST_SUITE_P(
    Freecell, SearchCases,
    ::testing::Values(
        // Kings on queens, one king in a cell: the kings go to the empty
        // columns before the queens go home.
        Case{"KingsOffTheQueens",
             Freecell(
                 {{S + KING, C + QUEEN}, {D + QUEEN, C + KING}, {H + QUEEN}, {S + QUEEN, H + KING}},
                 {{}, {}, {D + KING}}, QUEEN),
             solver::Verdict::Winnable, 10},
        // The cells full of jacks, every column a ten or a king over a nine or
        // a queen: nothing moves.
        Case{"NothingMoves",
             Freecell({{C + NINE, C + KING},
                       {D + NINE, D + KING},
                       {H + NINE, H + KING},
                       {S + NINE, S + KING},
                       {C + QUEEN, C + TEN},
                       {D + QUEEN, D + TEN},
                       {H + QUEEN, H + TEN},
                       {S + QUEEN, S + TEN}},
                      {{C + JACK}, {D + JACK}, {H + JACK}, {S + JACK}}, NINE),
             solver::Verdict::Unwinnable, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Klondike: stock (top last), waste, seven columns, the four foundations
// filled from the ace to the given height; suits 1 and 2 are red.
uint8_t Card(int suit, int rank) {
    return static_cast<uint8_t>(suit * 13 + rank);
}
TablePosition Klondike(std::vector<uint8_t> stock, std::vector<uint8_t> waste,
                       std::vector<std::vector<uint8_t>> columns, std::array<int, 4> homes) {
    TablePosition table{solver::Game::Klondike, {{solver::STOCK, stock}, {solver::WASTE, waste}}};
    columns.resize(7);
    for (auto& column : columns) table.piles.push_back({solver::TABLEAU, column});
    for (int suit = 0; suit < 4; ++suit) {
        solver::Pile& home = table.piles.emplace_back(solver::Pile{solver::FOUNDATION, {}});
        for (int rank = 0; rank < homes[static_cast<size_t>(suit)]; ++rank)
            home.cards.push_back(Card(suit, rank));
    }
    return table;
}
uint8_t Down(uint8_t card) {
    return static_cast<uint8_t>(card | solver::FACE_DOWN);
}

// The talon in the order its cards come up: jack 0, queen 1, king 0, jack
// 1, queen 0, king 1. No turn reaches a jack at first: the kings go to empty
// columns, and the queens onto them, before the jacks can come up and home.
INSTANTIATE_TEST_SUITE_P(
    Klondike, SearchCases,
    ::testing::Values(
        // The queen can go nowhere: the jack under it has to go home first,
        // and both black kings lie under it too.
        Case{"QueenOverItsJackAndKings",
             Klondike({}, {}, {{Down(Card(0, 12)), Down(Card(3, 12)), Down(Card(1, 10)), Card(1, 11)}},
                      {12, 10, 13, 12}),
             solver::Verdict::Unwinnable, 0},
        Case{"TurnsAndRedealsTheStock",
             Klondike({Card(1, 12), Card(0, 11), Card(1, 10), Card(0, 12), Card(1, 11), Card(0, 10)},
                      {}, {}, {10, 10, 13, 13}),
             solver::Verdict::Winnable, 12},
        // The same talon with two cards already on the waste.
        Case{"FromAWastePartlyTurned",
             Klondike({Card(1, 12), Card(0, 11), Card(1, 10), Card(0, 12)}, {Card(0, 10), Card(1, 11)},
                      {}, {10, 10, 13, 13}),
             solver::Verdict::Winnable, 11}),
    [](const auto& info) { return std::string(info.param.name); });

// Spider: stock, the completed suits, ten columns; no stock left here.
TablePosition Spider(std::vector<std::vector<uint8_t>> columns) {
    TablePosition table{solver::Game::Spider, {{solver::STOCK, {}}, {solver::WASTE, {}}}};
    columns.resize(10);
    for (auto& column : columns) table.piles.push_back({solver::TABLEAU, column});
    return table;
}
std::vector<uint8_t> SpadesDown(int from, int to) {
    std::vector<uint8_t> run;
    for (int rank = from; rank >= to; --rank) run.push_back(Card(3, rank));
    return run;
}

INSTANTIATE_TEST_SUITE_P(
    Spider, SearchCases,
    ::testing::Values(
        // The seven and six onto the eight, then the five to the ace onto
        // them: the suit is complete and the columns are empty.
        Case{"ASuitFromThreeColumns",
             Spider({SpadesDown(12, 7), SpadesDown(4, 0), SpadesDown(6, 5)}),
             solver::Verdict::Winnable, 2},
        // The ace onto the two turns up a five, which goes nowhere; nor does
        // anything else under the kings: the search backs up and has tried
        // everything.
        Case{"OneMoveThenNothing",
             Spider({{Card(0, 12)}, {Card(1, 12)}, {Card(2, 12)}, {Card(3, 12)}, {Card(0, 12)},
                     {Card(1, 12)}, {Card(2, 12)}, {Card(3, 12)}, {Card(2, 1)},
                     {Down(Card(0, 4)), Card(3, 0)}}),
             solver::Verdict::Unwinnable, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SearchThread, StartsCancelsRestartsAndJoins) {
    // A Golf deal: whether its search has ended or not when it is cancelled
    // or restarted, the thread is joined and no result is left behind.
    std::vector<uint8_t> deck(52);
    std::iota(deck.begin(), deck.end(), uint8_t{0});
    std::vector<std::vector<uint8_t>> columns(7);
    for (size_t i = 0; i < 35; ++i) columns[i % 7].push_back(deck[(i * 17) % 52]);
    std::vector<uint8_t> stock;
    for (size_t i = 35; i < 51; ++i) stock.push_back(deck[(i * 17) % 52]);
    const TablePosition table = Golf(stock, {deck[(51 * 17) % 52]}, columns);

    solver::SearchThread search;
    EXPECT_FALSE(search.Wait());
    search.Start(table);
    EXPECT_TRUE(search.Running());
    search.Start(table);  // the first one is cancelled and joined
    search.Cancel();
    EXPECT_FALSE(search.Running());
    EXPECT_FALSE(search.Poll());
    search.Start(table, 1000);
    const std::optional<solver::Result> result = search.Wait();
    ASSERT_TRUE(result);
    EXPECT_LE(result->nodes, 1000u);
    EXPECT_FALSE(search.Running());
    search.Start(table);  // still running when the owner goes
}

// What a search in another place is sent and sends back comes through whole;
// bytes cut short, or with more after them, are no request and no result.
TEST(SearchBytes, RequestsAndResultsComeThroughWholeAndCutBytesAreRefused) {
    const solver::SearchRequest request{
        Golf({5, 6 | solver::FACE_DOWN}, {7}, {{1, 2, 51}, {}, {13 | solver::FACE_DOWN}}), 1234};
    solver::Result result;
    result.verdict = solver::Verdict::Winnable;
    result.nodes = 0x1'0000'0002;
    result.line = {{MOVE_TAP, 0, 1, 1, -1}, {MOVE_RUN, 3, 0, 2, 9}, {MOVE_HOME, 2, -1, 0, -1}};
    const std::string requestBytes = solver::RequestBytes(request);
    const std::string resultBytes = solver::ResultBytes(result);
    const std::optional<solver::SearchRequest> readRequest = solver::ReadRequest(requestBytes);
    ASSERT_TRUE(readRequest);
    EXPECT_EQ(readRequest->table, request.table);
    EXPECT_EQ(readRequest->budget, request.budget);
    const std::optional<solver::Result> readResult = solver::ReadResult(resultBytes);
    ASSERT_TRUE(readResult);
    EXPECT_EQ(readResult->verdict, result.verdict);
    EXPECT_EQ(readResult->nodes, result.nodes);
    EXPECT_EQ(readResult->line, result.line);
    for (size_t cut = 0; cut < requestBytes.size(); ++cut)
        EXPECT_FALSE(solver::ReadRequest(requestBytes.substr(0, cut))) << cut;
    for (size_t cut = 0; cut < resultBytes.size(); ++cut)
        EXPECT_FALSE(solver::ReadResult(resultBytes.substr(0, cut))) << cut;
    EXPECT_FALSE(solver::ReadRequest(requestBytes + '\0'));
    EXPECT_FALSE(solver::ReadResult(resultBytes + '\0'));
}

}  // namespace
