// An ordered map from int32_t numbers to values, kept as one sorted vector of
// (number, value) pairs. The design's tables are keyed by numbers that run
// without gaps (operation ids 1..N, control steps 1..L), so the entry of a
// number is almost always at the number's distance from the first one: a
// lookup is one comparison, a copy is one allocation for the whole table, and
// walking it touches memory in order. Any other number still works, by binary
// search; inserting one in the middle moves the entries behind it.
//
// It reads like std::map (ordered iteration over pairs, find, count, at, and
// operator[] that adds a default value), with one difference: adding an entry
// may move the others, so no reference into the table survives an insertion.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <utility>
#include <vector>

namespace velnor {

template <typename T>
class IdMap {
public:
    using key_type = int32_t;
    using mapped_type = T;
    using value_type = std::pair<int32_t, T>;
    using iterator = typename std::vector<value_type>::iterator;
    using const_iterator = typename std::vector<value_type>::const_iterator;
    using size_type = std::size_t;

    IdMap() = default;
    IdMap(std::initializer_list<value_type> entries) {
        for (const value_type &entry : entries)
            (*this)[entry.first] = entry.second;
    }

    iterator begin() { return entries_.begin(); }
    iterator end() { return entries_.end(); }
    const_iterator begin() const { return entries_.begin(); }
    const_iterator end() const { return entries_.end(); }
    auto rbegin() const { return entries_.rbegin(); }
    auto rend() const { return entries_.rend(); }

    size_type size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    void clear() { entries_.clear(); }
    void reserve(size_type n) { entries_.reserve(n); }

    iterator find(int32_t key) { return begin() + found_at(key); }
    const_iterator find(int32_t key) const { return begin() + found_at(key); }
    size_type count(int32_t key) const { return found_at(key) == size() ? 0 : 1; }

    // The value of key; a default value is added for a key that has none.
    T &operator[](int32_t key) {
        if (const std::size_t guess = guessed(key); guess != no_guess)
            return entries_[guess].second;
        return searched_or_added(key);
    }

    T &at(int32_t key) { return const_cast<T &>(static_cast<const IdMap &>(*this).at(key)); }
    const T &at(int32_t key) const {
        const std::size_t at = found_at(key);
        if (at == size())
            throw std::out_of_range("IdMap::at: no entry for this number");
        return entries_[at].second;
    }

    friend bool operator==(const IdMap &a, const IdMap &b) { return a.entries_ == b.entries_; }
    friend bool operator!=(const IdMap &a, const IdMap &b) { return !(a == b); }

private:
    // Where key is, or where it belongs: at its distance from the first
    // number when the numbers before it run without gaps, else by search.
    std::size_t position(int32_t key) const {
        if (const std::size_t guess = guessed(key); guess != no_guess)
            return guess;
        if (entries_.empty() || key > entries_.back().first)
            return entries_.size();
        const auto found = std::lower_bound(entries_.begin(), entries_.end(), key,
                                            [](const value_type &entry, int32_t k) { return entry.first < k; });
        return static_cast<std::size_t>(found - entries_.begin());
    }
    // Where key is when the numbers before it run without gaps; no_guess otherwise.
    static constexpr std::size_t no_guess = static_cast<std::size_t>(-1);
    std::size_t guessed(int32_t key) const {
        if (entries_.empty())
            return no_guess;
        // A key below the first number wraps to a distance no table reaches.
        const auto guess = static_cast<std::size_t>(int64_t{key} - entries_.front().first);
        return guess < entries_.size() && entries_[guess].first == key ? guess : no_guess;
    }
    // The value of a key off the gapless run, found by search or added. Kept
    // apart so that the common lookup above stays small enough to inline.
    T &searched_or_added(int32_t key) {
        const std::size_t at = position(key);
        if (at < size() && entries_[at].first == key)
            return entries_[at].second;
        return entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), value_type(key, T{}))->second;
    }
    // Where key is; size() when it has no entry.
    std::size_t found_at(int32_t key) const {
        const std::size_t at = position(key);
        return at < entries_.size() && entries_[at].first == key ? at : entries_.size();
    }

    std::vector<value_type> entries_;  // ascending by number, each number once
};

}  // namespace velnor
