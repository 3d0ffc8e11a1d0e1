#include "make/make_rows.hpp"

#include <algorithm>

namespace {

constexpr double FIRST_DATE = 36526.0;   // 2000-01-01
constexpr std::u16string_view SCRIPTS = u" \u00c4\u00df \u041f\u0440\u0438 \u65e5\u672c "
                                        u"\u0645\u0631 \U0001F600";

std::u16string ascii(const std::string& text) { return std::u16string(text.begin(), text.end()); }

std::u16string generated_text(std::uint64_t row_no, std::size_t length) {
    std::u16string text = ascii("row " + std::to_string(row_no));
    if (row_no % 3 == 0) text += SCRIPTS;
    while (text.size() < length) text += text;
    text.resize(length);
    // A cut between the halves of a surrogate pair would leave half a character.
    if (!text.empty() && text.back() >= 0xD800 && text.back() < 0xDC00) text.back() = u'x';
    return text;
}

std::vector<std::uint8_t> generated_bytes(std::uint64_t row_no, std::size_t length) {
    std::vector<std::uint8_t> bytes(length);
    for (std::size_t at = 0; at < length; ++at) bytes[at] = std::uint8_t((row_no + at) % 251);
    return bytes;
}

bool may_be_null(const jet_column& column) {
    return column.is_nullable() && !column.is_autonumber() && column.type_code != JET_TYPE_BOOLEAN;
}

}   // namespace

jet_value make_generated_value(const jet_column& column, std::size_t column_idx,
                               std::uint64_t row_no) {
    if (column.is_autonumber()) return jet_value();
    if (may_be_null(column) && (row_no + column_idx) % 7 == 0) return jet_value();
    std::size_t long_length = std::size_t(row_no % 5) * 1500;
    switch (column.type_code) {
    case JET_TYPE_BOOLEAN: return jet_value(row_no % 2 == 0);
    case JET_TYPE_BYTE: return jet_value(std::uint8_t(row_no % 256));
    case JET_TYPE_INT16: return jet_value(std::int16_t(row_no % 32768));
    case JET_TYPE_INT32: return jet_value(std::int32_t(row_no % 2147483648u));
    case JET_TYPE_FLOAT32: return jet_value(float(row_no) * 0.5f);
    case JET_TYPE_FLOAT64: return jet_value(double(row_no) * 0.25);
    case JET_TYPE_CURRENCY: return jet_value(jet_currency{std::int64_t(row_no) * 12345});
    case JET_TYPE_DATETIME:
        return jet_value(jet_date{FIRST_DATE + double(row_no) + double(row_no % 24) / 24.0});
    case JET_TYPE_GUID: {
        jet_guid guid;
        for (std::size_t at = 0; at < guid.bytes.size(); ++at)
            guid.bytes[at] = std::uint8_t((row_no >> (8 * (at % 8))) + at);
        return jet_value(guid);
    }
    case JET_TYPE_NUMERIC:
        return jet_value(jet_decimal{std::uint32_t(row_no * 101), 0, 0, column.scale,
                                     column.precision, row_no % 2 == 1});
    case JET_TYPE_TEXT: return jet_value(generated_text(row_no, column.dao_size()));
    case JET_TYPE_MEMO: return jet_value(generated_text(row_no, long_length));
    case JET_TYPE_BINARY:
        return jet_value(generated_bytes(row_no, std::min<std::size_t>(column.size_bytes, 8)));
    default: return jet_value(generated_bytes(row_no, long_length));
    }
}

bool make_read_csv_record(std::istream& in, std::vector<std::string>& fields) {
    fields.clear();
    std::string field;
    bool quoted = false;
    bool any = false;
    char ch = 0;
    while (in.get(ch)) {
        any = true;
        if (ch == '"') quoted = !quoted;   // "" inside a field toggles twice
        if (!quoted && ch == '\r') continue;
        if (!quoted && (ch == ',' || ch == '\n')) {
            fields.push_back(field);
            field.clear();
            if (ch == '\n') return true;
            continue;
        }
        field += ch;
    }
    if (!any) return false;
    fields.push_back(field);
    return true;
}
