#pragma once
#include <span>

// One group of the built-in station directory: its state key and its entries in directory order.
struct StationGroup {
    const char* state;
    std::span<const char* const> entries;
};

// All groups in state-list order. Defined in the generated StationDirectoryData.cpp.
std::span<const StationGroup> StationGroups();
