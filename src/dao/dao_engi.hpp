// dao_engi.hpp - dao_engine: the one object through which the Access side reaches DAO. It
// creates the DAO engine of a chosen generation, logs on to a workgroup file or supplies the
// built-in one, and opens Access databases as dao_database objects. A process-wide
// singleton. Generations (key: class; text form; built-in workgroup image):
//   0  DAO 3.6    wide     image A      1  DAO 3.5   wide     image B
//   2  DAO 3.0    wide     none         3  ACE DAO   narrow   image A
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "dao/dao_gen.hpp"
#include "ole/ole_ptr.hpp"
#include "tk/tk_singl.hpp"
#include "udb/udb_db.hpp"

class DAODBEngine;
class DAOWorkspace;

inline constexpr int DAO_NO_ENGINE = 4;
// Open modes (dao_database flags) with an effect on the engine.
inline constexpr std::uint32_t DAO_MODE_READ = 1;
inline constexpr std::uint32_t DAO_MODE_EXCLUSIVE = 16;
// Flags of a database made by create_db: bits 1, 4, 5, 6 (no foreign keys are read).
inline constexpr std::uint32_t DAO_CREATED_FLAGS = 114;

class dao_engine : public udb_engine, public tk_singl<dao_engine> {
public:
    dao_engine(bool b_uninitialize, bool b_keep_com);
    ~dao_engine() override;

    // Creates the engine object of that generation; false when it is not available.
    bool set_version_if(int key);
    // Logs on to user-level security; 3029 (dao_exception) for a bad account or password.
    void set_ugl_info(const std::u16string& workgroup_file, const std::u16string& user,
                      const std::u16string& password);
    // Uses the built-in workgroup file of the generation in use.
    void set_anonymous_sys_db();

    // A new .mdb (Jet 4) or .accdb (ACE 12); 3204 (dao_exception) when the file exists.
    // The database has the flags DAO_CREATED_FLAGS.
    std::unique_ptr<udb_database> create_db(const std::u16string& path) override;
    // mode: bit 0 read-only, bit 4 exclusive, bits 5/6 skip foreign keys (dao_database).
    std::unique_ptr<udb_database> open_db(const std::u16string& path, std::uint32_t mode,
                                          const std::u16string& password) override;

    // The code page of Jet 3 text for the databases opened after this; 0 lets the engine
    // choose (the file's header, the user's locale).
    void set_code_page(std::uint16_t chosen) { code_page = chosen; }

    int get_engine_key() const { return engine_key; }
    DAODBEngine* get_engine() const { return DBEngine.get(); }
    const dao_generator& get_generator() const { return generator; }

private:
    void uninitialize();
    void require_engine() const;

    ole_com_ptr<DAODBEngine> DBEngine;
    ole_com_ptr<DAOWorkspace> workspace;
    int engine_key = DAO_NO_ENGINE;
    std::uint16_t code_page = 0;
    dao_generator generator;
    bool b_uninitialize = true;
    bool b_keep_com = false;
};

// The connect text of an open: ";codepage=N" when a code page for Jet 3 text is chosen, then
// ";pwd=" and the password; empty for neither.
std::u16string dao_connect_text(const std::u16string& password, std::uint16_t code_page = 0);
