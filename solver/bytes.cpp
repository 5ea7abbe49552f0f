#include "solver/bytes.h"

namespace solver {

namespace {

// Little-endian numbers, written and read in turn.
class Writer {
public:
    template <class Number>
    Writer& Put(Number value) {
        for (size_t i = 0; i < sizeof(Number); ++i)
            m_bytes.push_back(static_cast<char>((static_cast<uint64_t>(value) >> (8 * i)) & 0xFF));
        return *this;
    }
    std::string Take() { return std::move(m_bytes); }

private:
    std::string m_bytes;
};

class Reader {
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}
    template <class Number>
    bool Get(Number& value) {
        if (m_bytes.size() < sizeof(Number)) return false;
        uint64_t read = 0;
        for (size_t i = 0; i < sizeof(Number); ++i)
            read |= uint64_t{static_cast<uint8_t>(m_bytes[i])} << (8 * i);
        value = static_cast<Number>(read);
        m_bytes.remove_prefix(sizeof(Number));
        return true;
    }
    bool AtEnd() const { return m_bytes.empty(); }
    size_t Left() const { return m_bytes.size(); }

private:
    std::string_view m_bytes;
};

}  // namespace

std::string RequestBytes(const SearchRequest& request) {
    Writer out;
    out.Put(static_cast<uint8_t>(request.table.game)).Put(request.budget);
    out.Put(static_cast<uint32_t>(request.table.piles.size()));
    for (const Pile& pile : request.table.piles) {
        out.Put(static_cast<uint8_t>(pile.kind)).Put(static_cast<uint32_t>(pile.cards.size()));
        for (uint8_t card : pile.cards) out.Put(card);
    }
    return out.Take();
}

std::optional<SearchRequest> ReadRequest(std::string_view bytes) {
    Reader in(bytes);
    SearchRequest request;
    uint8_t game = 0;
    uint32_t piles = 0;
    if (!in.Get(game) || game > static_cast<uint8_t>(Game::Freecell) || !in.Get(request.budget) ||
        !in.Get(piles) || piles > in.Left())
        return std::nullopt;
    request.table.game = static_cast<Game>(game);
    for (uint32_t p = 0; p < piles; ++p) {
        Pile& pile = request.table.piles.emplace_back();
        uint8_t kind = 0;
        uint32_t cards = 0;
        if (!in.Get(kind) || kind < STOCK || kind > FOUNDATION || !in.Get(cards) ||
            cards > in.Left())
            return std::nullopt;
        pile.kind = static_cast<Kind>(kind);
        pile.cards.resize(cards);
        for (uint8_t& card : pile.cards)
            if (!in.Get(card) || Index(card) >= 52) return std::nullopt;
    }
    if (!in.AtEnd()) return std::nullopt;
    return request;
}

std::string ResultBytes(const Result& result) {
    Writer out;
    out.Put(static_cast<uint8_t>(result.verdict)).Put(result.nodes);
    out.Put(static_cast<uint32_t>(result.line.size()));
    for (const CardMove& move : result.line)
        out.Put(static_cast<int32_t>(move.kind))
            .Put(move.pile)
            .Put(move.card)
            .Put(move.count)
            .Put(move.to);
    return out.Take();
}

std::optional<Result> ReadResult(std::string_view bytes) {
    Reader in(bytes);
    Result result;
    uint8_t verdict = 0;
    uint32_t moves = 0;
    if (!in.Get(verdict) || verdict > static_cast<uint8_t>(Verdict::Unwinnable) ||
        !in.Get(result.nodes) || !in.Get(moves) || moves > in.Left())
        return std::nullopt;
    result.verdict = static_cast<Verdict>(verdict);
    for (uint32_t m = 0; m < moves; ++m) {
        CardMove& move = result.line.emplace_back();
        int32_t kind = 0;
        if (!in.Get(kind) || kind < MOVE_TAP || kind > MOVE_HOME || !in.Get(move.pile) ||
            !in.Get(move.card) || !in.Get(move.count) || !in.Get(move.to))
            return std::nullopt;
        move.kind = static_cast<CardMoveKind>(kind);
    }
    if (!in.AtEnd()) return std::nullopt;
    return result;
}

}  // namespace solver
