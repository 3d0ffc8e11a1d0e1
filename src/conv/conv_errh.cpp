// conv_errh.cpp - the console form of the error handler. Internal errors are printed even in
// silent mode: the user must learn that the program stopped and why.
#include "conv/conv_errh.hpp"

#include <iostream>

#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"

namespace {

// The process status for the -1 of the console program.
constexpr int EXIT_FATAL = -1;

[[noreturn]] void end_program() {
    std::cout.flush();
    std::cerr.flush();
    throw tk_exit_request(EXIT_FATAL);
}

}   // namespace

error_handler::error_handler(std::span<const conv_message_entry> access_map)
    : messages(access_map.size(), access_map.data()) {
    tk_trace::write(2, "error_handler::ctor");
}

error_handler::~error_handler() = default;

void error_handler::load_err_map(std::span<const conv_message_entry> map) {
    tk_trace::write(2, "error_handler::load_err_map");
    messages.load_map(map.size(), map.data());
}

void error_handler::set_context(const std::u16string& table_name) {
    context = tk_utf16_to_utf8(table_name);
}

void error_handler::set_context(const std::u16string& table_name, std::int32_t record_number) {
    context = tk_utf16_to_utf8(table_name) + ", record #" + std::to_string(record_number);
}

std::string error_handler::find_message(std::int32_t code) { return messages.convert(code); }

std::string error_handler::compose_message(const tk_exception& failure) {
    std::string message;
    if (!context.empty()) message = context + ": ";
    std::string mapped = find_message(failure.code());
    message += mapped.empty() ? std::string(failure.what()) : mapped;
    return message;
}

void error_handler::handle(const tk_exception& failure, int /*cannot_continue*/) {
    tk_trace::write(2, "error_handler::handle");
    count_report();
    if (failure.level() == ERROR_LEVEL_INTERNAL) {
        tk_trace::write(3, "Internal error:\n%s", failure.what());
        if (before_print) before_print();
        std::cout << "Internal error: " << failure.what() << std::endl;
        end_program();
    }
    std::string message = compose_message(failure);
    tk_trace::write(3, "Error:\n%s", message.c_str());
    for (char& letter : message) {
        if (letter == '\n') letter = ' ';
    }
    if (!silent) {
        if (before_print) before_print();
        std::cout << "Error:" << std::endl << message << std::endl;
    }
    if (failure.level() == ERROR_LEVEL_FATAL) {
        tk_trace::write(1, "Got 1-level error");
        end_program();
    }
    tk_trace::write(1, "Got 0-level error");
}
