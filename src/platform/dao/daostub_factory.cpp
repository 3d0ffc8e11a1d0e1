// daostub_factory.cpp - class factories of the DBEngine generations.
#include "platform/dao/daostub_factory.hpp"

#include <cstdlib>
#include <string_view>

namespace {

struct generation {
    int key;
    GUID clsid;
    GUID engine_iid;
    bool b_narrow_text;
};

constexpr generation GENERATIONS[] = {
    {0, CLSID_DBEngine36, IID_DBEngine, false},
    {1, CLSID_DBEngine35, IID_DBEngine, false},
    {3, CLSID_DBEngineAce, IID_DBEngineAce, true},
};

bool is_switched_off(int key) {
    const char* listed = std::getenv("VANTREL_DAO_UNAVAILABLE");
    if (listed == nullptr) return false;
    std::string_view keys(listed);
    while (!keys.empty()) {
        std::size_t comma = keys.find(',');
        std::string_view item = keys.substr(0, comma);
        if (item.size() == 1 && item[0] == char('0' + key)) return true;
        if (comma == std::string_view::npos) break;
        keys.remove_prefix(comma + 1);
    }
    return false;
}

}   // namespace

HRESULT IClassFactory2::CreateInstanceLic(IUnknown* outer, IUnknown*, REFIID iid, BSTR license,
                                          void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return E_INVALIDARG;   // no aggregation
    if (!(iid == engine_iid)) return E_NOINTERFACE;
    if (bstr_view(license) != std::u16string_view(DAO_RUNTIME_LICENSE)) return CLASS_E_NOTLICENSED;
    *object = static_cast<void*>(com_new<DAODBEngine>(b_narrow_text));
    return S_OK;
}

HRESULT CoGetClassObject(REFIID clsid, DWORD, void*, REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!(iid == IID_IClassFactory2)) return E_NOINTERFACE;
    for (const generation& row : GENERATIONS) {
        if (!(row.clsid == clsid) || is_switched_off(row.key)) continue;
        *object = static_cast<void*>(com_new<IClassFactory2>(row.b_narrow_text, row.engine_iid));
        return S_OK;
    }
    return REGDB_E_CLASSNOTREG;
}
