#pragma once
// An ordered list of 8-bit strings: the arguments, the VM options, the
// preferred versions and forwarded argument lists.
#include <string>
#include <string_view>
#include <vector>

namespace kanne {

class StringList {
public:
    void add(std::string_view text) { items_.emplace_back(text); }
    // Index of the first element equal to `text` (exact, case-sensitive), or -1.
    int find(std::string_view text) const;
    // Removes one element and closes the gap; false for an index outside the list.
    bool removeAt(int index);
    void clear() { items_.clear(); }

    int count() const { return static_cast<int>(items_.size()); }
    bool empty() const { return items_.empty(); }
    const std::string& operator[](int index) const { return items_[static_cast<std::size_t>(index)]; }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    bool operator==(const StringList&) const = default;

private:
    std::vector<std::string> items_;
};

} // namespace kanne
