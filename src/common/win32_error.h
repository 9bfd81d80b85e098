// Windows only: the system's error codes (GetLastError, WSAGetLastError) as short French reasons.
#pragma once
#include <string>

namespace marivent {

// The reason for a Win32 or Winsock error code; the code itself for one it does not know.
std::string win32_error_text(unsigned long code);

} // namespace marivent
