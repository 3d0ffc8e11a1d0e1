// tk_exce.cpp - the exception family's constructors, their trace lines and the assertion's
// location code.
#include "tk/tk_exce.hpp"

#include <cerrno>
#include <string>

#include "platform/winbase/win_system.hpp"
#include "tk/tk_trace.hpp"

namespace {

const char* const UNKNOWN_EXCEPTION = "Unknown exception";
const char* const INTERNAL_ERROR_PREFIX = "Internal error: \ncode=";

}   // namespace

tk_exception::tk_exception(int level) : message_(UNKNOWN_EXCEPTION), level_(level) {}

tk_exception::tk_exception(std::string message, int level) : level_(level) {
    set_message(std::move(message));
}

tk_exception::tk_exception(std::string message, std::int32_t code, int level)
    : code_(code), level_(level) {
    set_message(std::move(message));
}

void tk_exception::set_message(std::string message) {
    message_ = message.empty() ? std::string(UNKNOWN_EXCEPTION) : std::move(message);
}

tk_exception_ex::tk_exception_ex() : tk_exception_ex(errno) {}

tk_exception_ex::tk_exception_ex(int error_number) : tk_exception(ERROR_LEVEL_FATAL) {
    tk_trace::write(2, "tk_exception_ex::ctor");
    set_code(error_number);
    const std::string text = win_error_text(error_number);
    if (text.empty()) return;
    tk_trace::write(2, "GetLastError: %s", text.c_str());
    set_message(text);
}

tk_mail_assertion::tk_mail_assertion(const char* source_file, int number)
    : tk_exception(ERROR_LEVEL_INTERNAL) {
    const char* source = source_file == nullptr ? "" : source_file;
    tk_trace::write(2, "tk_mail_assertion::ctor(%s)", source);
    set_message(INTERNAL_ERROR_PREFIX + location_code(source, number));
}

std::string tk_mail_assertion::location_code(std::string_view source_file, int number) {
    static const char HEX_DIGITS[] = "0123456789abcdef";
    const std::string location = std::string(source_file) + "\\" + std::to_string(number);
    std::string code;
    code.reserve(location.size() * 2);
    for (const char character : location) {
        const unsigned char byte = static_cast<unsigned char>(character);
        code.push_back(HEX_DIGITS[byte >> 4]);
        code.push_back(HEX_DIGITS[byte & 0x0F]);
    }
    return code;
}

tk_final_exception::tk_final_exception() { tk_trace::write(2, "tk_final_exception::ctor"); }
