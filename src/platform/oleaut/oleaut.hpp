#pragma once
// oleaut.hpp - the whole OLE Automation stand-in in one include: types, GUIDs and IUnknown,
// BSTR, SAFEARRAY, VARIANT functions, the Var… number and date conversions.

#include "platform/oleaut/oleaut_bstr.hpp"
#include "platform/oleaut/oleaut_guid.hpp"
#include "platform/oleaut/oleaut_number.hpp"
#include "platform/oleaut/oleaut_safearray.hpp"
#include "platform/oleaut/oleaut_time.hpp"
#include "platform/oleaut/oleaut_types.hpp"
#include "platform/oleaut/oleaut_unknown.hpp"
#include "platform/oleaut/oleaut_variant.hpp"
