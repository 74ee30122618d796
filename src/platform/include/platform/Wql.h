// Reads the WQL the WMI service accepts from this system: SELECT * FROM <class>.
// A pure function over the text.
#pragma once

#include <string>
#include <string_view>

#include "platform/Win32.h"

namespace platform::wql {

struct Select {
    HRESULT result = S_OK;  // WBEM_E_INVALID_QUERY for any other text
    std::wstring className;
};

// Keywords in any case, blanks (spaces, tabs, line ends) around them; the
// class name is a WMI identifier (letters, digits, '_', not starting with a
// digit). Property lists, WHERE clauses and other statements are refused.
Select ReadSelect(std::wstring_view text);

}  // namespace platform::wql
