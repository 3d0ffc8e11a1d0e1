// dao_rec.cpp - dao_record, dao_field and dao_get_valid_variant.
#include "dao/dao_rec.hpp"

#include "dao/dao_bstr.hpp"
#include "dao/dao_child_table.hpp"
#include "dao/dao_exce.hpp"
#include "platform/dao/dao.hpp"
#include "tk/tk_trace.hpp"

namespace {

// DAO hands a replication ID out as "{guid {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}}".
constexpr std::u16string_view REPLICATION_ID_OPEN = u"{guid ";
constexpr std::u16string_view REPLICATION_ID_CLOSE = u"}";
constexpr std::string_view FAKE_DATE = "1899-12-30";
constexpr std::u16string_view FAKE_DATE_WIDE = u"1899-12-30";

bool is_traced(int level) {
    return tk_trace::is_registered() && tk_trace::instance().is_enabled()
           && level >= tk_trace::instance().threshold();
}

// Access keeps a time-only value on 1899-12-30: the date part is printed as 0000-00-00, and
// a text that is only that date stands for midnight.
template <class Text>
Text without_fake_date(Text text, std::basic_string_view<typename Text::value_type> fake,
                       const Text& zero_date, const Text& midnight) {
    std::size_t at = text.find(fake);
    if (at == Text::npos) return text;
    tk_trace::write(2, "Fake date has been found");
    if (text.size() > fake.size()) return text.replace(at, fake.size(), zero_date);
    tk_trace::write(2, "Transform pure fake date to pure time");
    return midnight;
}

// The GUID of a replication ID's text, or nothing when the text is not exactly that form.
bool read_replication_id(std::u16string_view text, GUID& guid) {
    const std::size_t length = REPLICATION_ID_OPEN.size() + GUID_TEXT_CHARS
                               + REPLICATION_ID_CLOSE.size();
    if (text.size() != length || !text.starts_with(REPLICATION_ID_OPEN)
        || !text.ends_with(REPLICATION_ID_CLOSE)) {
        return false;
    }
    return SUCCEEDED(
        guid_from_wstring(text.substr(REPLICATION_ID_OPEN.size(), GUID_TEXT_CHARS), &guid));
}

}   // namespace

std::uint16_t dao_vartype_of(int dao_type) {
    switch (dao_type) {
    case dbBoolean: return VT_BOOL;
    case 2: return VT_UI1;
    case 3: return VT_I2;
    case 4: return VT_I4;
    case 5: return VT_CY;
    case 6: return VT_R4;
    case 7:
    case 21: return VT_R8;
    case 8:
    case 22: return VT_DATE;
    case 10:
    case 12: return VT_BSTR;
    // Exact types: a double would lose Decimal digits and BigInt values past 2^53.
    case 19:
    case 20: return VT_DECIMAL;
    case 16: return VT_I8;
    case 26: return VT_BSTR;   // Date/Time Extended, as its full-precision text
    default: return VT_BLOB;
    }
}

dao_field::dao_field(ole_com_ptr<DAOField> held) : field(std::move(held)) {
    tk_trace::write(2, "dao_field::ctor");
    dao_bstr field_name;
    dao_check(field->get_Name(field_name.put()));
    name = field_name.to_wstring();
    LONG field_size = 0;
    dao_check(field->get_Size(&field_size));
    size = std::uint32_t(field_size);
    VARIANT_BOOL required = 0;
    dao_check(field->get_Required(&required));
    b_not_null = required == VARIANT_BOOL(-1);
    LONG attributes = 0;
    dao_check(field->get_Attributes(&attributes));
    b_autoincrement = (attributes & 0x10) != 0;
    SHORT type_code = 0;
    dao_check(field->get_Type(&type_code));
    dao_type = type_code;
    if (dao_vartype_of(dao_type) == VT_DECIMAL) {
        SHORT precision = 0;
        SHORT scale = 0;
        dao_check(field->get_Precision(&precision));
        dao_check(field->get_Scale(&scale));
        decimal_shape = std::uint32_t(precision & 0xFF) << 8 | std::uint32_t(scale & 0xFF);
    }
    read_value();
}

