// dbl_tds.cpp - token writing.
#include "dbl_tds.hpp"

#include "dbl_text.hpp"

const std::uint8_t DBL_COLLATION[5] = {0x09, 0x04, 0xD0, 0x00, 0x34};

void dbl_reply::colmetadata(const std::vector<dbl_result_column>& columns) {
    out.u8(dbl_tds::TOKEN_COLMETADATA);
    out.u16_le(std::uint16_t(columns.size()));
    for (const dbl_result_column& column : columns) {
        out.u32_le(0);   // user type
        std::uint16_t flags = column.b_nullable ? 0x01 : 0x00;
        flags |= column.b_updatable ? 0x08 : 0x00;   // updateable: read/write
        flags |= column.b_identity ? 0x10 : 0x00;
        out.u16_le(flags);
        dbl_write_type_info(out, column);
        out.b_varchar(dbl_utf16(column.name));
    }
}

void dbl_reply::row(const std::vector<dbl_result_column>& columns,
                    const std::vector<dbl_value>& row, std::int64_t textsize) {
    out.u8(dbl_tds::TOKEN_ROW);
    for (std::size_t i = 0; i < columns.size(); ++i)
        dbl_write_value(out, columns[i].type, row[i], textsize);
}

void dbl_reply::done(std::uint8_t token, std::uint16_t status, std::uint16_t command,
                     std::uint64_t count) {
    out.u8(token);
    last_done_status = out.size();
    out.u16_le(status);
    out.u16_le(command);
    out.u64_le(count);
}

void dbl_reply::finish() {
    if (last_done_status == SIZE_MAX) {
        done(dbl_tds::TOKEN_DONE, b_error ? dbl_tds::DONE_ERROR : 0, 0, 0);
        return;
    }
    std::uint16_t status = std::uint16_t(out.bytes[last_done_status]
                                         | (out.bytes[last_done_status + 1] << 8));
    out.patch_u16_le(last_done_status, status & ~dbl_tds::DONE_MORE);
}

void dbl_reply::message(bool b_is_error, std::int32_t number, std::uint8_t state,
                        std::uint8_t severity, const std::string& text, const std::string& server,
                        const std::string& procedure, std::int32_t line) {
    b_error = b_error || b_is_error;
    dbl_writer body;
    body.u32_le(std::uint32_t(number));
    body.u8(state);
    body.u8(severity);
    body.us_varchar(dbl_utf16(text));
    body.b_varchar(dbl_utf16(server));
    body.b_varchar(dbl_utf16(procedure));
    body.u32_le(std::uint32_t(line));
    out.u8(b_is_error ? dbl_tds::TOKEN_ERROR : dbl_tds::TOKEN_INFO);
    out.u16_le(std::uint16_t(body.size()));
    out.raw(body.bytes);
}

void dbl_reply::envchange(std::uint8_t type, const std::string& new_value,
                          const std::string& old_value) {
    dbl_writer body;
    body.u8(type);
    body.b_varchar(dbl_utf16(new_value));
    body.b_varchar(dbl_utf16(old_value));
    out.u8(dbl_tds::TOKEN_ENVCHANGE);
    out.u16_le(std::uint16_t(body.size()));
    out.raw(body.bytes);
}

void dbl_reply::envchange_collation() {
    out.u8(dbl_tds::TOKEN_ENVCHANGE);
    out.u16_le(1 + 1 + 5 + 1);
    out.u8(7);
    out.u8(5);
    out.raw(std::span<const std::uint8_t>(DBL_COLLATION, 5));
    out.u8(0);
}

void dbl_reply::loginack(const std::string& program, std::uint8_t major, std::uint8_t minor,
                         std::uint16_t build) {
    dbl_writer body;
    body.u8(1);                // interface: SQL_TSQL
    body.u32_be(0x74000004);   // TDS 7.4
    body.b_varchar(dbl_utf16(program));
    body.u8(major);
    body.u8(minor);
    body.u16_be(build);
    out.u8(dbl_tds::TOKEN_LOGINACK);
    out.u16_le(std::uint16_t(body.size()));
    out.raw(body.bytes);
}

void dbl_reply::returnstatus(std::int32_t status) {
    out.u8(dbl_tds::TOKEN_RETURNSTATUS);
    out.u32_le(std::uint32_t(status));
}
