// daostub_rows.cpp - DAO's position rules over a forward-only row source.
#include "platform/dao/daostub_rows.hpp"

std::unique_ptr<daostub_rows> daostub_rows::complex_items(std::size_t) const { return nullptr; }

void daostub_rows::open() {
    restart();
    position = -1;
    b_any = fetch_next();
    b_eof = !b_any;
    if (b_any) position = 0;
}

bool daostub_rows::move_first() {
    if (!b_any) return false;
    open();
    return true;
}

bool daostub_rows::move_next() {
    if (b_eof) return false;
    if (position < 0) {   // from BOF DAO moves onto the first row
        open();
        return true;
    }
    ++position;
    if (!fetch_next()) b_eof = true;
    return true;
}

// The sources read forward only, so the row before is reached by reading again from the
// start. The converter moves back rarely; a table is never held in memory for it.
bool daostub_rows::move_previous() {
    if (position < 0) return false;
    std::int64_t wanted = position - 1;
    restart();
    b_eof = false;
    position = -1;
    for (std::int64_t row_no = 0; row_no <= wanted; ++row_no) {
        if (!fetch_next()) break;
        position = row_no;
    }
    return true;
}
