#pragma once
// oleaut_number.hpp - the Var… conversions of currency and decimal values. Text is read and
// written in the en-US way whatever LCID is passed: a point for decimals, commas allowed as
// thousands separators on input, optional sign, exponent and surrounding blanks.

#include "platform/oleaut/oleaut_types.hpp"

HRESULT VarCyFromStr(LPCOLESTR text, LCID lcid, ULONG flags, CY* result);
HRESULT VarDecFromStr(LPCOLESTR text, LCID lcid, ULONG flags, DECIMAL* result);
HRESULT VarBstrFromDec(const DECIMAL* value, LCID lcid, ULONG flags, BSTR* result);
HRESULT VarBstrFromCy(CY value, LCID lcid, ULONG flags, BSTR* result);
HRESULT VarR8FromDec(const DECIMAL* value, double* result);
HRESULT VarR8FromCy(CY value, double* result);
HRESULT VarI4FromDec(const DECIMAL* value, LONG* result);
HRESULT VarI8FromDec(const DECIMAL* value, LONGLONG* result);
HRESULT VarCyFromDec(const DECIMAL* value, CY* result);
HRESULT VarDecFromCy(CY value, DECIMAL* result);
HRESULT VarDecFromR8(double value, DECIMAL* result);
HRESULT VarDecFromI8(LONGLONG value, DECIMAL* result);
HRESULT VarDecFromUI8(ULONGLONG value, DECIMAL* result);
HRESULT VarCyFromR8(double value, CY* result);
