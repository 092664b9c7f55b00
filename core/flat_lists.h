// Lists of numbers kept by a dense number (a variable, say), all in one
// vector: list v is the run of entries from start(v) up to start(v + 1). A
// design holds such lists for every variable and is copied whole several
// times per run; one block for all lists costs one allocation where a vector
// per list costs one each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace velnor {

class FlatLists {
public:
    // One list's numbers, in stored order.
    struct List {
        const int32_t *first = nullptr;
        const int32_t *last = nullptr;
        const int32_t *begin() const { return first; }
        const int32_t *end() const { return last; }
        bool empty() const { return first == last; }
        std::size_t size() const { return static_cast<std::size_t>(last - first); }
    };

    FlatLists() = default;

    // Lists 0..list_count - 1 from (list, number) entries sorted by list; each
    // list keeps its numbers in the order given. An entry of a list outside
    // 0..list_count - 1 is left out.
    FlatLists(std::size_t list_count, const std::vector<std::pair<int32_t, int32_t>> &entries)
        : start_(list_count + 1, 0) {
        numbers_.reserve(entries.size());
        std::size_t list = 0;
        for (const auto &[owner, number] : entries) {
            if (owner < 0 || static_cast<std::size_t>(owner) >= list_count)
                continue;
            while (list < static_cast<std::size_t>(owner))
                start_[++list] = numbers_.size();
            numbers_.push_back(number);
        }
        while (list < list_count)
            start_[++list] = numbers_.size();
    }

    // How many lists there are.
    std::size_t size() const { return start_.empty() ? 0 : start_.size() - 1; }

    // List v; empty for a number without a list.
    List operator[](std::size_t v) const {
        if (v >= size())
            return {};
        return {numbers_.data() + start_[v], numbers_.data() + start_[v + 1]};
    }

private:
    std::vector<std::size_t> start_;  // by list: where its numbers start; one more entry ends the last
    std::vector<int32_t> numbers_;    // every list's numbers, list after list
};

}  // namespace velnor
