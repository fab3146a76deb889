// The system's legacy ("ANSI") code page and conversion from it. Pinora runs
// with UTF-8 as its active code page (the manifest), so GetACP() says 65001;
// what the earlier versions wrote is in the code page the registry names.
#pragma once
#include <string>
#include <string_view>

namespace uikit {

// HKLM\SYSTEM\CurrentControlSet\Control\Nls\CodePage, value "ACP"; 0 when it
// cannot be read.
unsigned SystemLegacyCodePage() noexcept;

// Text in that code page (NUL bytes included) as UTF-8, through the system's
// own table for it. False when the system does not know the code page.
bool LegacyToUtf8(unsigned codePage, std::string_view legacy, std::string& utf8);

}  // namespace uikit
