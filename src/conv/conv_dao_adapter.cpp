// conv_dao_adapter.cpp - the Access half of the seam over dao_engine. Built only when the
// Access layer is. Each check and each run makes its own engine and releases it after.
#include <memory>
#include <string>

#include "conv/conv_engines.hpp"
#include "dao/dao_engi.hpp"
#include "dao/dao_sysdb.hpp"

namespace {

class dao_engine_adapter : public conv_access_engine {
public:
    // The driver's engine releases its engine object and the component runtime at its end.
    dao_engine_adapter() : engine(true, false) {}

    bool set_version_if(int key) override { return engine.set_version_if(key); }
    void set_ugl_info(const std::u16string& workgroup_file, const std::u16string& user,
                      const std::u16string& password) override {
        engine.set_ugl_info(workgroup_file, user, password);
    }
    void set_anonymous_sys_db() override { engine.set_anonymous_sys_db(); }
    void set_code_page(std::uint16_t code_page) override { engine.set_code_page(code_page); }
    std::unique_ptr<udb_database> open_db(const std::u16string& path, std::uint32_t mode,
                                          const std::u16string& password) override {
        return engine.open_db(path, mode, password);
    }

private:
    dao_engine engine;
};

}   // namespace

std::unique_ptr<conv_access_engine> conv_make_access_engine() {
    return std::make_unique<dao_engine_adapter>();
}

bool conv_check_sysdb(const std::u16string& path) { return dao_check_sysdb(path); }
