// ole_ptr.hpp - ole_com_ptr<T>, the holder of one COM interface pointer: it takes over one
// reference, hands the pointer out, and releases it once when destroyed, tracing how many
// references were left. Reaching through an empty holder is an internal error.
#pragma once

#include "platform/oleaut/oleaut_unknown.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"

inline constexpr const char* OLE_PTR_SOURCE = "ole_ptr";
inline constexpr int FAULT_PTR_EMPTY = 94;

template <class T>
class ole_com_ptr {
public:
    ole_com_ptr() = default;
    explicit ole_com_ptr(T* new_pointer) : pointer(new_pointer) {}   // takes over one reference
    ole_com_ptr(const ole_com_ptr&) = delete;
    ole_com_ptr& operator=(const ole_com_ptr&) = delete;
    ole_com_ptr(ole_com_ptr&& other) noexcept : pointer(other.detach()) {}
    ole_com_ptr& operator=(ole_com_ptr&& other) noexcept {
        if (this != &other) attach(other.detach());
        return *this;
    }

    virtual ~ole_com_ptr() { release(); }

    T* operator->() const {
        if (pointer == nullptr) throw tk_mail_assertion(OLE_PTR_SOURCE, FAULT_PTR_EMPTY);
        return pointer;
    }
    T* get() const { return pointer; }
    explicit operator bool() const { return pointer != nullptr; }

    // For out-parameters (QueryInterface, factories): releases what is held first.
    T** put() {
        release();
        return &pointer;
    }
    void attach(T* new_pointer) {
        release();
        pointer = new_pointer;
    }
    T* detach() {
        T* held = pointer;
        pointer = nullptr;
        return held;
    }
    void release() {
        if (pointer == nullptr) return;
        T* held = detach();
        ULONG left = held->Release();
        tk_trace::write(2, "ole_com_ptr<T>::~ole_com_ptr() - %d refs left", int(left));
    }

private:
    T* pointer = nullptr;
};
