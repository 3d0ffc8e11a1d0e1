#pragma once
// oleaut_unknown.hpp - IUnknown and com_object, the reference-counted base our stand-ins of
// COM components (DAO, OLE DB) derive from. A com_object is born holding one reference, the
// creator's; the last Release destroys it. Counting is atomic, as COM's is.

#include "platform/oleaut/oleaut_guid.hpp"

#include <atomic>
#include <utility>

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID iid, void** out) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

class com_object : public IUnknown {
public:
    com_object() = default;
    com_object(const com_object&) = delete;
    com_object& operator=(const com_object&) = delete;

    // Answers IID_IUnknown and whatever find_interface knows; adds a reference on success,
    // sets *out to null and returns E_NOINTERFACE otherwise.
    HRESULT QueryInterface(REFIID iid, void** out) override;
    ULONG AddRef() override;
    ULONG Release() override;

protected:
    ~com_object() override = default;
    // Derived classes return the interface pointer for iid (this, cast), or null.
    virtual void* find_interface(REFIID iid);

private:
    std::atomic<ULONG> ref_count{1};
};

// Creates a T with its one reference handed to the caller (who releases it, usually through
// ole_com_ptr).
template <class T, class... Args>
T* com_new(Args&&... args) {
    return new T(std::forward<Args>(args)...);
}
