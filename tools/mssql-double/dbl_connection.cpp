// dbl_connection.cpp - the life of one connection: prelogin, login, then messages until the
// client leaves. Malformed packets end the connection; SQL errors never do.
#include "dbl_connection.hpp"

#include "dbl_bulk_stream.hpp"
#include "dbl_executor.hpp"
#include "dbl_login.hpp"
#include "dbl_packets.hpp"
#include "dbl_text.hpp"

#include <chrono>
#include <cstdio>
#include <thread>
#include <unistd.h>

namespace {

const char* const SERVER_NAME = "mssql-double";

class connection {
public:
    connection(dbl_server& new_server, int new_fd) : server(new_server), io(new_fd) {}
    ~connection() {
        if (session.spid) server.end_session(session.spid);
    }
    connection(const connection&) = delete;
    connection& operator=(const connection&) = delete;

    void serve() {
        while (auto first = io.read_header()) {
            // A bulk load is read as it arrives, every other message whole.
            if (b_logged_in && first->type == DBL_PACKET_BULK) {
                if (!bulk(*first)) break;
                continue;
            }
            auto message = io.read_message(*first);
            if (!message || !handle(*message)) break;
        }
    }

private:
    bool handle(const dbl_message& message) {
        if (!b_logged_in) {
            if (message.type == DBL_PACKET_PRELOGIN) return prelogin(message);
            if (message.type == DBL_PACKET_LOGIN7) return login(message);
            return false;
        }
        switch (message.type) {
        case DBL_PACKET_SQL_BATCH: return batch(message);
        case DBL_PACKET_ATTENTION: {
            dbl_reply reply;
            reply.done(dbl_tds::TOKEN_DONE, dbl_tds::DONE_ATTN, 0, 0);
            return send(reply);
        }
        case DBL_PACKET_RPC: {
            dbl_reply reply;
            reply.message(true, 2812, 62, 16, "Could not find stored procedure ''.", SERVER_NAME,
                          "", 1);
            reply.done(dbl_tds::TOKEN_DONE, dbl_tds::DONE_ERROR, 0, 0);
            return send(reply);
        }
        default: return false;
        }
    }

    bool send(dbl_reply& reply) {
        if (server.options().delay_ms > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(server.options().delay_ms));
        return io.write_message(DBL_PACKET_REPLY, reply.out.bytes);
    }

    bool prelogin(const dbl_message& message) {
        dbl_program_version version = server.program_version();
        auto reply = dbl_prelogin_reply(message.payload, version.major, version.minor,
                                        version.build);
        if (!reply) return false;
        return io.write_message(DBL_PACKET_REPLY, *reply);
    }

    bool refuse(dbl_reply& reply, const std::string& user) {
        reply.message(true, 18456, 1, 14, "Login failed for user '" + user + "'.", SERVER_NAME, "",
                      1);
        reply.done(dbl_tds::TOKEN_DONE, dbl_tds::DONE_ERROR, 0, 0);
        send(reply);
        return false;
    }

    bool login(const dbl_message& message) {
        auto request = dbl_parse_login7(message.payload);
        if (!request) return false;
        dbl_reply reply;
        if (server.refuse_next_login() || !server.check_login(request->user, request->password))
            return refuse(reply, request->user);
        std::string database = request->database.empty() ? "master" : request->database;
        {
            std::scoped_lock guard(server.lock());
            dbl_database* found = server.find_database(database);
            if (!found) {
                reply.message(true, 4060, 1, 11,
                              "Cannot open database \"" + database
                                  + "\" requested by the login. The login failed.",
                              SERVER_NAME, "", 1);
                return refuse(reply, request->user);
            }
            database = found->name();
        }
        session.user = request->user;
        session.app = request->app;
        session.set = dbl_login_options(request->b_odbc);
        session.database = database;
        session.spid = server.new_session(database);
        io.set_spid(session.spid);
        std::uint32_t packet_size = request->packet_size == 0 ? 4096
                                                              : std::clamp<std::uint32_t>(
                                                                  request->packet_size, 512, 32767);
        reply.envchange(1, database, "master");
        reply.message(false, 5701, 2, 0, "Changed database context to '" + database + "'.",
                      SERVER_NAME, "", 1);
        reply.envchange_collation();
        reply.envchange(2, "us_english", "");
        reply.message(false, 5703, 1, 0, "Changed language setting to us_english.", SERVER_NAME, "",
                      1);
        dbl_program_version version = server.program_version();
        reply.loginack("Microsoft SQL Server", std::uint8_t(version.major),
                       std::uint8_t(version.minor), std::uint16_t(version.build));
        reply.envchange(4, std::to_string(packet_size), "4096");
        reply.done(dbl_tds::TOKEN_DONE, dbl_tds::DONE_FINAL, 0, 0);
        b_logged_in = true;
        bool sent = send(reply);
        io.set_packet_size(packet_size);
        return sent;
    }

    // Batch text follows ALL_HEADERS: a u32 total length that counts itself.
    std::optional<std::u16string> batch_text(const std::vector<std::uint8_t>& payload) {
        try {
            dbl_reader r(payload);
            std::size_t start = 0;
            if (payload.size() >= 4) {
                std::uint32_t total = dbl_reader(payload).u32_le();
                if (total >= 4 && total <= payload.size()) start = total;
            }
            r.skip(start);
            if (r.remaining() % 2) return std::nullopt;
            return r.utf16(r.remaining() / 2);
        } catch (const dbl_short_input&) {
            return std::nullopt;
        }
    }

    bool batch(const dbl_message& message) {
        auto text = batch_text(message.payload);
        if (!text) return false;
        long limit = server.options().drop_after_batches;
        if (limit >= 0 && session.batches_received >= limit) return false;
        ++session.batches_received;
        if (server.options().b_trace)
            std::fprintf(stderr, "[%d] %s\n", session.spid, dbl_utf8(*text).c_str());
        dbl_reply reply;
        {
            std::scoped_lock guard(server.lock());
            dbl_executor executor(server, session, reply);
            executor.run_batch(*text);
        }
        return send(reply);
    }

    // The server is held from the first packet to the reply, as the batch's transaction
    // spans the whole message (README, "Bulk load holds the server").
    bool bulk(const dbl_packet_header& first) {
        dbl_reply reply;
        dbl_bulk_stream stream(io, first);
        try {
            std::scoped_lock guard(server.lock());
            dbl_executor executor(server, session, reply);
            executor.run_bulk(stream);
            stream.drain();
        } catch (const dbl_drop_connection&) {
            return false;
        }
        return send(reply);
    }

    dbl_server& server;
    dbl_packet_io io;
    dbl_session session;
    bool b_logged_in = false;
};

}   // namespace

void dbl_serve_connection(dbl_server& server, int socket_fd) {
    try {
        connection(server, socket_fd).serve();
    } catch (const std::exception& error) {
        // Only this connection ends; an escaped exception would end the whole process.
        std::fprintf(stderr, "mssql-double: connection closed: %s\n", error.what());
    }
    ::close(socket_fd);
}
