#pragma once
// oleaut_safearray.hpp - one-dimensional SAFEARRAYs of fixed-size scalar elements (VT_UI1
// and the other number types) with a lower bound. Locks counted by SafeArrayAccessData keep
// an array from being destroyed or resized while its data pointer is out.

#include "platform/oleaut/oleaut_types.hpp"

// cDims must be 1 and vt a fixed-size scalar type; otherwise null.
SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims, SAFEARRAYBOUND* bounds);
SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lower_bound, ULONG elements);
HRESULT SafeArrayDestroy(SAFEARRAY* array);
HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data);
HRESULT SafeArrayUnaccessData(SAFEARRAY* array);
UINT SafeArrayGetDim(SAFEARRAY* array);
UINT SafeArrayGetElemsize(SAFEARRAY* array);
HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* lower_bound);
HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* upper_bound);
// New element count and lower bound; grown elements are zero.
HRESULT SafeArrayRedim(SAFEARRAY* array, SAFEARRAYBOUND* new_bound);
HRESULT SafeArrayCopy(SAFEARRAY* source, SAFEARRAY** copy);
HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* vt);
