// oleaut_safearray.cpp - one-dimensional SAFEARRAYs. Header and data are separate malloc
// blocks, since SafeArrayRedim replaces the data; SafeArrayDestroy frees both. An element
// count times the element size must fit 32 bits, as on the platform.
#include "platform/oleaut/oleaut_safearray.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

constexpr USHORT FADF_FIXEDSIZE_SCALARS = 0x0000;

ULONG element_size(VARTYPE vt) {
    switch (vt) {
    case VT_I1:
    case VT_UI1: return 1;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL: return 2;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_ERROR: return 4;
    case VT_I8:
    case VT_UI8:
    case VT_R8:
    case VT_CY:
    case VT_DATE: return 8;
    default: return 0;
    }
}

bool data_bytes(ULONG elements, ULONG size, std::size_t* bytes) {
    std::uint64_t total = std::uint64_t(elements) * size;
    if (total > std::numeric_limits<std::uint32_t>::max()) return false;
    *bytes = std::size_t(total);
    return true;
}

// Zeroed data block of bytes (at least one byte, so a 0-element array has a pointer too).
void* allocate_data(std::size_t bytes) { return std::calloc(std::max<std::size_t>(bytes, 1), 1); }

// The platform keeps an array's element type beside its header (FADF_HAVEVARTYPE); so do
// we, in one block whose first member is the header the caller sees.
struct array_block {
    SAFEARRAY header;
    VARTYPE vt;
};

array_block* block_of(SAFEARRAY* array) {
    return reinterpret_cast<array_block*>(array);   // header is the first member
}

}   // namespace

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims, SAFEARRAYBOUND* bounds) {
    ULONG size = element_size(vt);
    std::size_t bytes = 0;
    if (cDims != 1 || bounds == nullptr || size == 0) return nullptr;
    if (!data_bytes(bounds[0].cElements, size, &bytes)) return nullptr;
    auto* block = static_cast<array_block*>(std::calloc(1, sizeof(array_block)));
    if (block == nullptr) return nullptr;
    void* data = allocate_data(bytes);
    if (data == nullptr) {
        std::free(block);
        return nullptr;
    }
    block->vt = vt;
    SAFEARRAY& header = block->header;
    header.cDims = 1;
    header.fFeatures = FADF_FIXEDSIZE_SCALARS;
    header.cbElements = size;
    header.cLocks = 0;
    header.pvData = data;
    header.rgsabound[0] = bounds[0];
    return &header;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lower_bound, ULONG elements) {
    SAFEARRAYBOUND bound{elements, lower_bound};
    return SafeArrayCreate(vt, 1, &bound);
}

HRESULT SafeArrayDestroy(SAFEARRAY* array) {
    if (array == nullptr) return S_OK;
    if (array->cLocks > 0) return DISP_E_ARRAYISLOCKED;
    std::free(array->pvData);
    std::free(block_of(array));
    return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data) {
    if (array == nullptr || data == nullptr) return E_INVALIDARG;
    ++array->cLocks;
    *data = array->pvData;
    return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* array) {
    if (array == nullptr) return E_INVALIDARG;
    if (array->cLocks == 0) return E_UNEXPECTED;
    --array->cLocks;
    return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* array) { return array == nullptr ? 0 : array->cDims; }

UINT SafeArrayGetElemsize(SAFEARRAY* array) { return array == nullptr ? 0 : array->cbElements; }

HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* lower_bound) {
    if (array == nullptr || lower_bound == nullptr) return E_INVALIDARG;
    if (dim != 1) return DISP_E_BADINDEX;
    *lower_bound = array->rgsabound[0].lLbound;
    return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* upper_bound) {
    if (array == nullptr || upper_bound == nullptr) return E_INVALIDARG;
    if (dim != 1) return DISP_E_BADINDEX;
    const SAFEARRAYBOUND& bound = array->rgsabound[0];
    *upper_bound = LONG(std::int64_t(bound.lLbound) + std::int64_t(bound.cElements) - 1);
    return S_OK;
}

HRESULT SafeArrayRedim(SAFEARRAY* array, SAFEARRAYBOUND* new_bound) {
    if (array == nullptr || new_bound == nullptr) return E_INVALIDARG;
    if (array->cLocks > 0) return DISP_E_ARRAYISLOCKED;
    std::size_t new_bytes = 0;
    if (!data_bytes(new_bound->cElements, array->cbElements, &new_bytes)) return E_OUTOFMEMORY;
    void* data = allocate_data(new_bytes);
    if (data == nullptr) return E_OUTOFMEMORY;
    std::size_t old_bytes = std::size_t(array->rgsabound[0].cElements) * array->cbElements;
    std::memcpy(data, array->pvData, std::min(old_bytes, new_bytes));
    std::free(array->pvData);
    array->pvData = data;
    array->rgsabound[0] = *new_bound;
    return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* source, SAFEARRAY** copy) {
    if (copy == nullptr) return E_INVALIDARG;
    *copy = nullptr;
    if (source == nullptr) return S_OK;
    SAFEARRAY* result = SafeArrayCreate(block_of(source)->vt, 1, source->rgsabound);
    if (result == nullptr) return E_OUTOFMEMORY;
    std::memcpy(result->pvData, source->pvData,
                std::size_t(source->rgsabound[0].cElements) * source->cbElements);
    *copy = result;
    return S_OK;
}

HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* vt) {
    if (array == nullptr || vt == nullptr) return E_INVALIDARG;
    *vt = block_of(array)->vt;
    return S_OK;
}
