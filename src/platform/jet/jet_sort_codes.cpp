#include "platform/jet/jet_sort_codes.hpp"

#include <algorithm>

#include "platform/jet/jet_sort_codes_table.hpp"

std::optional<jet_sort_code> jet_general_sort_code(char16_t unit) {
    const jet_sort_run* end = JET_SORT_RUNS + JET_SORT_RUN_COUNT;
    const jet_sort_run* after = std::upper_bound(
        JET_SORT_RUNS, end, unit,
        [](char16_t wanted, const jet_sort_run& run) { return wanted < run.first; });
    if (after == JET_SORT_RUNS) return std::nullopt;
    const jet_sort_run& run = after[-1];
    unsigned offset = unsigned(unit - run.first);
    if (offset >= run.count) return std::nullopt;
    const jet_sort_entry& entry = JET_SORT_ENTRIES[run.entry];
    jet_sort_code code{entry.kind, std::uint8_t(entry.inline_bytes.size()), {}, entry.extra,
                       entry.flag};
    std::copy(entry.inline_bytes.begin(), entry.inline_bytes.end(), code.inline_bytes.begin());
    if (run.step != 0) code.inline_bytes[code.inline_size - 1] += std::uint8_t(offset);
    return code;
}
