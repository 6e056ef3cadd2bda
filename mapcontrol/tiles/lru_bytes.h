#pragma once
// Values by key in the order of their last use, with the bytes they stand
// for added up, for caches bounded in bytes. Not thread-safe: the caches
// guard it with their own lock.

#include <cstdint>
#include <list>
#include <string>
#include <unordered_map>
#include <utility>

namespace vamu::tiles {

template <class Value>
class LruBytes {
public:
    // The value, now the most recently used; null where there is none.
    Value* use(const std::string& key) {
        const auto found = index_.find(key);
        if (found == index_.end()) return nullptr;
        order_.splice(order_.begin(), order_, found->second);
        return &found->second->value;
    }
    bool contains(const std::string& key) const { return index_.contains(key); }
    // Adds or replaces the value, as the most recently used.
    void put(const std::string& key, Value value, std::uint64_t bytes) {
        erase(key);
        order_.push_front(Node{key, std::move(value), bytes});
        index_.emplace(key, order_.begin());
        total_ += bytes;
    }
    // Adds the value as the least recently used, where the key is new.
    void putOldest(const std::string& key, Value value, std::uint64_t bytes) {
        if (contains(key)) return;
        order_.push_back(Node{key, std::move(value), bytes});
        index_.emplace(key, std::prev(order_.end()));
        total_ += bytes;
    }
    bool erase(const std::string& key) {
        const auto found = index_.find(key);
        if (found == index_.end()) return false;
        total_ -= found->second->bytes;
        order_.erase(found->second);
        index_.erase(found);
        return true;
    }
    // The least recently used key; null when empty.
    const std::string* oldest() const { return order_.empty() ? nullptr : &order_.back().key; }
    std::uint64_t bytes() const { return total_; }
    std::size_t size() const { return index_.size(); }

private:
    struct Node {
        std::string key;
        Value value;
        std::uint64_t bytes = 0;
    };
    std::list<Node> order_;  // most recently used first
    std::unordered_map<std::string, typename std::list<Node>::iterator> index_;
    std::uint64_t total_ = 0;
};

}  // namespace vamu::tiles
