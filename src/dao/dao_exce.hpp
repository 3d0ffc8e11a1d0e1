// dao_exce.hpp - dao_exception: a failure of the DAO engine as the toolkit's exception. Its
// message is the description of the engine's first error and its code 0x10000 OR that
// error's number, the key of the Access message map. dao_check turns a failed HRESULT into
// it; dao_require turns a null object where DAO reported success into a fatal error.
// A corrupt file (3049) is fatal: no table of a damaged source may pass for converted.
#pragma once

#include <string>

#include "platform/oleaut/oleaut.hpp"
#include "tk/tk_exce.hpp"

inline constexpr std::int32_t DAO_CODE_BASE = 0x10000;

class dao_exception : public tk_exception {
public:
    // Reads Errors.Item(0) of the engine in use; when that read fails at a step, a fatal
    // tk_exception naming the step is thrown instead.
    dao_exception();
    // An error the Access side finds itself, with the DAO number it stands for.
    dao_exception(int dao_number, std::string message);

    int dao_number() const { return code() & 0xFFFF; }
};

// Throws dao_exception when `result` failed.
void dao_check(HRESULT result);

// Throws the fatal tk_exception when DAO reported success but handed back nothing.
template <class T>
T* dao_require(T* object, const char* what);

void dao_throw_no_object(const char* what);

template <class T>
T* dao_require(T* object, const char* what) {
    if (object == nullptr) dao_throw_no_object(what);
    return object;
}
