// jet_complex_test.cpp - complex columns: attachment data unwrapped and inflated (stored forms
// built here with zlib, as Jackcess documents the layout), each damage refused with its
// reason; and the complex-column catalogue of complexDataTestV2007 read into each column's
// kind, hidden table and keys (names as mdb-reader lists MSysComplexColumns and the catalogue).
#include "platform/jet/jet_attachment.hpp"

#include <gtest/gtest.h>
#include <zlib.h>

#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_test_files.hpp"

namespace {

using bytes = std::vector<std::uint8_t>;

void put_u32(bytes& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(std::uint8_t(value >> shift));
}

// The content Access wraps: header length, 1, extension characters, "txt\0" in UTF-16, file.
bytes content_of(const std::string& file) {
    bytes content;
    put_u32(content, 12 + 8);
    put_u32(content, 1);
    put_u32(content, 4);
    for (char ch : std::string("txt\0", 4)) {
        content.push_back(std::uint8_t(ch));
        content.push_back(0);
    }
    content.insert(content.end(), file.begin(), file.end());
    return content;
}

bytes stored_form(const bytes& content, bool b_deflate) {
    bytes stored;
    put_u32(stored, b_deflate ? 1 : 0);
    put_u32(stored, std::uint32_t(content.size()));
    if (!b_deflate) {
        stored.insert(stored.end(), content.begin(), content.end());
        return stored;
    }
    uLongf length = compressBound(uLong(content.size()));
    bytes deflated(length);
    EXPECT_EQ(compress(deflated.data(), &length, content.data(), uLong(content.size())), Z_OK);
    stored.insert(stored.end(), deflated.begin(), deflated.begin() + std::ptrdiff_t(length));
    return stored;
}

std::string decoded_text(const bytes& stored) {
    bytes file = jet_decode_attachment(stored);
    return std::string(file.begin(), file.end());
}

std::string failure_of(const bytes& stored) {
    try {
        jet_decode_attachment(stored);
    } catch (const jet_error& error) {
        EXPECT_EQ(error.dao_number(), 3049);
        return error.what();
    }
    return "no failure";
}

const jet_column& column_named(const jet_table_def& def, std::u16string_view name) {
    const jet_column* column = def.find_column(name);
    EXPECT_NE(column, nullptr);
    return *column;
}

}   // namespace

TEST(JetAttachment, GivesTheFileOfRawAndDeflatedData) {
    EXPECT_EQ(decoded_text(stored_form(content_of("hello, world"), false)), "hello, world");
    EXPECT_EQ(decoded_text(stored_form(content_of("hello, world"), true)), "hello, world");
    EXPECT_EQ(decoded_text(stored_form(content_of(""), true)), "");
}

TEST(JetAttachment, RefusesDamageWithItsReason) {
    bytes good = stored_form(content_of("some file contents"), true);
    EXPECT_NE(failure_of(bytes(good.begin(), good.begin() + 5)).find("header is cut short"),
              std::string::npos);
    bytes bad_stream = good;
    bad_stream[10] = 0xFF;   // deflate block type 3 does not exist
    EXPECT_NE(failure_of(bad_stream).find("bad deflate stream"), std::string::npos);
    bytes cut_stream(good.begin(), good.end() - 6);
    EXPECT_NE(failure_of(cut_stream).find("ends early"), std::string::npos);
    bytes longer = good;
    longer[4] = std::uint8_t(longer[4] - 3);   // announces 3 bytes fewer than the stream holds
    EXPECT_NE(failure_of(longer).find("more than announced"), std::string::npos);
    bytes unknown_kind = good;
    unknown_kind[0] = 7;
    EXPECT_NE(failure_of(unknown_kind).find("unknown storage kind 7"), std::string::npos);
    bytes raw = stored_form(content_of("raw"), false);
    EXPECT_NE(failure_of(bytes(raw.begin(), raw.end() - 1)).find("stored file is cut short"),
              std::string::npos);
    bytes bad_header = content_of("x");
    bad_header[0] = 200;   // a content header longer than the content
    EXPECT_NE(failure_of(stored_form(bad_header, false)).find("content header length 200"),
              std::string::npos);
}

TEST(JetComplexColumns, ReadsKindsTablesAndKeysOfEachColumn) {
    JET_REQUIRE_TESTDATA();
    auto db = jet_database::open(
        jet_testdata("jahlborn-jackcess/V2007/complexDataTestV2007.accdb"));
    jet_table_def def = db->table_def(u"Table1");

    const jet_complex_info& attachment = column_named(def, u"attach-data").complex;
    EXPECT_EQ(attachment.kind, jet_complex_kind::attachment);
    EXPECT_EQ(attachment.flat_table, u"f_3B07F994AD0A4B56A3A1E13B3A1D3B70_attach-data");
    EXPECT_EQ(attachment.key_column, u"_attach-data");
    EXPECT_EQ(attachment.item_key_column, u"Table1_attach-data");
    EXPECT_EQ(column_named(def, u"attach-data").dao_type(), DAO_TYPE_ATTACHMENT);

    const jet_complex_info& list = column_named(def, u"multi-value-data").complex;
    EXPECT_EQ(list.kind, jet_complex_kind::multi_value);
    EXPECT_EQ(list.element_type, JET_TYPE_TEXT);
    EXPECT_EQ(column_named(def, u"multi-value-data").dao_type(), DAO_TYPE_COMPLEX_TEXT);

    const jet_column& history = column_named(
        def, u"VersionHistory_F5F8918F-0A3F-4DA9-AE71-184EE5012880");
    EXPECT_EQ(history.complex.kind, jet_complex_kind::version_history);
    EXPECT_EQ(history.complex.versioned_column, u"append-memo-data");

    EXPECT_EQ(column_named(def, u"memo-data").complex.kind, jet_complex_kind::none);
}
