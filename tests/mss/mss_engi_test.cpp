// Version codes from @@VERSION texts as SQL Server versions print them, and the engine's
// refusal to work before it is connected.

#include "mss/mss_engi.hpp"

#include "mss/mss_db.hpp"

#include <gtest/gtest.h>

TEST(MssVersionCode, ClassifiesProductNames) {
    EXPECT_EQ(mss_engine::version_code_of(
                  u"Microsoft SQL Server  2000 - 8.00.2039 (Intel X86) May  3 2005"),
              3);
    EXPECT_EQ(mss_engine::version_code_of(
                  u"Microsoft SQL Server 2005 - 9.00.5000.00 (Intel X86) Dec 10 2010"),
              4);
    EXPECT_EQ(mss_engine::version_code_of(
                  u"Microsoft SQL Server 2008 (SP3) - 10.0.5500.0 (X64) Sep 21 2011"),
              5);
    EXPECT_EQ(mss_engine::version_code_of(
                  u"Microsoft SQL Server  7.00 - 7.00.1063 (Intel X86) Apr  9 2002"),
              2);
    for (const char16_t* text :
         {u"Microsoft SQL Server 2012 (SP4) (KB4018073) - 11.0.7001.0 (X64) Aug 15 2017",
          u"Microsoft SQL Server 2019 (RTM) - 15.0.2000.5 (X64) Sep 24 2019",
          u"Microsoft SQL Server 2022 (RTM) - 16.0.1000.6 (X64) Oct  8 2022"}) {
        EXPECT_EQ(mss_engine::version_code_of(text), 6);
    }
    EXPECT_EQ(mss_engine::version_code_of(u"Microsoft SQL Azure (RTM) - 12.0.2000.8 Oct 2 2023"),
              1);
}

TEST(MssVersionCode, ShortOrForeignTextsAreCodeOne) {
    EXPECT_EQ(mss_engine::version_code_of(u"Microsoft SQL Server 2000 - 8"), 1);     // 29 chars
    EXPECT_EQ(mss_engine::version_code_of(u"Microsoft SQL Server 2000 - 8."), 1);    // 30 chars
    EXPECT_EQ(mss_engine::version_code_of(u"Microsoft SQL Server 2000 - 8.0"), 3);   // 31 chars
    EXPECT_EQ(mss_engine::version_code_of(u"Adaptive Server Enterprise/15.7/EBF 2000"), 1);
    EXPECT_EQ(mss_engine::version_code_of(u""), 1);
}

TEST(MssEngine, OperationsBeforeConnectingAreInternalErrors) {
    mss_engine engine(true);
    EXPECT_THROW(engine.is_db_exist(u"x"), tk_mail_assertion);
    EXPECT_THROW(engine.open_db(u"x", MSS_OPEN_CREATE), tk_mail_assertion);
    EXPECT_THROW(engine.delete_db(u"x"), tk_mail_assertion);
    EXPECT_THROW(engine.conn_string(u"x"), tk_mail_assertion);
    EXPECT_THROW(mss_engine second(true), tk_mail_assertion);   // one engine per process
}
