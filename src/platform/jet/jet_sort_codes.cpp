#include "platform/jet/jet_sort_codes.hpp"

#include <algorithm>
#include <cassert>
#include <vector>

#include "platform/jet/jet_sort_codes_table.hpp"

namespace {

constexpr std::uint16_t NO_RUN = 0xFFFF;
constexpr char16_t FIRST_SURROGATE = 0xD800;
constexpr char16_t LAST_SURROGATE = 0xDFFF;

// The run of each unit, laid out once: every character of every text key looks here.
const std::vector<std::uint16_t>& run_of_unit() {
    static const std::vector<std::uint16_t> runs = [] {
        std::vector<std::uint16_t> out(0x10000, NO_RUN);
        for (std::size_t run = 0; run < JET_SORT_RUN_COUNT; ++run) {
            const jet_sort_run& each = JET_SORT_RUNS[run];
            std::fill_n(out.begin() + each.first, each.count, std::uint16_t(run));
        }
        return out;
    }();
    return runs;
}

}  // namespace

jet_sort_code jet_general_sort_code(char16_t unit) {
    // The General legacy order weighs neither half of a surrogate pair, nor a lone one: the
    // published tables, taken from keys Access wrote, give them no code at all.
    if (unit >= FIRST_SURROGATE && unit <= LAST_SURROGATE) return jet_sort_code{};
    std::uint16_t run_no = run_of_unit()[unit];
    assert(run_no != NO_RUN && "the generator checks that its runs cover every other unit");
    const jet_sort_run& run = JET_SORT_RUNS[run_no];
    const jet_sort_entry& entry = JET_SORT_ENTRIES[run.entry];
    jet_sort_code code{entry.kind, std::uint8_t(entry.inline_bytes.size()), {}, entry.extra,
                       entry.flag};
    std::copy(entry.inline_bytes.begin(), entry.inline_bytes.end(), code.inline_bytes.begin());
    if (run.step != 0) code.inline_bytes[code.inline_size - 1] += std::uint8_t(unit - run.first);
    return code;
}
