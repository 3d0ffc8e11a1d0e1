#include "platform/jet/jet_index_writer.hpp"

#include <algorithm>

#include "platform/jet/jet_byte_writer.hpp"
#include "platform/jet/jet_usage_map_writer.hpp"

namespace {

using entry_list = std::vector<std::vector<std::uint8_t>>;

void write_page(std::span<std::uint8_t> page, std::uint8_t type, std::uint32_t tdef_page,
                std::uint32_t previous, std::uint32_t next, std::uint32_t tail,
                std::span<const std::vector<std::uint8_t>> entries) {
    std::fill(page.begin(), page.end(), std::uint8_t(0));
    jet_put_u8(page, JET_INDEX_PAGE_TYPE, type);
    jet_put_u8(page, JET_INDEX_PAGE_MARK, 0x01);
    jet_put_u32(page, JET_INDEX_PAGE_OWNER, tdef_page);
    jet_put_u32(page, JET_INDEX_PAGE_PREVIOUS, previous);
    jet_put_u32(page, JET_INDEX_PAGE_NEXT, next);
    jet_put_u32(page, JET_INDEX_PAGE_TAIL, tail);
    std::size_t used = 0;
    for (const std::vector<std::uint8_t>& entry : entries) {
        std::copy(entry.begin(), entry.end(),
                  page.begin() + std::ptrdiff_t(JET_INDEX_PAGE_ENTRIES + used));
        used += entry.size();
        page[JET_INDEX_PAGE_ENTRY_ENDS + used / 8] |= std::uint8_t(1u << (used % 8));
    }
    jet_put_u16(page, JET_INDEX_PAGE_FREE_SPACE,
                std::uint16_t(page.size() - JET_INDEX_PAGE_ENTRIES - used));
}

// The node entry naming a child: its last leaf entry, then its page number.
std::vector<std::uint8_t> child_entry(const std::vector<std::uint8_t>& last,
                                      std::uint32_t page_no) {
    std::vector<std::uint8_t> entry = last;
    for (std::size_t byte_idx = JET_INDEX_NODE_CHILD_SIZE; byte_idx-- > 0;)
        entry.push_back(std::uint8_t(page_no >> (8 * byte_idx)));
    return entry;
}

}   // namespace

std::uint32_t jet_create_index_root(jet_page_store& store, std::uint32_t tdef_page) {
    std::uint32_t page_no = store.allocate(jet_page_role::content);
    write_page(store.change(page_no, jet_page_role::content), JET_PAGE_INDEX_LEAF, tdef_page, 0, 0,
               0, {});
    return page_no;
}

jet_index_pages::jet_index_pages(std::uint32_t root_page, std::uint32_t usage_map_row)
    : root(root_page), map_row(usage_map_row) {}

void jet_index_pages::add(std::vector<std::uint8_t> entry, std::uint32_t row_pointer) {
    std::uint32_t page_no = row_pointer >> 8;
    entry.insert(entry.end(), {std::uint8_t(page_no >> 16), std::uint8_t(page_no >> 8),
                               std::uint8_t(page_no), std::uint8_t(row_pointer)});
    entries.push_back(std::move(entry));
}

// Fills leaf pages in key order, each as full as it goes.
std::vector<jet_index_pages::page_plan> jet_index_pages::plan_leaves() const {
    std::vector<page_plan> leaves(1);
    std::size_t used = 0;
    for (std::size_t entry_idx = 0; entry_idx < entries.size(); ++entry_idx) {
        std::size_t size = entries[entry_idx].size();
        if (used + size > JET_INDEX_ENTRY_AREA && leaves.back().end != leaves.back().first) {
            leaves.push_back({entry_idx, entry_idx, {}, 0});
            used = 0;
        }
        leaves.back().end = entry_idx + 1;
        used += size;
    }
    return leaves;
}

std::uint32_t jet_index_pages::take_page(jet_page_store& store, std::size_t& used) {
    if (used == owned.size()) {
        owned.push_back(store.allocate(jet_page_role::content));
        jet_usage_map_add(store, map_row, owned.back());
    }
    return owned[used++];
}

void jet_index_pages::write(jet_page_store& store, std::uint32_t tdef_page) {
    if (sorted_count == entries.size()) return;   // the pages already hold every entry
    auto middle = entries.begin() + std::ptrdiff_t(sorted_count);
    std::sort(middle, entries.end());
    // Leaf pages ending before the first new entry come out as they were: not rewritten.
    std::size_t first_new = std::size_t(std::lower_bound(entries.begin(), middle, *middle)
                                        - entries.begin());
    std::inplace_merge(entries.begin(), middle, entries.end());
    sorted_count = entries.size();

    std::vector<page_plan> level = plan_leaves();
    entry_list nodes;   // the node entries of the level being written
    const entry_list* source = &entries;
    std::uint8_t type = JET_PAGE_INDEX_LEAF;
    std::size_t used = 0;
    bool had_leaf_pages = leaf_pages > 1;
    leaf_pages = level.size();
    while (level.size() > 1) {
        std::vector<std::uint32_t> numbers;
        for (std::size_t page_idx = 0; page_idx < level.size(); ++page_idx)
            numbers.push_back(take_page(store, used));
        entry_list parent_entries;
        std::vector<page_plan> parents(1);
        std::size_t parent_used = 0;
        for (std::size_t page_idx = 0; page_idx < level.size(); ++page_idx) {
            const page_plan& page = level[page_idx];
            bool unchanged = type == JET_PAGE_INDEX_LEAF && had_leaf_pages && page.end < first_new;
            if (!unchanged)
                write_page(store.change(numbers[page_idx], jet_page_role::content), type, tdef_page,
                           page_idx == 0 ? 0 : numbers[page_idx - 1],
                           page_idx + 1 == level.size() ? 0 : numbers[page_idx + 1], page.tail,
                           std::span(*source).subspan(page.first, page.end - page.first));
            // A leaf's last entry names it in its parent; a node's is its subtree's last.
            const std::vector<std::uint8_t>& last = type == JET_PAGE_INDEX_LEAF
                                                        ? entries[page.end - 1]
                                                        : page.last;
            std::vector<std::uint8_t> entry = child_entry(last, numbers[page_idx]);
            if (parent_used + entry.size() > JET_INDEX_ENTRY_AREA) {
                parents.push_back({parent_entries.size(), parent_entries.size(), {}, 0});
                parent_used = 0;
            }
            parent_used += entry.size();
            parent_entries.push_back(std::move(entry));
            parents.back().end = parent_entries.size();
            parents.back().last = last;
        }
        // A node's last child is its tail, named in the header instead of by an entry.
        for (page_plan& parent : parents) {
            if (parent.end - parent.first < 2) continue;
            const std::vector<std::uint8_t>& tail = parent_entries[parent.end - 1];
            for (std::size_t at = tail.size() - JET_INDEX_NODE_CHILD_SIZE; at < tail.size(); ++at)
                parent.tail = parent.tail << 8 | tail[at];
            --parent.end;
        }
        nodes = std::move(parent_entries);
        source = &nodes;
        level = std::move(parents);
        type = JET_PAGE_INDEX_NODE;
    }
    write_page(
        store.change(root, jet_page_role::content), type, tdef_page, 0, 0, level.front().tail,
        std::span(*source).subspan(level.front().first, level.front().end - level.front().first));
    // Pages an earlier, larger layout used stay the index's, as empty leaves.
    for (std::size_t page_idx = used; page_idx < owned.size(); ++page_idx)
        write_page(store.change(owned[page_idx], jet_page_role::content), JET_PAGE_INDEX_LEAF,
                   tdef_page, 0, 0, 0, {});
}