void dao_field::read_value() {
    // A value of the row before (a date's parts, a text) must not outlive its row.
    clear();
    dao_check(field->get_Value(&value));   // into the empty value: nothing left unfreed
    if (type() == VT_DATE) {
        tk_trace::write(2, "Special processing for VT_DATE");
        if (!VariantTimeToSystemTime(value.date, &date_value)) {
            tk_trace::write(2, "Failed to convert VARIANT->SYSTEMTIME");
        }
    }
    // The column, not the text, says what a value is: a replication ID travels as a GUID, so
    // no text that merely looks like one is ever treated as one.
    GUID guid{};
    if (dao_type == dbGUID && type() == VT_BSTR
        && read_replication_id(bstr_view(value.bstrVal), guid)) {
        static_cast<ole_variant&>(*this) = ole_variant(guid);
    }
    // BigInt arrives as an exact DECIMAL; the model carries it as a 64-bit integer.
    if (dao_vartype_of(dao_type) == VT_I8 && type() == VT_DECIMAL) change_type(VT_I8);
    if (is_traced(2)) tk_trace::write(2, "Got DAO field: %s", ole_variant::to_string().c_str());
}

dao_field::~dao_field() = default;

std::uint16_t dao_field::get_vartype() const { return dao_vartype_of(dao_type); }

std::string dao_field::to_string() const {
    std::string text = ole_variant::to_string();
    if (get_vartype() != VT_DATE) return text;
    return without_fake_date<std::string>(std::move(text), FAKE_DATE, "0000-00-00", "00:00:00");
}

std::u16string dao_field::to_wstring() const {
    std::u16string text = ole_variant::to_wstring();
    if (get_vartype() != VT_DATE) return text;
    return without_fake_date<std::u16string>(std::move(text), FAKE_DATE_WIDE, u"0000-00-00",
                                             u"00:00:00");
}

int dao_field::get_native_type(const t_ftd& descriptor) {
    tk_trace::write(1, "dao_field::get_native_type(%d)", int(descriptor.vartype));
    switch (descriptor.vartype) {
    case VT_I2:
    case VT_I1: return 3;
    case VT_I4:
    case VT_UI2: return 4;
    case VT_R4: return 6;
    case VT_R8:
    case VT_DECIMAL:
    case VT_UI4:
    case VT_I8:
    case VT_UI8: return 7;
    case VT_CY: return 5;
    case VT_DATE: return 8;
    case VT_BSTR: return descriptor.size >= 1 && descriptor.size <= 255 ? 10 : 12;
    case VT_BOOL: return 1;
    case VT_UI1: return 2;
    case VT_BLOB:
    case VT_BLOB_OBJECT:
    case VT_BINARY_ARRAY: return descriptor.size >= 1 && descriptor.size <= 255 ? 9 : 11;
    default: throw ole_type_exception();
    }
}

dao_record::dao_record(ole_com_ptr<DAOFields> held) : fields(std::move(held)) {
    dao_require(fields.get(), "fields");
    fields->AddRef();
    tk_trace::write(2, "dao_record::dao_record: n_refs = %d", int(fields->Release()));
    SHORT count = 0;
    dao_check(fields->get_Count(&count));
    for (SHORT field_idx = 0; field_idx < count; ++field_idx) {
        ole_com_ptr<DAOField> item;
        dao_check(fields->get_Item(dao_number_variant(field_idx), item.put()));
        dao_require(item.get(), "field");
        SHORT dao_type = 0;
        dao_check(item->get_Type(&dao_type));
        if (dao_is_complex_type(dao_type)) continue;   // read as a child table's rows
        auto field = std::make_unique<dao_field>(std::move(item));
        own_fields.push_back(field.get());
        append(std::move(field));
    }
}

void dao_record::read_values() {
    for (dao_field* field : own_fields) field->read_value();
}

bool dao_needs_valid_variant(VARTYPE type) {
    return type == VT_I1 || type == VT_UI2 || type == VT_UI4 || type == VT_I8 || type == VT_UI8;
}

ole_variant dao_get_valid_variant(const ole_variant& value) {
    tk_trace::write(1, "dao_get_valid_variant");
    VARTYPE target = VT_EMPTY;
    switch (value.type()) {
    case VT_I1:
        tk_trace::write(2, "Converting VT_I1 value to short");
        target = VT_I2;
        break;
    case VT_UI2:
        tk_trace::write(2, "Converting VT_UI2 value to integer");
        target = VT_I4;
        break;
    case VT_UI4:
        tk_trace::write(2, "Converting VT_UI4 value to double");
        target = VT_R8;
        break;
    case VT_I8:
    case VT_UI8:
        tk_trace::write(2, "Converting BIGINT value to double");
        target = VT_R8;
        break;
    default: return value;
    }
    ole_variant converted = ole_variant::from_string(value.to_string(), target);
    tk_trace::write(2, ">>> %s", converted.to_string().c_str());
    return converted;
}
