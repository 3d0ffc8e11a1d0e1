// oleaut_unknown.cpp - reference counting of com_object. The count starts at 1 for the
// creator; Release at 0 deletes the object, which is how COM objects end.
#include "platform/oleaut/oleaut_unknown.hpp"

HRESULT com_object::QueryInterface(REFIID iid, void** out) {
    if (out == nullptr) return E_POINTER;
    void* found = iid == IID_IUnknown ? static_cast<IUnknown*>(this) : find_interface(iid);
    *out = found;
    if (found == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG com_object::AddRef() { return ++ref_count; }

ULONG com_object::Release() {
    ULONG left = --ref_count;
    if (left == 0) delete this;
    return left;
}

void* com_object::find_interface(REFIID) { return nullptr; }
