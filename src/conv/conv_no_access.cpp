// conv_no_access.cpp - the Access half of a build without the Access engine: no engine
// generation loads, so every run and check ends with the DAO failure text (level 1).
#include <string>

#include "conv/conv_engines.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "udb/udb_db.hpp"

namespace {

constexpr const char* NO_ACCESS_TEXT = "MS Access support is not available in this build.";

class no_access_engine : public conv_access_engine {
public:
    bool set_version_if(int key) override {
        tk_trace::write(2, "no Access engine in this build (generation %d)", key);
        return false;
    }
    void set_ugl_info(const std::u16string&, const std::u16string&,
                      const std::u16string&) override {
        throw tk_exception(NO_ACCESS_TEXT, ERROR_LEVEL_FATAL);
    }
    void set_anonymous_sys_db() override { throw tk_exception(NO_ACCESS_TEXT, ERROR_LEVEL_FATAL); }
    void set_code_page(std::uint16_t) override {
        throw tk_exception(NO_ACCESS_TEXT, ERROR_LEVEL_FATAL);
    }
    std::unique_ptr<udb_database> open_db(const std::u16string&, std::uint32_t,
                                          const std::u16string&) override {
        throw tk_exception(NO_ACCESS_TEXT, ERROR_LEVEL_FATAL);
    }
};

}  // namespace

std::unique_ptr<conv_access_engine> conv_make_access_engine() {
    return std::make_unique<no_access_engine>();
}

bool conv_check_sysdb(const std::u16string&) {
    throw tk_exception(NO_ACCESS_TEXT, ERROR_LEVEL_FATAL);
}
