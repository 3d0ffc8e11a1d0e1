// Connection strings: keys case-blind, values with ';', '=' and quotes survive a round trip
// through quoting and parsing, malformed strings fail without echoing any value.

#include "platform/oledb/oledb_conn_string.hpp"
#include "platform/oledb/oledb_error_info.hpp"

#include <gtest/gtest.h>

TEST(OledbConnString, ReadsPlainPairsWithCaseBlindKeys) {
    oledb_conn_props props;
    ASSERT_EQ(oledb_parse_conn_string("Provider=sqloledb; Data Source = db1,1433 ;USER ID=joe;"
                                      "Password=pw",
                                      props),
              OLEDB_S_OK);
    EXPECT_EQ(props.get("data source").value(), "db1,1433");
    EXPECT_EQ(props.get("User Id").value(), "joe");
    EXPECT_EQ(props.get("PASSWORD").value(), "pw");
    EXPECT_FALSE(props.get("Initial Catalog").has_value());
}

TEST(OledbConnString, QuotedValuesRoundTrip) {
    for (const std::string password : {"a;b", "x=y", "say \"hi\"", "O'Brien;", " edge ", ""}) {
        const std::string text = "User ID=sa;Password=" + oledb_quote_value(password)
                                 + ";Initial Catalog=Shop";
        oledb_conn_props props;
        ASSERT_EQ(oledb_parse_conn_string(text, props), OLEDB_S_OK) << text;
        EXPECT_EQ(props.get("Password").value(), password) << text;
        EXPECT_EQ(props.get("Initial Catalog").value(), "Shop") << text;
    }
}

TEST(OledbConnString, PlainValuesStayUnquoted) {
    EXPECT_EQ(oledb_quote_value("Secret1"), "Secret1");
    EXPECT_EQ(oledb_quote_value("a;b"), "\"a;b\"");
    EXPECT_EQ(oledb_quote_value("q\"q"), "\"q\"\"q\"");
}

TEST(OledbConnString, SingleQuotedValuesAreRead) {
    oledb_conn_props props;
    ASSERT_EQ(oledb_parse_conn_string("Password='it''s;here';User ID=u", props), OLEDB_S_OK);
    EXPECT_EQ(props.get("Password").value(), "it's;here");
    EXPECT_EQ(props.get("User ID").value(), "u");
}

TEST(OledbConnString, MalformedStringsFailWithoutTheValue) {
    for (const std::string text :
         {"Password=\"s3cr;et", "Password=\"ab\"cd;User ID=u", "User ID=u;garbage"}) {
        oledb_conn_props props;
        props.set("kept", "1");
        EXPECT_EQ(oledb_parse_conn_string(text, props), OLEDB_E_INVALIDARG) << text;
        EXPECT_EQ(props.get("kept").value(), "1");   // the output is untouched
        const auto error = oledb_take_error_info();
        ASSERT_TRUE(error.has_value());
        ASSERT_EQ(error->records.size(), 1u);
        EXPECT_EQ(error->records[0].description.find("s3cr"), std::string::npos);
        EXPECT_EQ(error->records[0].description.find("ab"), std::string::npos);
    }
}
