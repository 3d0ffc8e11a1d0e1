// dao_engi.cpp - the DAO engine: generation search, workgroup logon, opening databases.
// Passwords never reach the trace: where a line names one, it shows "***".
#include "dao/dao_engi.hpp"

#include "dao/dao_bstr.hpp"
#include "dao/dao_db.hpp"
#include "dao/dao_exce.hpp"
#include "platform/dao/dao.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"

namespace {

struct generation_row {
    int key;
    GUID clsid;
    GUID iid;
};

constexpr generation_row GENERATIONS[] = {
    {0, CLSID_DBEngine36, IID_DBEngine},
    {1, CLSID_DBEngine35, IID_DBEngine},
    {2, CLSID_DBEngine30, IID_DBEngine30},
    {3, CLSID_DBEngineAce, IID_DBEngineAce},
};

const char* masked(const std::u16string& secret) { return secret.empty() ? "" : "***"; }

}   // namespace

dao_engine::dao_engine(bool new_b_uninitialize, bool new_b_keep_com)
    : b_uninitialize(new_b_uninitialize), b_keep_com(new_b_keep_com) {
    // No component runtime needs starting on this platform; b_keep_com is kept so callers
    // read as they do where one does.
    tk_trace::write(2, "dao_engine::ctor");
}

dao_engine::~dao_engine() {
    tk_trace::write(2, "dao_engine::dtor");
    workspace.release();
    if (b_uninitialize && engine_key != DAO_NO_ENGINE) uninitialize();
}

void dao_engine::uninitialize() {
    tk_trace::write(2, "dao_engine::uninitialize");
    DBEngine.release();
    engine_key = DAO_NO_ENGINE;
}

bool dao_engine::set_version_if(int key) {
    tk_trace::write(1, "dao_engine::set_version_if(%d)", key);
    if (engine_key != DAO_NO_ENGINE) uninitialize();
    const generation_row* row = nullptr;
    for (const generation_row& candidate : GENERATIONS) {
        if (candidate.key == key) row = &candidate;
    }
    TK_ASSERT(row != nullptr);
    ole_com_ptr<IClassFactory2> factory;
    void* factory_object = nullptr;
    if (FAILED(CoGetClassObject(row->clsid, CLSCTX_DAO_SERVER, nullptr, IID_IClassFactory2,
                                &factory_object))
        || factory_object == nullptr) {
        tk_trace::write(2, "Failed to create ClassFactory");
        return false;
    }
    factory.attach(static_cast<IClassFactory2*>(factory_object));
    BSTR license = SysAllocString(DAO_RUNTIME_LICENSE);
    void* engine_object = nullptr;
    HRESULT created = factory->CreateInstanceLic(nullptr, nullptr, row->iid, license,
                                                 &engine_object);
    SysFreeString(license);
    if (FAILED(created) || engine_object == nullptr) {
        tk_trace::write(2, "Failed to create instance of license\n");
        return false;
    }
    DBEngine.attach(static_cast<DAODBEngine*>(engine_object));
    engine_key = key;
    return true;
}

void dao_engine::require_engine() const {
    TK_ASSERT(engine_key != DAO_NO_ENGINE);
    TK_ASSERT(DBEngine.get() != nullptr);
}

void dao_engine::set_ugl_info(const std::u16string& workgroup_file, const std::u16string& user,
                              const std::u16string& password) {
    tk_trace::write(1, u"dao_engine::set_ugl_info(%s,%s,%s)", workgroup_file, user,
                    masked(password));
    TK_ASSERT(!workspace);
    if (workgroup_file.empty() || user.empty()) return;
    require_engine();
    dao_check(DBEngine->put_SystemDB(dao_bstr(workgroup_file)));
    dao_bstr name(std::u16string(u"New Workspace"));
    dao_bstr user_name(user);
    dao_bstr secret = dao_bstr::secret(password);
    VARIANT use_type{};
    dao_check(DBEngine->CreateWorkspace(name, user_name, secret, use_type, workspace.put()));
    if (!workspace) dao_throw_no_object("workspace");
}

void dao_engine::set_anonymous_sys_db() {
    tk_trace::write(1, "dao_engine::set_anonymous_sys_db");
    require_engine();
    if (engine_key == 2) return;
    const std::vector<std::uint8_t>& image = engine_key == 1 ? dao_workgroup_image_b()
                                                             : dao_workgroup_image_a();
    generator.do_generate(image.size(), image.data());
    dao_check(DBEngine->put_SystemDB(dao_bstr(generator.get_name())));
}

std::unique_ptr<udb_database> dao_engine::create_db(const std::u16string& path) {
    tk_trace::write(2, u"dao_engine::create_db (%s)", path);
    tk_trace::write(3, u"Creating MS Access database '%s'", path);
    require_engine();
    dao_bstr name(path);
    dao_bstr locale(std::u16string(u";LANGID=0x0409;CP=1252;COUNTRY=0"));
    ole_com_ptr<DAODatabase> database;
    HRESULT result = DBEngine->CreateDatabase(name, locale, dao_number_variant(0), database.put());
    tk_trace::write(2, "CreateDatabase returns %08X", unsigned(result));
    if (result == HRESULT(0x800A0E31u)) {
        std::string product = engine_key == 0 ? "Microsoft Access 2000" : "Microsoft Access 95/97";
        throw tk_exception("Failed to load Data Access Objects (DAO) support library.\n" + product
                               + " installation is required to proceed\nwith the "
                                 "application.\n",
                           ERROR_LEVEL_FATAL);
    }
    dao_check(result);
    if (!database) dao_throw_no_object("database");
    return std::make_unique<dao_database>(path, std::move(database), DAO_CREATED_FLAGS);
}

std::unique_ptr<udb_database> dao_engine::open_db(const std::u16string& path, std::uint32_t mode,
                                                  const std::u16string& password) {
    tk_trace::write(2, u"dao_engine::open_db(%s, mode=%d)", path, int(mode));
    require_engine();
    dao_bstr name(path);
    dao_bstr connect = dao_bstr::secret(dao_connect_text(password, code_page));
    VARIANT exclusive{};
    exclusive.vt = VT_BOOL;
    exclusive.boolVal = (mode & DAO_MODE_EXCLUSIVE) != 0 ? VARIANT_BOOL(-1) : VARIANT_BOOL(0);
    VARIANT read_only{};
    read_only.vt = VT_BOOL;
    read_only.boolVal = (mode & DAO_MODE_READ) != 0 ? VARIANT_BOOL(-1) : VARIANT_BOOL(0);
    tk_trace::write(2, "Open database using DAO engine");
    ole_com_ptr<DAODatabase> database;
    dao_check(
        DBEngine->OpenDatabase(name, exclusive, read_only, connect.as_variant(), database.put()));
    if (!database) dao_throw_no_object("database");
    tk_trace::write(2, "Right after OpenDatabase call");
    return std::make_unique<dao_database>(path, std::move(database), mode);
}

std::u16string dao_connect_text(const std::u16string& password, std::uint16_t code_page) {
    std::u16string text;
    if (code_page != 0) text = u";codepage=" + tk_utf8_to_utf16(std::to_string(code_page));
    if (!password.empty()) text += u";pwd=" + password;
    return text;
}
