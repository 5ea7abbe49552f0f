// A position in one of the card table's owned lists (the cards of a pile, the
// piles of a view): an opaque handle to one node, or null for none.
#pragma once

#include <iterator>
#include <list>
#include <memory>

template <class T>
class ListPosition {
public:
    using List = std::list<std::unique_ptr<T>>;
    using Iterator = typename List::iterator;

    ListPosition() = default;  // null
    // The node at it in list; null when it is the list's end.
    ListPosition(List& list, Iterator it) : m_list(it == list.end() ? nullptr : &list), m_it(it) {}

    static ListPosition Head(List& list) { return ListPosition(list, list.begin()); }
    static ListPosition Tail(List& list) {
        return list.empty() ? ListPosition() : ListPosition(list, std::prev(list.end()));
    }

    explicit operator bool() const { return m_list != nullptr; }
    T* Get() const { return m_list ? m_it->get() : nullptr; }
    T* operator->() const { return Get(); }

    // Toward the tail (the top of a pile); null past the tail.
    ListPosition Next() const {
        return m_list ? ListPosition(*m_list, std::next(m_it)) : ListPosition();
    }
    // Toward the head (the bottom of a pile); null before the head.
    ListPosition Prev() const {
        if (!m_list || m_it == m_list->begin()) return {};
        return ListPosition(*m_list, std::prev(m_it));
    }

    // For the owner of the list: whether this is one of its nodes, and which.
    bool In(const List& list) const { return m_list == &list; }
    Iterator Node() const { return m_it; }

    friend bool operator==(const ListPosition& a, const ListPosition& b) {
        return a.m_list == b.m_list && (!a.m_list || a.m_it == b.m_it);
    }

private:
    List* m_list = nullptr;
    Iterator m_it{};
};
