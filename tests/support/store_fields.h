#pragma once
// The store's fields that a request changes as it completes, for the fault
// sweeps: after a failure each holds its earlier value or its new one.

#include <string>

#include "engine/store.h"

namespace vamu::testing {

struct StoreFields {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::u16string info;
};

inline StoreFields storeFields(const Store& store) {
    return {store.dblMapX1, store.dblMapY1, store.dblMapX2, store.dblMapY2, store.strInfo};
}

inline bool eachFieldOldOrNew(const StoreFields& now, const StoreFields& before, const StoreFields& done) {
    auto either = [](const auto& v, const auto& a, const auto& b) { return v == a || v == b; };
    return either(now.x1, before.x1, done.x1) && either(now.y1, before.y1, done.y1) &&
           either(now.x2, before.x2, done.x2) && either(now.y2, before.y2, done.y2) &&
           either(now.info, before.info, done.info);
}

}  // namespace vamu::testing
