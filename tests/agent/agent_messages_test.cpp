// agent_messages_test.cpp - the console program never gives the wizard's advice: with its own
// map loaded first, no message the agent can print sends the user to a wizard page.
#include "agent/agent_messages.hpp"

#include <gtest/gtest.h>

#include "tk/tk_errco.hpp"

TEST(AgentMessages, NoMessageSendsTheUserToTheWizard) {
    const std::span<const conv_message_entry> own = agent_console_messages();
    tk_error_converter messages(own.size(), own.data());
    for (const auto shared : {conv_access_messages(), conv_mssql_messages()}) {
        messages.load_map(shared.size(), shared.data());
        for (const conv_message_entry& entry : shared) {
            EXPECT_EQ(messages.convert(entry.code).find("wizard"), std::string::npos)
                << std::hex << entry.code;
        }
    }
    EXPECT_NE(messages.convert(0x80E3F).find("--as_dbo"), std::string::npos);
    EXPECT_NE(messages.convert(68709).find("--sysdb="), std::string::npos);
}
