// Connection strings built from random bytes: the parser either reads them or fails with
// E_INVALIDARG, never reads past the text; quoted values always read back unchanged.

#include "platform/oledb/oledb_conn_string.hpp"
#include "platform/oledb/oledb_error_info.hpp"

#include <gtest/gtest.h>

#include <random>

TEST(OledbConnStringFuzz, RandomTextParsesOrFailsCleanly) {
    std::mt19937 generator(20261207);
    const std::string alphabet = "ab=;\"' \t";
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const int length = static_cast<int>(generator() % 24);
        for (int char_idx = 0; char_idx < length; ++char_idx) {
            text += generator() % 4 == 0 ? char(generator() % 256)
                                         : alphabet[generator() % alphabet.size()];
        }
        oledb_conn_props props;
        const oledb_hresult result = oledb_parse_conn_string(text, props);
        EXPECT_TRUE(result == OLEDB_S_OK || result == OLEDB_E_INVALIDARG) << text;
        oledb_take_error_info();
    }
}

TEST(OledbConnStringFuzz, AnyValueRoundTripsThroughQuoting) {
    std::mt19937 generator(7);
    for (int round = 0; round < 20000; ++round) {
        std::string value;
        const int length = static_cast<int>(generator() % 16);
        for (int char_idx = 0; char_idx < length; ++char_idx) value += char(1 + generator() % 255);
        oledb_conn_props props;
        ASSERT_EQ(oledb_parse_conn_string("Password=" + oledb_quote_value(value) + ";X=1", props),
                  OLEDB_S_OK);
        // Unquoted values lose their edge blanks; a value that has them is always quoted.
        EXPECT_EQ(props.get("Password").value(), value);
        EXPECT_EQ(props.get("X").value(), "1");
    }
}
