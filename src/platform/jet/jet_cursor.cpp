#include "platform/jet/jet_cursor.hpp"

#include "platform/jet/jet_table_reader.hpp"

jet_cursor::jet_cursor(const jet_pager& pager, jet_table_def table_definition)
    : definition(std::move(table_definition)) {
    try {
        reader = std::make_unique<jet_table_reader>(pager, definition);
    } catch (jet_error& error) {
        error.set_table(jet_utf8(definition.name));
        throw;
    }
    pager_ref = &pager;
}

jet_cursor::~jet_cursor() = default;

namespace {

// A page's error names the page; the table is known only here.
template <class Call>
auto naming_table(const jet_table_def& definition, Call&& call) {
    try {
        return call();
    } catch (jet_error& error) {
        error.set_table(jet_utf8(definition.name));
        throw;
    }
}

}   // namespace

bool jet_cursor::next() {
    return naming_table(definition, [this] { return reader->next(row); });
}

bool jet_cursor::skip() {
    return naming_table(definition, [this] { return reader->skip(); });
}

std::uint32_t jet_cursor::page_no() const { return reader->page_no(); }

void jet_cursor::rewind() {
    reader = std::make_unique<jet_table_reader>(*pager_ref, definition);
    row.clear();
}

jet_row_position jet_cursor::position() const { return reader->position(); }

void jet_cursor::read_at(jet_row_position at) {
    naming_table(definition, [this, at] { reader->read_at(at, row); });
}
