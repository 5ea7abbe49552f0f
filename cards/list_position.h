// A position in one of the card table's owned lists (the cards of a pile, the
// piles of a view): a handle to one item of one list, or null for none.
//
// It names the item, not the list's node, and finds the node each time it is
// used, so a position kept while its item left the list (a card moved to
// another pile, or deleted) reads as null instead of reaching a node that is
// gone. The lists are short (at most two decks), so finding is cheap.
#pragma once

#include <algorithm>
#include <iterator>
#include <list>
#include <memory>

template <class T>
class ListPosition {
public:
    using List = std::list<std::unique_ptr<T>>;
    using Iterator = typename List::iterator;

    ListPosition() = default;  // null
    // The item at it in list; null when it is the list's end.
    ListPosition(List& list, Iterator it)
        : m_list(it == list.end() ? nullptr : &list), m_item(m_list ? it->get() : nullptr) {}

    static ListPosition Head(List& list) { return ListPosition(list, list.begin()); }
    static ListPosition Tail(List& list) {
        return list.empty() ? ListPosition() : ListPosition(list, std::prev(list.end()));
    }

    // Null once the item has left the list.
    explicit operator bool() const { return Get() != nullptr; }
    T* Get() const { return m_list && Find() != m_list->end() ? m_item : nullptr; }
    T* operator->() const { return Get(); }

    // Toward the tail (the top of a pile); null past the tail.
    ListPosition Next() const {
        if (!m_list) return {};
        const Iterator it = Find();
        return it == m_list->end() ? ListPosition() : ListPosition(*m_list, std::next(it));
    }
    // Toward the head (the bottom of a pile); null before the head.
    ListPosition Prev() const {
        if (!m_list) return {};
        const Iterator it = Find();
        if (it == m_list->end() || it == m_list->begin()) return {};
        return ListPosition(*m_list, std::prev(it));
    }

    // For the owner of the list: whether this is one of its items, and its node.
    bool In(const List& list) const { return m_list == &list && Find() != m_list->end(); }
    Iterator Node() const { return m_list ? Find() : Iterator{}; }
    // The same found once: its node in list, or list's end when it is none of its items.
    Iterator NodeIn(List& list) const { return m_list == &list ? Find() : list.end(); }

    friend bool operator==(const ListPosition& a, const ListPosition& b) {
        return a.Get() == b.Get() && (!a.Get() || a.m_list == b.m_list);
    }

private:
    Iterator Find() const {
        return std::find_if(m_list->begin(), m_list->end(), [this](const std::unique_ptr<T>& item) {
            return item.get() == m_item;
        });
    }

    List* m_list = nullptr;
    T* m_item = nullptr;
};
