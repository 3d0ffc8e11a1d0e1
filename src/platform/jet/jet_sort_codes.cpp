#include "platform/jet/jet_sort_codes.hpp"

#include <algorithm>
#include <cassert>
#include <string_view>
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

// Bytes that are a whole sort element on their own; any other byte leads a two-byte one.
const std::array<bool, 256>& single_byte_elements() {
    static const std::array<bool, 256> singles = [] {
        std::array<bool, 256> out{};
        for (std::size_t run = 0; run < JET_SORT_RUN_COUNT; ++run) {
            const jet_sort_run& each = JET_SORT_RUNS[run];
            const std::string_view bytes = JET_SORT_ENTRIES[each.entry].inline_bytes;
            if (bytes.size() != 1) continue;
            std::size_t last = std::uint8_t(bytes[0]) + (each.step != 0 ? each.count - 1 : 0);
            for (std::size_t byte = std::uint8_t(bytes[0]); byte <= last; ++byte) out[byte] = true;
        }
        return out;
    }();
    return singles;
}

std::uint8_t count_elements(std::span<const std::uint8_t> bytes) {
    std::uint8_t elements = 0;
    for (std::size_t at = 0; at < bytes.size(); at += single_byte_elements()[bytes[at]] ? 1 : 2)
        ++elements;
    return elements;
}

}   // namespace

jet_sort_code jet_general_sort_code(char16_t unit) {
    // The General legacy order weighs neither half of a surrogate pair, nor a lone one: the
    // published tables, taken from keys Access wrote, give them no code at all.
    if (unit >= FIRST_SURROGATE && unit <= LAST_SURROGATE) return jet_sort_code{};
    std::uint16_t run_no = run_of_unit()[unit];
    assert(run_no != NO_RUN && "the generator checks that its runs cover every other unit");
    const jet_sort_run& run = JET_SORT_RUNS[run_no];
    const jet_sort_entry& entry = JET_SORT_ENTRIES[run.entry];
    jet_sort_code code{
        entry.kind, std::uint8_t(entry.inline_bytes.size()), {}, entry.extra, entry.flag};
    std::copy(entry.inline_bytes.begin(), entry.inline_bytes.end(), code.inline_bytes.begin());
    if (run.step != 0) code.inline_bytes[code.inline_size - 1] += std::uint8_t(unit - run.first);
    code.elements = count_elements(code.inline_view());
    return code;
}
