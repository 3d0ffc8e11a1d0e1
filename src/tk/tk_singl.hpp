// tk_singl.hpp - the singleton pattern of the trace log, the converter, the error handler and
// the rule registry: a class derives from tk_singl<itself>; constructing it registers the one
// instance, destroying it unregisters it. A second instance, or access with none registered,
// is an internal error with the fault codes below (users quote these location codes). The
// wizard reaches the converter, the error handler and the log from its worker thread while
// the GUI thread registers and releases them, so the registration is atomic.
#pragma once

#include <atomic>

#include "tk/tk_exce.hpp"

inline constexpr const char* TK_SINGL_SOURCE = "tk/tk_singl.hpp";
inline constexpr int FAULT_SINGLETON_REGISTERED_TWICE = 35;
inline constexpr int FAULT_SINGLETON_RELEASED_UNREGISTERED = 46;
inline constexpr int FAULT_SINGLETON_MISSING = 59;
inline constexpr int FAULT_SINGLETON_POINTER_MISSING = 66;

// Traces a failed release from a destructor, which must not throw.
void tk_singl_report_unregister_failure(const tk_mail_assertion& failure);

template <class T>
class tk_singl {
public:
    tk_singl(const tk_singl&) = delete;
    tk_singl& operator=(const tk_singl&) = delete;

    static bool is_registered() { return registered_.load() != nullptr; }

    static T& instance() {
        tk_singl* registered = registered_.load();
        if (registered == nullptr) {
            throw tk_mail_assertion(TK_SINGL_SOURCE, FAULT_SINGLETON_MISSING);
        }
        return *static_cast<T*>(registered);
    }

    static T* instance_ptr() {
        tk_singl* registered = registered_.load();
        if (registered == nullptr) {
            throw tk_mail_assertion(TK_SINGL_SOURCE, FAULT_SINGLETON_POINTER_MISSING);
        }
        return static_cast<T*>(registered);
    }

protected:
    tk_singl() {
        tk_singl* expected = nullptr;
        if (!registered_.compare_exchange_strong(expected, this)) {
            throw tk_mail_assertion(TK_SINGL_SOURCE, FAULT_SINGLETON_REGISTERED_TWICE);
        }
    }

    // Destructors never throw: a registration that vanished is traced as the assertion it is.
    ~tk_singl() {
        tk_singl* expected = this;
        if (registered_.compare_exchange_strong(expected, nullptr)) return;
        if (expected == nullptr) {
            tk_singl_report_unregister_failure(
                tk_mail_assertion(TK_SINGL_SOURCE, FAULT_SINGLETON_RELEASED_UNREGISTERED));
        }
    }

private:
    // The base part, not T*: the derived part is gone by the time the destructor compares.
    inline static std::atomic<tk_singl*> registered_{nullptr};
};
