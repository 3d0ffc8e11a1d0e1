#pragma once
// daostub_factory.hpp - creating a DBEngine as COM does: CoGetClassObject for the
// generation's class identifier with IClassFactory2, then CreateInstanceLic with the
// engine interface and the run-time licence key. Generations 0 (DAO 3.6), 1 (DAO 3.5) and
// 3 (ACE DAO, text as ANSI bytes) are served by our engine; 2 is not registered.
//
// Test diagnostic: VANTREL_DAO_UNAVAILABLE, a comma-separated list of generation keys
// ("3,0"), makes those generations' classes unregistered, so the caller's fallback order
// can be tried on a machine that has all of them.

#include "platform/dao/daostub_engine.hpp"

inline constexpr DWORD CLSCTX_DAO_SERVER = 21;   // in-process, local and remote server
inline constexpr HRESULT REGDB_E_CLASSNOTREG = HRESULT(0x80040154u);
inline constexpr HRESULT CLASS_E_NOTLICENSED = HRESULT(0x80040112u);

// The licence key our engine's class factories accept.
inline constexpr char16_t DAO_RUNTIME_LICENSE[] = u"vantrel-dao-runtime";

// Class and engine interface identifiers of the four generations.
inline constexpr GUID CLSID_DBEngine36 = {
    0x00000100, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
inline constexpr GUID CLSID_DBEngine35 = {
    0x00000010, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
inline constexpr GUID CLSID_DBEngine30 = {
    0x00025E15, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr GUID CLSID_DBEngineAce = {
    0xCD7791B9, 0x43FD, 0x42C5, {0xAE, 0x42, 0x8D, 0xD2, 0x81, 0x1F, 0x04, 0x19}};
inline constexpr GUID IID_DBEngine = {
    0x00000021, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
inline constexpr GUID IID_DBEngine30 = {
    0x00025E17, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr GUID IID_DBEngineAce = {
    0x00000020, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
inline constexpr GUID IID_IClassFactory2 = {
    0xB196B28F, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};

class IClassFactory2 : public com_object {
public:
    IClassFactory2(bool narrow_text, GUID new_engine_iid)
        : b_narrow_text(narrow_text), engine_iid(new_engine_iid) {}

    // object receives a DAODBEngine* (as void*) holding one reference.
    HRESULT CreateInstanceLic(IUnknown* outer, IUnknown* reserved, REFIID iid, BSTR license,
                              void** object);

private:
    bool b_narrow_text;
    GUID engine_iid;
};

// object receives an IClassFactory2* (as void*) holding one reference.
HRESULT CoGetClassObject(REFIID clsid, DWORD context, void* server_info, REFIID iid, void** object);
