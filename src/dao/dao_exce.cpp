// dao_exce.cpp - reads the engine's Errors into a dao_exception.
#include "dao/dao_exce.hpp"

#include "dao/dao_bstr.hpp"
#include "dao/dao_engi.hpp"
#include "ole/ole_ptr.hpp"
#include "platform/dao/dao.hpp"
#include "tk/tk_trace.hpp"

namespace {

// A damaged source file: the run must end, not report one table and go on, or a conversion
// would finish with tables or rows missing and look like a good one.
constexpr int DAO_CORRUPT = 3049;

int level_of(int dao_number) {
    return dao_number == DAO_CORRUPT ? ERROR_LEVEL_FATAL : ERROR_LEVEL_RECOVERABLE;
}

[[noreturn]] void fail_on_step(int step) {
    tk_trace::write(2, "Failed on step #%d", step);
    throw tk_exception("Failed to read the error of the DAO engine (step #" + std::to_string(step)
                           + ").",
                       ERROR_LEVEL_FATAL);
}

}   // namespace

dao_exception::dao_exception() : tk_exception(ERROR_LEVEL_RECOVERABLE) {
    tk_trace::write(2, "dao_exception::dao_exception");
    DAODBEngine* engine = dao_engine::is_registered() ? dao_engine::instance().get_engine()
                                                      : nullptr;
    ole_com_ptr<DAOErrors> errors;
    if (engine == nullptr || FAILED(engine->get_Errors(errors.put())) || !errors) fail_on_step(1);
    ole_com_ptr<DAOError> error;
    if (FAILED(errors->get_Item(dao_number_variant(0), error.put())) || !error) fail_on_step(2);
    dao_bstr description;
    if (FAILED(error->get_Description(description.put()))) fail_on_step(3);
    set_message(description.to_string());
    tk_trace::write(2, "Got error: %s", message().c_str());
    LONG number = 0;
    if (FAILED(error->get_Number(&number))) fail_on_step(4);
    set_code(DAO_CODE_BASE | (number & 0xFFFF));
    set_level(level_of(number & 0xFFFF));
    tk_trace::write(2, "Got error code: %08X", unsigned(code()));
}

dao_exception::dao_exception(int dao_number, std::string message)
    : tk_exception(std::move(message), DAO_CODE_BASE | (dao_number & 0xFFFF),
                   level_of(dao_number & 0xFFFF)) {
    tk_trace::write(2, "dao_exception::dao_exception");
}

void dao_check(HRESULT result) {
    if (FAILED(result)) throw dao_exception();
}

void dao_throw_no_object(const char* what) {
    throw tk_exception(std::string("The DAO engine reported success but returned no ") + what + ".",
                       ERROR_LEVEL_FATAL);
}
