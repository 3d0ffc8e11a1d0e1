#pragma once
// dbl_tds.hpp - TDS 7.4 tokens the double writes (COLMETADATA, ROW, DONE*, ERROR, INFO,
// ENVCHANGE, LOGINACK, RETURNSTATUS) and the column codec shared by result rows and the
// rows a bcp client sends: type info and values of every column type, PLP for (max).

#include "dbl_bytes.hpp"
#include "dbl_type.hpp"

#include <string>
#include <vector>

namespace dbl_tds {
constexpr std::uint8_t TOKEN_COLMETADATA = 0x81;
constexpr std::uint8_t TOKEN_ROW = 0xD1;
constexpr std::uint8_t TOKEN_DONE = 0xFD;
constexpr std::uint8_t TOKEN_DONEPROC = 0xFE;
constexpr std::uint8_t TOKEN_DONEINPROC = 0xFF;
constexpr std::uint8_t TOKEN_ERROR = 0xAA;
constexpr std::uint8_t TOKEN_INFO = 0xAB;
constexpr std::uint8_t TOKEN_LOGINACK = 0xAD;
constexpr std::uint8_t TOKEN_ENVCHANGE = 0xE3;
constexpr std::uint8_t TOKEN_RETURNSTATUS = 0x79;

constexpr std::uint16_t DONE_FINAL = 0x00;
constexpr std::uint16_t DONE_MORE = 0x01;
constexpr std::uint16_t DONE_ERROR = 0x02;
constexpr std::uint16_t DONE_COUNT = 0x10;
constexpr std::uint16_t DONE_ATTN = 0x20;

constexpr std::uint16_t CMD_SELECT = 0xC1;
constexpr std::uint16_t CMD_INSERT = 0xC3;
constexpr std::uint16_t CMD_EXECUTE = 0xE0;
constexpr std::uint16_t CMD_OTHER = 0x00;
}   // namespace dbl_tds

// SQL_Latin1_General_CP1_CI_AS: LCID 0x0409, case- and width-insensitive, sort order 52.
extern const std::uint8_t DBL_COLLATION[5];

struct dbl_result_column {
    std::string name;
    dbl_type type;
    bool b_nullable = true;
    bool b_identity = false;
    bool b_updatable = false;
    std::vector<std::string> table_parts;   // for text, ntext and image
};

// A column as a bcp client describes it: the wire type and what it maps to.
struct dbl_wire_column {
    std::uint8_t wire_type = 0;
    int wire_length = 0;   // length field of the type info (bytes), 0xFFFF = PLP
    dbl_type type;
    bool b_nullable = true;
    std::u16string name;
};

class dbl_reply {
public:
    void colmetadata(const std::vector<dbl_result_column>& columns);
    void row(const std::vector<dbl_result_column>& columns, const std::vector<dbl_value>& row,
             std::int64_t textsize);
    void done(std::uint8_t token, std::uint16_t status, std::uint16_t command, std::uint64_t count);
    // Clears the MORE bit of the last DONE token: the batch's final answer.
    void finish();
    void message(bool b_error, std::int32_t number, std::uint8_t state, std::uint8_t severity,
                 const std::string& text, const std::string& server, const std::string& procedure,
                 std::int32_t line);
    void envchange(std::uint8_t type, const std::string& new_value, const std::string& old_value);
    void envchange_collation();
    void loginack(const std::string& program, std::uint8_t major, std::uint8_t minor,
                  std::uint16_t build);
    void returnstatus(std::int32_t status);
    bool has_error() const { return b_error; }
    bool empty() const { return out.size() == 0; }

    dbl_writer out;

private:
    std::size_t last_done_status = SIZE_MAX;
    bool b_error = false;
};

void dbl_write_type_info(dbl_writer& w, const dbl_result_column& column);
void dbl_write_value(dbl_writer& w, const dbl_type& type, const dbl_value& value,
                     std::int64_t textsize);
// Reads a bcp client's column description (user type to name); throws dbl_sql_error
// 4816 for a type the double does not take, dbl_short_input when the bytes end.
dbl_wire_column dbl_read_wire_column(dbl_reader& r, int column_number);
// Reads one value; 4815 for a length the type cannot have.
dbl_value dbl_read_value(dbl_reader& r, const dbl_wire_column& column, int column_number);
