// tk_mail.cpp - building the mailto: link and handing it to the desktop. The program is
// started without a shell, so nothing in the error text can reach a command line.
#include "tk/tk_mail.hpp"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdio>

#include "tk/tk_trace.hpp"

extern char** environ;

namespace {

bool is_unreserved(char character) {
    return (character >= 'A' && character <= 'Z') || (character >= 'a' && character <= 'z')
           || (character >= '0' && character <= '9') || character == '-' || character == '.'
           || character == '_' || character == '~';
}

void append_encoded(std::string& out, std::string_view text, std::string_view keep) {
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char character = text[at];
        if (character == '\n'
            || (character == '\r' && at + 1 < text.size() && text[at + 1] == '\n')) {
            out += "%0D%0A";   // RFC 6068: line ends are CRLF
            if (character == '\r') ++at;
            continue;
        }
        if (is_unreserved(character) || keep.find(character) != std::string_view::npos) {
            out.push_back(character);
            continue;
        }
        char escaped[4];
        std::snprintf(escaped, sizeof(escaped), "%%%02X", unsigned(std::uint8_t(character)));
        out += escaped;
    }
}

// Runs `program link` and waits; -1 when it could not be started.
int run_handler(const char* program, const std::string& link) {
    char* const arguments[] = {const_cast<char*>(program), const_cast<char*>(link.c_str()),
                               nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, program, nullptr, nullptr, arguments, environ) != 0) return -1;
    int status = 0;
    if (waitpid(child, &status, 0) < 0) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}   // namespace

std::string tk_bug_report_mailto(std::string_view subject_tail, std::string_view body) {
    std::string link = "mailto:";
    append_encoded(link, std::string(TK_MAKER_NAME) + " <" + TK_SUPPORT_ADDRESS + ">", "@");
    link += "?subject=";
    append_encoded(link, "Bug report on " + std::string(subject_tail), "");
    link += "&body=";
    append_encoded(link, body, "");
    return link;
}

void send_bug_report(std::string_view subject_tail, std::string_view body) {
    const std::string link = tk_bug_report_mailto(subject_tail, body);
    for (const char* handler : {"xdg-email", "xdg-open"}) {
        const int result = run_handler(handler, link);
        if (result < 0) continue;
        tk_trace::write(2, "%s returns %d", handler, result);
        return;
    }
    tk_trace::write(2, "Failed to locate a mail handler (xdg-email, xdg-open)");
}
