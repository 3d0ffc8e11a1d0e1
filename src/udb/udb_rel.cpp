// udb_rel.cpp - lookups in a database's foreign-key list and the generator of constraint
// names that no listed constraint has yet.
#include "udb/udb_rel.hpp"

#include <array>

#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "udb/udb_name.hpp"

bool udb_relationships::is_acceptable_name(const std::u16string& name) const {
    tk_trace::write(1, u"udb_relationships::is_acceptable_name(%s)", name);
    return udb_find_named(items, name) == nullptr;
}

const udb_relationship& udb_relationships::get_index(const std::u16string& name) const {
    tk_trace::write(1, u"udb_relationships::get_index(%s)", name);
    const udb_relationship* found = udb_find_named(items, name);
    // Callers ask only for names they saw in this list.
    if (found == nullptr) throw tk_mail_assertion(tk_source_name(__FILE__), __LINE__);
    return *found;
}

// Every rejection appends the next piece of "_", "1", "_", "2", "_", "3", "_", "1", ...; the
// text grows with each piece, so the walk ends after at most as many steps as there are
// listed constraints.
std::u16string udb_relationships::gen_relship_name(const udb_relationship& relationship) const {
    static constexpr std::array<const char16_t*, 6> PIECES = {u"_", u"1", u"_", u"2", u"_", u"3"};
    tk_trace::write(1, "udb_relationships::gen_relship_name");
    std::u16string base = u"FK_" + relationship.dest_table + u"_" + relationship.src_table;
    std::u16string candidate = udb_fit_name(base);
    for (std::size_t rejection = 0; !is_acceptable_name(candidate); ++rejection) {
        tk_trace::write(2, u"%s is not acceptable as a FK name", candidate);
        base += PIECES[rejection % PIECES.size()];
        candidate = udb_fit_name(base);
    }
    return candidate;
}
